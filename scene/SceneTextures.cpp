#include "scene/SceneTextures.h"

#include "gl/Image.h"
#include "gl/Texture.h"
#include "gl/TextureManager.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kRampTexels = 64;
constexpr int kSpriteSide = 64;

Image* newImage(int width, int height)
{
    Image* image = new Image;
    image->width = width;
    image->height = height;
    image->bitsPerPixel = 32;
    image->pixels = static_cast<unsigned char*>(std::calloc(size_t(width) * size_t(height), 4));
    if (!image->pixels) {
        delete image;
        return nullptr;
    }
    return image;
}

Texture* registered(const char* name)
{
    TextureManager* manager = TextureManager::getInstance();
    return manager ? manager->find(name) : nullptr;
}

Texture* keep(const char* name, Texture* texture)
{
    TextureManager* manager = TextureManager::getInstance();
    if (texture && manager && manager->add(name, texture) != 0) {
        delete texture;
        return nullptr;
    }
    return texture;
}

} // namespace

void toonRampColour(float s, unsigned char rgb[3])
{
    // Three flat bands with a narrow blend between them, so the outline of
    // each band stays crisp under linear filtering.
    struct Band {
        float from;
        float r, g, b;
    };
    static const Band bands[] = {
        {0.00f, 0.22f, 0.16f, 0.30f},
        {0.38f, 0.62f, 0.48f, 0.46f},
        {0.70f, 1.00f, 0.90f, 0.76f},
    };
    if (s < 0.0f)
        s = 0.0f;
    if (s > 1.0f)
        s = 1.0f;
    int band = 0;
    for (int i = 0; i < 3; ++i)
        if (s >= bands[i].from)
            band = i;
    const Band& b = bands[band];
    rgb[0] = static_cast<unsigned char>(b.r * 255.0f);
    rgb[1] = static_cast<unsigned char>(b.g * 255.0f);
    rgb[2] = static_cast<unsigned char>(b.b * 255.0f);
}

Texture* getToonRamp()
{
    if (Texture* known = registered(kToonRampName))
        return known;
    Image* image = newImage(kRampTexels, 1);
    if (!image)
        return nullptr;
    for (int i = 0; i < kRampTexels; ++i) {
        unsigned char* p = image->pixels + i * 4;
        toonRampColour((float(i) + 0.5f) / float(kRampTexels), p);
        p[3] = 255;
    }
    // Kept as a picture by the texture, uploaded here as 1D.
    Texture* ramp = Texture::createTextureFromImage(image, GL_TEXTURE_1D);
    if (!ramp)
        return nullptr;
    glGenTextures(1, &ramp->textureId);
    glBindTexture(GL_TEXTURE_1D, ramp->textureId);
    glTexImage1D(GL_TEXTURE_1D, 0, GL_RGBA8, kRampTexels, 0, GL_RGBA, GL_UNSIGNED_BYTE, image->pixels);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    ramp->width = kRampTexels;
    ramp->height = 1;
    return keep(kToonRampName, ramp);
}

Texture* getFlareSprite()
{
    if (Texture* known = registered(kFlareSpriteName))
        return known;
    Image* image = newImage(kSpriteSide, kSpriteSide);
    if (!image)
        return nullptr;
    const float half = kSpriteSide * 0.5f;
    for (int y = 0; y < kSpriteSide; ++y) {
        for (int x = 0; x < kSpriteSide; ++x) {
            float dx = (float(x) + 0.5f - half) / half;
            float dy = (float(y) + 0.5f - half) / half;
            float d = std::sqrt(dx * dx + dy * dy);
            float a = d >= 1.0f ? 0.0f : (1.0f - d) * (1.0f - d);
            unsigned char* p = image->pixels + (size_t(y) * kSpriteSide + size_t(x)) * 4;
            p[0] = p[1] = p[2] = 255;
            p[3] = static_cast<unsigned char>(a * 255.0f);
        }
    }
    return keep(kFlareSpriteName, Texture::createTextureFromImage(image, GL_TEXTURE_2D));
}
