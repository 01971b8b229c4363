#pragma once
// Decoded texture pictures and the two pixel operations the texture upload
// needs.
//
// Texture files are PNG or JPEG, chosen by the last four characters of the
// name, and are read whole through the virtual file layer so that they can
// come from the data archive. Both decoders deliver 8 bits per channel in
// R, G, B(, A) order with rows of exactly width x bytes-per-pixel bytes:
//   - PNG: top row of the picture first. Palette, grey, grey-alpha and 16-bit
//     files are widened to 8-bit RGB or RGBA on the way in.
//   - JPEG: bottom row of the picture first (the decoder writes the picture
//     bottom-up, and the scenes' texture coordinates were authored for it).
// Every failure (unknown ending, missing file, broken data) yields none, with
// no message: the texture is simply not created.

#include <cstddef>

class VFile;

// A decoded picture. Owns `pixels` (from malloc, freed with the record).
struct Image {
    Image() = default;
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    int width = 0;             // pixels per row
    int height = 0;            // number of rows
    int bitsPerPixel = 0;      // 24 (RGB) or 32 (RGBA)
    unsigned char* pixels = nullptr;
};

// Largest side either decoder accepts; anything wider could never become a
// texture and would only make the decoder ask for gigabytes.
constexpr int kMaxImageSide = 8192;

// Loads `directory` + `name` (the directory ends in its own separator; an empty
// or null directory means the name alone). The ending of `name` decides the
// decoder, case-sensitively: ".png"/".PNG" or ".jpg"/".JPG"; anything else,
// mixed case included, yields none.
Image* loadImage(const char* name, const char* directory);
Image* loadPNG(const char* path);
Image* loadJPEG(const char* path);

// The decoders proper, on a file already in memory (read from `pos` on for
// PNG, the whole block for JPEG). The file stays the caller's. A JPEG of
// more than `maxPixels` pixels yields none before any pixel is decoded: a
// caller that only checks pictures (a fuzzer) bounds the memory and time
// each one takes.
Image* decodePNG(VFile* file);
Image* decodeJPEG(const unsigned char* data, size_t size,
                  size_t maxPixels = size_t(kMaxImageSide) * size_t(kMaxImageSide));

// Widens a 24-bit image to 32 bits in place, alpha 255. Any other depth is the
// fatal "Image has unsupported bit depth". Returns 0.
int convertTo32(Image* image);

// Nearest-neighbour resampling in place. Source column = target column x
// (old width / new width) and source row likewise, the factors held as
// single-precision floats and the products truncated toward zero. Returns 0,
// or 1 when the image is none (or the new buffer cannot be had).
int rescale(Image* image, int newWidth, int newHeight);
