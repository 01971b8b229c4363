#pragma once
// Writes PNG and JPEG files for tests with the real encoders (libpng and
// TurboJPEG), and gives each test a scratch folder of its own.

#include "gl/Image.h"

#include <png.h>
#include <turbojpeg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace testimages {

// An image holding `bytes` as its pixels, allocated as the decoders do.
inline Image* makeImage(int width, int height, int bitsPerPixel, const std::vector<unsigned char>& bytes)
{
    Image* image = new Image;
    image->width = width;
    image->height = height;
    image->bitsPerPixel = bitsPerPixel;
    image->pixels = static_cast<unsigned char*>(std::malloc(bytes.size()));
    std::memcpy(image->pixels, bytes.data(), bytes.size());
    return image;
}

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vp_images_XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data()))
            dir = name.data();
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        if (!dir.empty())
            std::filesystem::remove_all(dir, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // The folder with a trailing separator, as loadImage wants it.
    std::string prefix() const { return dir + "/"; }
    std::string path(const std::string& name) const { return prefix() + name; }

private:
    std::string dir;
};

inline bool writeBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// What a PNG holds besides its rows: the palette for palette images, and an
// optional transparency chunk (palette alphas, or the one transparent grey or
// RGB colour).
struct PngExtras {
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    bool transparentColour = false;
    png_color_16 transparent = {};
    bool interlaced = false;
};

// Encodes rows given in the stored layout (packed bits below 8 bits, big-endian
// 16-bit samples) into PNG bytes.
inline std::vector<unsigned char> encodePng(int width, int height, int colourType, int bitDepth,
                                            const std::vector<unsigned char>& rows, const PngExtras& extras = {})
{
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, size_t length) {
            auto* bytes = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(p));
            bytes->insert(bytes->end(), data, data + length);
        },
        nullptr);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), bitDepth, colourType,
                 extras.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!extras.palette.empty())
        png_set_PLTE(png, info, extras.palette.data(), int(extras.palette.size()));
    if (!extras.paletteAlpha.empty())
        png_set_tRNS(png, info, extras.paletteAlpha.data(), int(extras.paletteAlpha.size()), nullptr);
    if (extras.transparentColour)
        png_set_tRNS(png, info, nullptr, 0, const_cast<png_color_16*>(&extras.transparent));
    png_write_info(png, info);
    size_t rowBytes = rows.size() / size_t(height);
    std::vector<png_bytep> rowPointers(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rowPointers[size_t(y)] = const_cast<png_bytep>(rows.data() + size_t(y) * rowBytes);
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// 8-bit RGB or RGBA pixels, top row first.
inline std::vector<unsigned char> encodePngRgb(int width, int height, const std::vector<unsigned char>& pixels,
                                               bool alpha)
{
    return encodePng(width, height, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, 8, pixels);
}

// Pixels in `pixelFormat` (TJPF_RGB, TJPF_GRAY ...), top row first.
inline std::vector<unsigned char> encodeJpeg(int width, int height, const std::vector<unsigned char>& pixels,
                                             int pixelFormat, int subsampling, int quality = 95)
{
    tjhandle encoder = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    int failed = tjCompress2(encoder, pixels.data(), width, 0, height, pixelFormat, &jpeg, &size, subsampling,
                             quality, 0);
    std::vector<unsigned char> out;
    if (!failed)
        out.assign(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(encoder);
    return out;
}

// A scratch folder of flat-coloured PNG textures.
struct TextureFolder {
    ScratchDir dir;

    void add(const std::string& name, unsigned char r, unsigned char g, unsigned char b, int size = 64)
    {
        std::vector<unsigned char> pixels;
        for (int i = 0; i < size * size; ++i)
            pixels.insert(pixels.end(), {r, g, b});
        writeBytes(dir.path(name), encodePngRgb(size, size, pixels, false));
    }
    std::string prefix() const { return dir.prefix(); }
};

} // namespace testimages
