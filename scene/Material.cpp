#include "scene/Material.h"

#include "gl/Image.h"
#include "gl/Texture.h"
#include "gl/TextureManager.h"
#include "scene/NormalisationCubeMap.h"

#include <GL/glext.h>
#include <GL/glu.h>

#include <cassert>

namespace {
constexpr int kEnvironmentCubeSize = 64;
const char* const kEnvironmentCubeName = "cubemap";
} // namespace

Material::Material(const char* name, int id) : name(name ? name : ""), id(id) {}

Material::~Material()
{
    if (normalisationCubeMap)
        glDeleteTextures(1, &normalisationCubeMap);
    // The rest of the list goes one by one, without recursion.
    Material* doomed = next;
    next = nullptr;
    while (doomed) {
        Material* after = doomed->next;
        doomed->next = nullptr;
        delete doomed;
        doomed = after;
    }
}

void Material::appendSibling(Material* material)
{
    assert(material && material != this);
    Material* last = this;
    while (last->next)
        last = last->next;
    last->next = material;
}

void Material::setShininess(float glossiness, float level)
{
    shininess = glossiness * 128.0f;
    specularLevel = level;
}

void Material::setOpacity(float value)
{
    opacity = value;
    updateTransparent();
}

void Material::setAdditive(bool on)
{
    additive = on;
    updateTransparent();
}

void Material::updateTransparent()
{
    transparent = additive || opacity < 1.0f;
}

void Material::setTextureMatrix(bool on, const Vec3& rotationDegrees, const Vec3& translation, const Vec3& scale)
{
    textureMatrix = on;
    textureRotation = rotationDegrees;
    textureTranslation = translation;
    textureScale = scale;
}

void Material::setRenderMode(int mode)
{
    renderMode = mode;
    usesReflection = usesRamp = multiUnit = usesNormals = usesCube = false;

    switch (mode) {
    case 0: case 1: case 10: case 11: usesNormals = true; break;
    default: break;
    }
    switch (mode) {
    case 2: case 3: case 4: case 7: case 8: case 9: case 11: usesReflection = true; break;
    default: break;
    }
    if (mode == 8 || mode == 9)
        usesRamp = true;
    switch (mode) {
    case 4: case 5: case 6: case 9: case 11: multiUnit = true; break;
    default: break;
    }

    if (mode == 6 || mode == 7) {
        // Built once: effects may switch a material's mode every frame.
        if (!normalisationCubeMap)
            normalisationCubeMap = createNormalisationCubeMap();
        usesCube = true;
    }
    if (mode == 10 || mode == 11) {
        if (!environmentCube)
            environmentCube = TextureManager::getInstance()->getRenderTexture(
                kEnvironmentCubeName, kEnvironmentCubeSize, kEnvironmentCubeSize, GL_TEXTURE_CUBE_MAP_ARB, GL_RGBA);
        usesCube = true;
    }
}

void Material::setOpacityMap(Texture* map)
{
    opacityMap = map;
    alphaTest = true;
    if (!primaryMap || !opacityMap)
        return;
    Image* target = primaryMap->getImage();
    Image* source = opacityMap->getImage();
    if (!target || !source || !target->pixels || !source->pixels)
        return;
    if (target->width != source->width || target->height != source->height)
        return;

    // Each picture is stepped by its own pixel size, so an RGB opacity map
    // next to an RGBA primary map is read within its bounds.
    int targetStep = target->bitsPerPixel / 8;
    int sourceStep = source->bitsPerPixel / 8;
    if (targetStep < 4 || sourceStep < 3)
        return; // no alpha channel to write, or no colour to read
    size_t pixels = size_t(target->width) * size_t(target->height);
    unsigned char* out = target->pixels;
    const unsigned char* in = source->pixels;
    for (size_t i = 0; i < pixels; ++i, out += targetStep, in += sourceStep)
        out[3] = static_cast<unsigned char>((in[0] + in[1] + in[2]) / 3);

    primaryMap->bind();
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, target->width, target->height, GL_RGBA, GL_UNSIGNED_BYTE, target->pixels);
}
