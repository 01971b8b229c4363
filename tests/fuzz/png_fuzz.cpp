// Feeds arbitrary bytes to the PNG decoder as the texture loader would, then
// runs the pixel operations of the upload on what it returns.

#include "gl/Image.h"
#include "gl/Texture.h"
#include "resources/VFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    VFile file;
    file.data = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(file.data, data, size);
    file.size = uint32_t(size);
    file.pos = 0;
    Image* image = decodePNG(&file);
    if (!image)
        return 0;
    // Scaling a huge picture says nothing new and only slows the search.
    if (size_t(image->width) * size_t(image->height) <= (1u << 18)) {
        if (image->bitsPerPixel == 24)
            convertTo32(image);
        int width = 0, height = 0;
        textureSizeForImage(image->width, image->height, width, height);
        rescale(image, width, height);
    }
    delete image;
    return 0;
}
