#include "gl/Image.h"

#include "gl/ErrorBox.h"

#include <cstdlib>
#include <cstring>
#include <string>

Image::~Image()
{
    std::free(pixels);
}

Image* loadImage(const char* name, const char* directory)
{
    if (!name)
        return nullptr;
    std::string path;
    if (directory && directory[0])
        path = directory;
    path += name;

    // The ending is taken from the name, not the path: a directory called
    // "x.png/" must not make a JPEG look like a PNG.
    size_t length = std::strlen(name);
    if (length < 4)
        return nullptr;
    const char* ending = name + length - 4;
    if (std::strcmp(ending, ".png") == 0 || std::strcmp(ending, ".PNG") == 0)
        return loadPNG(path.c_str());
    if (std::strcmp(ending, ".jpg") == 0 || std::strcmp(ending, ".JPG") == 0)
        return loadJPEG(path.c_str());
    return nullptr;
}

int convertTo32(Image* image)
{
    if (image->bitsPerPixel != 24)
        errorBox("Image has unsupported bit depth", true);

    size_t count = size_t(image->width) * size_t(image->height);
    unsigned char* wide = static_cast<unsigned char*>(std::malloc(count * 4));
    if (!wide)
        errorBox("Image: out of memory", true);
    const unsigned char* from = image->pixels;
    unsigned char* to = wide;
    for (size_t i = 0; i < count; ++i) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
        to[3] = 255;
        from += 3;
        to += 4;
    }
    std::free(image->pixels);
    image->pixels = wide;
    image->bitsPerPixel = 32;
    return 0;
}

int rescale(Image* image, int newWidth, int newHeight)
{
    if (!image)
        return 1;
    const int bytes = image->bitsPerPixel / 8;
    const int oldWidth = image->width;
    const int oldHeight = image->height;
    if (newWidth <= 0 || newHeight <= 0 || oldWidth <= 0 || oldHeight <= 0 || bytes <= 0)
        return 1;

    const size_t newRowBytes = size_t(newWidth) * size_t(bytes);
    unsigned char* scaled = static_cast<unsigned char*>(std::malloc(newRowBytes * size_t(newHeight)));
    // Byte offset of each target column's source pixel within a source row.
    size_t* columnOffsets = static_cast<size_t*>(std::malloc(sizeof(size_t) * size_t(newWidth)));
    if (!scaled || !columnOffsets) {
        std::free(scaled);
        std::free(columnOffsets);
        return 1;
    }

    const float factorX = float(oldWidth) / float(newWidth);
    const float factorY = float(oldHeight) / float(newHeight);
    for (int k = 0; k < newWidth; ++k) {
        int sourceColumn = int(float(k) * factorX);
        // The float product cannot reach the old size for any texture-sized
        // image; the clamp only keeps a pathological size inside the buffer.
        if (sourceColumn >= oldWidth)
            sourceColumn = oldWidth - 1;
        columnOffsets[k] = size_t(sourceColumn) * size_t(bytes);
    }

    const size_t oldRowBytes = size_t(oldWidth) * size_t(bytes);
    int previousRow = -1;
    for (int j = 0; j < newHeight; ++j) {
        int sourceRow = int(float(j) * factorY);
        if (sourceRow >= oldHeight)
            sourceRow = oldHeight - 1;
        unsigned char* to = scaled + size_t(j) * newRowBytes;
        if (sourceRow == previousRow) {
            // Scaling up repeats source rows: the target row is already made.
            std::memcpy(to, to - newRowBytes, newRowBytes);
            continue;
        }
        previousRow = sourceRow;
        const unsigned char* row = image->pixels + size_t(sourceRow) * oldRowBytes;
        if (bytes == 4) {
            for (int k = 0; k < newWidth; ++k)
                std::memcpy(to + size_t(k) * 4, row + columnOffsets[k], 4);
        } else {
            for (int k = 0; k < newWidth; ++k)
                std::memcpy(to + size_t(k) * size_t(bytes), row + columnOffsets[k], size_t(bytes));
        }
    }
    std::free(columnOffsets);
    std::free(image->pixels);
    image->pixels = scaled;
    image->width = newWidth;
    image->height = newHeight;
    return 0;
}
