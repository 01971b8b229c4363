// Feeds arbitrary bytes to the JPEG decoder as the texture loader would, then
// runs the pixel operations of the upload on what it returns.
//
// Pictures are limited to 2^18 pixels (any side up to the decoder's 8192
// still passes), and are scaled only to textures of up to 2^20 pixels. A
// header of a few bytes can claim 8192 x 8192, and the library then fills
// 200 MB, warning all the way, before the decoder refuses the picture; a
// picture 8192 x 32 becomes a texture of 8192 x 8192: thousands of times
// slower than a small one, through the same code of ours.

#include "gl/Image.h"
#include "gl/Texture.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Image* image = decodeJPEG(data, size, size_t(1) << 18);
    if (!image)
        return 0;
    // Four-channel files are refused by the decoder, so every image here widens.
    if (image->bitsPerPixel == 24)
        convertTo32(image);
    int width = 0, height = 0;
    textureSizeForImage(image->width, image->height, width, height);
    if (size_t(width) * size_t(height) <= (size_t(1) << 20))
        rescale(image, width, height);
    delete image;
    return 0;
}
