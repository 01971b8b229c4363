// JPEG decoding on libjpeg-turbo's TurboJPEG API, from the in-memory file.
//
// The picture is written bottom row first, as the engine's textures always
// were; the scenes' texture coordinates were authored against that.

#include "gl/Image.h"

#include "resources/VFile.h"

#include <turbojpeg.h>

#include <cstdlib>
#include <new>

Image* loadJPEG(const char* path)
{
    VFile file(path);
    if (!file.valid)
        return nullptr;
    return decodeJPEG(file.data, file.size);
}

Image* decodeJPEG(const unsigned char* data, size_t size, size_t maxPixels)
{
    if (!data || size == 0)
        return nullptr;
    tjhandle decoder = tjInitDecompress();
    if (!decoder)
        return nullptr;

    int width = 0, height = 0, subsampling = 0, colourSpace = 0;
    if (tjDecompressHeader3(decoder, data, static_cast<unsigned long>(size), &width, &height, &subsampling,
                            &colourSpace) != 0 ||
        width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
        size_t(width) * size_t(height) > maxPixels) {
        tjDestroy(decoder);
        return nullptr;
    }

    // Output layout by the number of stored channels: grey is replicated into
    // three channels, colour comes out as RGB, four-channel files as RGBA
    // (the decoder refuses those it cannot convert, and so do we).
    int pixelFormat = TJPF_RGB;
    int channels = 3;
    switch (colourSpace) {
    case TJCS_GRAY:
        pixelFormat = TJPF_BGR;
        break;
    case TJCS_RGB:
    case TJCS_YCbCr:
        break;
    default:
        pixelFormat = TJPF_RGBA;
        channels = 4;
        break;
    }

    // Rows are packed at width x channels bytes: the image record has no
    // stride, so padded rows would shear every picture whose row length is
    // not a multiple of 4.
    const int pitch = width * channels;
    unsigned char* pixels = static_cast<unsigned char*>(std::malloc(size_t(pitch) * size_t(height)));
    if (!pixels) {
        tjDestroy(decoder);
        return nullptr;
    }
    int decoded = tjDecompress2(decoder, data, static_cast<unsigned long>(size), pixels, width, pitch, height,
                                pixelFormat, TJFLAG_BOTTOMUP);
    int destroyed = tjDestroy(decoder);
    if (decoded != 0 || destroyed != 0) {
        std::free(pixels);
        return nullptr;
    }

    Image* image = new (std::nothrow) Image;
    if (!image) {
        std::free(pixels);
        return nullptr;
    }
    image->width = width;
    image->height = height;
    image->bitsPerPixel = channels * 8;
    image->pixels = pixels;
    return image;
}
