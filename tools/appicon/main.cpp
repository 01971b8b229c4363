// vp_appicon DIR SIZE...: the icon the launcher shows, drawn at each size
// into DIR/SIZExSIZE/apps/vplayer.png.
#include "app/AppIcon.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// An RGBA PNG, top row first: the icon's rounded corners stay transparent.
bool writeIcon(const std::string& path, int size, const std::vector<unsigned char>& rgba)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(size), static_cast<png_uint_32>(size), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < size; ++y)
        png_write_row(png, rgba.data() + static_cast<size_t>(y) * size * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: vp_appicon DIR SIZE...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "vp_appicon: bad size '%s'\n", argv[i]);
            return 2;
        }
        const std::string n = std::to_string(size);
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / (n + "x" + n) / "apps";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        const std::string file = (folder / "vplayer.png").string();
        if (error || !writeIcon(file, size, drawAppIcon(size))) {
            std::fprintf(stderr, "vp_appicon: cannot write %s\n", file.c_str());
            return 1;
        }
    }
    return 0;
}
