#pragma once
// Render buffers shared by name ("renderTarget" for every render-target
// effect, 1024x1024 unless the picture is larger). Users give them back with release; the last release
// destroys the buffer. The manager itself lives for the whole process.

#include "gl/PBuffer.h"
#include "resources/ResourceManager.h"

class PBufferManager : public ResourceManager<PBufferManager, PBuffer> {
public:
    // The buffer registered under `name`, else a new one of width x height
    // (without bindable depth) whose texture gets the three parameters.
    PBuffer* getPBuffer(const char* name, int width, int height, GLint wrapMode, GLint minFilter,
                        GLint magFilter);
};
