#include "gl/Texture.h"

#include "gl/ErrorBox.h"
#include "gl/Image.h"

#include <GL/glu.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

float anisotropyLevel = 0.0f;
bool decodeOnly = false;

// Blank 2D textures: sides from 8 up, doubled until they hold the request.
constexpr int kMinBlankSide = 8;
constexpr int kMaxBlankSide = 1024;
// File textures: no side below 64.
constexpr int kMinFileSide = 64;
constexpr unsigned char kBlankGrey = 0x7F;

int powerOfTwoAtLeast(int start, int size)
{
    int side = start;
    while (side < size)
        side *= 2;
    return side;
}

} // namespace

void textureSizeForImage(int imageWidth, int imageHeight, int& width, int& height)
{
    width = powerOfTwoAtLeast(kMinFileSide, imageWidth);
    height = powerOfTwoAtLeast(kMinFileSide, imageHeight);
    if (height < width)
        height = width;
}

void Texture::setDecodeOnly(bool on)
{
    decodeOnly = on;
}

Texture::Texture(GLenum target, GLenum internalFormat) : target(target), internalFormat(internalFormat) {}

Texture::~Texture()
{
    if (textureId)
        glDeleteTextures(1, &textureId);
    delete image;
    image = nullptr;
}

Texture* Texture::createTextureFromFile(const char* name, const char* directory, GLenum target)
{
    return createTextureFromImage(loadImage(name, directory), target);
}

Texture* Texture::createTextureFromImage(Image* image, GLenum target)
{
    if (!image)
        return nullptr;
    Texture* texture = new (std::nothrow) Texture(target, GL_RGBA);
    if (!texture) {
        delete image;
        return nullptr;
    }
    texture->image = image;
    if (target == GL_TEXTURE_2D && !decodeOnly)
        texture->uploadImage();
    return texture;
}

Texture* Texture::createRenderTexture(int width, int height, GLenum target, GLenum internalFormat)
{
    Texture* texture = nullptr;
    switch (target) {
    case GL_TEXTURE_2D:
        texture = new Texture(target, internalFormat);
        texture->createBlank2D(width, height);
        break;
    case GL_TEXTURE_CUBE_MAP_ARB:
        texture = new Texture(target, internalFormat);
        texture->createCubeMap(width);
        break;
    case GL_DEPTH_COMPONENT:
        texture = new Texture(target, internalFormat);
        texture->createDepthTexture(width);
        break;
    default:
        break;
    }
    // Blank and cube creation report nothing; a refused size shows later as a
    // texture that samples black.
    glGetError();
    return texture;
}

void Texture::bind()
{
    glBindTexture(target == GL_DEPTH_COMPONENT ? GL_TEXTURE_2D : target, textureId);
}

void Texture::setAnisotropy(float level)
{
    anisotropyLevel = level;
}

float Texture::getAnisotropy()
{
    return anisotropyLevel;
}

int Texture::uploadImage()
{
    if (!image)
        return 0;
    if (image->bitsPerPixel != 32)
        convertTo32(image);

    imageWidth = image->width;
    imageHeight = image->height;
    int sizeX = 0, sizeY = 0;
    textureSizeForImage(image->width, image->height, sizeX, sizeY);
    if (sizeX != image->width || sizeY != image->height)
        rescale(image, sizeX, sizeY);

    width = sizeX;
    height = sizeY;
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    if (anisotropyLevel > 0.0f)
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropyLevel);

    // Rows go to GL in buffer order, unflipped.
    return gluBuild2DMipmaps(GL_TEXTURE_2D, 4, image->width, image->height, GL_RGBA, GL_UNSIGNED_BYTE,
                             image->pixels);
}

void Texture::createBlank2D(int requestedWidth, int requestedHeight)
{
    int sizeX = powerOfTwoAtLeast(kMinBlankSide, requestedWidth);
    int sizeY = powerOfTwoAtLeast(kMinBlankSide, requestedHeight);
    if (sizeX > kMaxBlankSide || sizeY > kMaxBlankSide)
        errorBox("Texture: dimensions too large", true);

    unsigned char* texels = static_cast<unsigned char*>(std::calloc(size_t(sizeX) * size_t(sizeY), 4));
    if (!texels)
        errorBox("Texture: out of memory", true);
    // A request that is not a power of two gets its own rectangle marked in
    // grey, so a filter that samples outside what it copied shows at once.
    if ((sizeX != requestedWidth || sizeY != requestedHeight) && requestedWidth > 0 && requestedHeight > 0) {
        for (int row = 0; row < requestedHeight; ++row)
            std::memset(texels + size_t(row) * size_t(sizeX) * 4, kBlankGrey, size_t(requestedWidth) * 4);
    }

    // The power-of-two size is kept as well, so that users need not work it out.
    width = sizeX;
    height = sizeY;
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(internalFormat), sizeX, sizeY, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    std::free(texels);
}

void Texture::createDepthTexture(int size)
{
    width = height = size;
    checkGLError("createDepthTexture1");
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);
    checkGLError("createDepthTexture1.5");
    // The contents are rendered before they are ever read, so GL gets no data.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, size, size, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE,
                 nullptr);
    checkGLError("createDepthTexture1.6");
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    checkGLError("createDepthTexture2");
}

void Texture::createCubeMap(int size)
{
    width = height = size;
    size_t edge = size > 0 ? size_t(size) : 0;
    unsigned char* zeros = static_cast<unsigned char*>(std::calloc(edge * edge + 1, 4));
    if (!zeros)
        errorBox("Texture: out of memory", true);

    glEnable(GL_TEXTURE_CUBE_MAP_ARB);
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, textureId);
    for (GLenum face = GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB; face <= GL_TEXTURE_CUBE_MAP_NEGATIVE_Z_ARB; ++face)
        glTexImage2D(face, 0, GL_RGBA, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, zeros);
    std::free(zeros);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glDisable(GL_TEXTURE_CUBE_MAP_ARB);
}
