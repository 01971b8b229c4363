// PNG decoding on libpng 1.6, fed from an in-memory file.
//
// libpng reports every error by jumping back to the setjmp in decodePNG. The
// function is written for that: it holds only plain locals, the ones it frees
// after a jump are volatile, and no C++ object with a destructor lives in it
// or in the callbacks between the setjmp and a jump. The file record belongs
// to the caller.

#include "gl/Image.h"

#include "resources/VFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// zlib cannot expand data more than about 1032 times; a header that promises
// more pixel data than that from the whole file is a lie, and believing it
// would only allocate the buffer for it.
constexpr uint64_t kMaxInflateRatio = 1100;
// Largest chunk libpng may keep in memory at once.
constexpr png_alloc_size_t kMaxChunkBytes = 8000000;

// Ancillary chunks the decoder has no use for (no gamma, background or
// significant-bits transformation is asked for), five bytes per name.
const png_byte kIgnoredChunks[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0"
                                  "sBIT\0sCAL\0sPLT\0sRGB\0sTER\0tEXt\0tIME\0zTXt";
constexpr int kIgnoredChunkCount = int(sizeof kIgnoredChunks / 5);

// What vfread(out, 1, length, file) does, as one copy: byte-sized elements
// copied one at a time cost an eighth of the decoding time.
void readFromFile(png_structp png, png_bytep out, size_t length)
{
    VFile* file = static_cast<VFile*>(png_get_io_ptr(png));
    // A short read would leave libpng parsing whatever its buffer held before.
    if (file->pos > file->size || length > file->size - file->pos)
        png_error(png, "unexpected end of file");
    std::memcpy(out, file->data + file->pos, length);
    file->pos += uint32_t(length);
}

// Failures are silent: the texture is simply not created.
void jumpOnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

} // namespace

Image* loadPNG(const char* path)
{
    VFile file(path);
    if (!file.valid)
        return nullptr;
    return decodePNG(&file);
}

Image* decodePNG(VFile* file)
{
    png_byte signature[8];
    if (vfread(signature, 1, 8, file) != 8 || png_sig_cmp(signature, 0, 8) != 0)
        return nullptr;

    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpOnError, ignoreWarning);
    if (!png)
        return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }

    unsigned char* volatile pixels = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::free(rows);
        std::free(pixels);
        return nullptr;
    }

    png_set_read_fn(png, file, readFromFile);
    png_set_sig_bytes(png, 8);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    // Only the header, palette, transparency and pixel data matter to a
    // texture. Everything else is skipped unread: libpng would otherwise
    // allocate whatever length a text or profile chunk claims, gigabytes
    // included, before finding the file too short.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks, kIgnoredChunkCount);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    // Every chunk's CRC-32 already covers the compressed bytes; zlib's own
    // checksum over the inflated ones would only add time.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0, compression = 0, filter = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, &interlace, &compression, &filter);
    uint64_t storedBytes = uint64_t(png_get_rowbytes(png, info)) * height;
    if (storedBytes > uint64_t(file->size) * kMaxInflateRatio)
        png_error(png, "more pixels than the file can hold");

    // Everything becomes 8-bit RGB or RGBA, the two layouts the texture
    // upload takes. A transparent colour of an RGB image is left alone, as
    // the engine always did; for palette and grey images it becomes alpha.
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (colourType != PNG_COLOR_TYPE_RGB && png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (bitDepth == 16)
        png_set_scale_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    size_t rowBytes = png_get_rowbytes(png, info);
    int channels = png_get_channels(png, info);
    int outputDepth = png_get_bit_depth(png, info);

    pixels = static_cast<unsigned char*>(std::malloc(rowBytes * height));
    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!pixels || !rows)
        png_error(png, "out of memory");
    for (png_uint_32 i = 0; i < height; ++i)
        rows[i] = pixels + size_t(i) * rowBytes;

    png_read_image(png, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(rows);

    // No libpng call follows, so nothing can jump past this record any more.
    Image* image = new (std::nothrow) Image;
    if (!image) {
        std::free(pixels);
        return nullptr;
    }
    image->width = int(width);
    image->height = int(height);
    image->bitsPerPixel = channels * outputDepth;
    image->pixels = pixels;
    return image;
}
