// Feeds arbitrary bytes to the JPEG decoder as the texture loader would, then
// runs the pixel operations of the upload on what it returns.

#include "gl/Image.h"
#include "gl/Texture.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Image* image = decodeJPEG(data, size);
    if (!image)
        return 0;
    if (size_t(image->width) * size_t(image->height) <= (1u << 18)) {
        // Four-channel files are refused by the decoder, so every image here widens.
        if (image->bitsPerPixel == 24)
            convertTo32(image);
        int width = 0, height = 0;
        textureSizeForImage(image->width, image->height, width, height);
        rescale(image, width, height);
    }
    delete image;
    return 0;
}
