#include "gl/TextureManager.h"

Texture* TextureManager::getTexture(const char* name, const char* directory, GLenum target)
{
    return getOrCreate(name, [&] { return Texture::createTextureFromFile(name, directory, target); });
}

Texture* TextureManager::getRenderTexture(const char* name, int width, int height, GLenum target,
                                          GLenum internalFormat)
{
    return getOrCreate(name, [&] { return Texture::createRenderTexture(width, height, target, internalFormat); });
}
