#include "gl/PBufferManager.h"

#include <new>

PBuffer* PBufferManager::getPBuffer(const char* name, int width, int height, GLint wrapMode, GLint minFilter,
                                    GLint magFilter)
{
    return getOrCreate(name, [&]() -> PBuffer* {
        PBuffer* buffer = new (std::nothrow) PBuffer;
        if (!buffer)
            return nullptr;
        buffer->create(width, height, false);
        buffer->setupTexture(wrapMode, minFilter, magFilter);
        return buffer;
    });
}
