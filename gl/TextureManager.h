#pragma once
// Textures shared by name: file textures under their file name, blank ones
// (filter targets, "ShadowMapTexture", "cubemap") under the caller's name.
// The run releases them all before every full build of the effects, dumps the
// counts to "vp_log_textures.txt" when logging, and deletes the manager last.

#include "gl/Texture.h"
#include "resources/ResourceManager.h"

class TextureManager : public ResourceManager<TextureManager, Texture> {
public:
    // The texture registered under `name`, else one decoded from `directory`
    // + `name` (see Texture::createTextureFromFile). The name alone is the key:
    // a second directory gets the texture loaded from the first. None when the
    // file cannot be decoded.
    Texture* getTexture(const char* name, const char* directory, GLenum target);
    // The texture registered under `name`, else a blank one (see
    // Texture::createRenderTexture).
    Texture* getRenderTexture(const char* name, int width, int height, GLenum target, GLenum internalFormat);
};
