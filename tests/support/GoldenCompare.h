#pragma once
// Golden pictures: PNGs kept under tests/golden/<folder>/<name>.png that a
// rendered picture must match. A golden is named by "<folder>/<name>", e.g.
// "frames/t16000". A picture matches when its largest RGB channel error, its
// mean error over the whole picture and its mean error over every 16 x 16
// tile stay within that golden's tolerance, which tests/golden/tolerances.txt
// holds for every golden. The tiles see damage that the whole picture's mean
// dilutes: a wrong block, a mirrored model, a dimmed object on black.
//
// Every error fails: a missing or undecodable golden, a picture of another
// size, a missing or broken tolerance table. A picture that fails is written
// to /tmp/golden-failed-<name>.png for a look. With VP_UPDATE_GOLDENS set, the
// golden is rewritten from the picture instead (look at it before committing).
//
// Used by the GL tests through GoldenFrames.h and by the production frame
// test through the golden_compare program; no GL here.

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace golden {

// 8-bit RGB, top row first, rows of exactly width x 3 bytes.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// Side of the square tiles whose mean error is bounded, in pixels; the last
// row and column of tiles may be narrower.
constexpr int kTileSize = 16;

// In 0..255 channel units.
struct Tolerance {
    int maxError = 0;
    double meanError = 0.0;     // over the whole picture
    double tileMeanError = 0.0; // over any one tile
};

struct Verdict {
    bool ok = false;
    std::string message;
};

// tests/golden of the checkout named by VP_SOURCE_DIR, which the test
// environment and scripts/update-goldens.sh set. Without it, the folder
// beside this file, as far as the compiler names it: a compiler cache may
// have made that path relative to the build folder.
inline std::filesystem::path root()
{
    const char* source = std::getenv("VP_SOURCE_DIR");
    if (source && *source)
        return std::filesystem::path(source) / "tests" / "golden";
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "golden";
}

inline std::filesystem::path pathOf(const std::string& name)
{
    return root() / (name + ".png");
}

// False with the reason in `error` on any trouble, warnings included: a golden
// libpng has to excuse is not one to trust.
inline bool readPng(const std::string& path, Picture& out, std::string& error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    out.width = int(image.width);
    out.height = int(image.height);
    out.rgb.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr) || image.warning_or_error) {
        error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

inline bool writePng(const std::string& path, const Picture& picture)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(picture.width);
    image.height = png_uint_32(picture.height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, picture.rgb.data(), 0, nullptr) != 0;
}

// The golden's line of tolerances.txt ("<folder>/<name> <max> <mean> <tile
// mean>"), else
// its "default" line. False with the reason when the table cannot be read,
// has a broken line or no default.
inline bool toleranceOf(const std::string& name, Tolerance& out, std::string& error)
{
    std::string path = (root() / "tolerances.txt").string();
    std::ifstream in(path);
    bool found = false, haveDefault = false;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string key, rest;
        Tolerance t;
        if (!(fields >> key) || key[0] == '#')
            continue;
        if (!(fields >> t.maxError >> t.meanError >> t.tileMeanError) || (fields >> rest) || t.maxError < 0 ||
            t.meanError < 0 || t.tileMeanError < 0) {
            error = path + ": bad line \"" + line + "\"";
            return false;
        }
        if (key == name) {
            out = t;
            found = true;
        } else if (key == "default" && !found) {
            out = t;
            haveDefault = true;
        }
    }
    if (!found && !haveDefault)
        error = "cannot read " + path + " or it has no default line";
    return found || haveDefault;
}

// How far one picture strays from another of the same size.
struct Errors {
    int peak = 0;          // largest channel error
    double mean = 0.0;     // over all channels of the picture
    double tileMean = 0.0; // of the worst tile
    int tileX = 0, tileY = 0; // that tile's top left corner
};

inline Errors errorsBetween(const Picture& got, const Picture& want)
{
    Errors out;
    double sum = 0.0;
    for (int ty = 0; ty < got.height; ty += kTileSize) {
        for (int tx = 0; tx < got.width; tx += kTileSize) {
            const int w = std::min(kTileSize, got.width - tx), h = std::min(kTileSize, got.height - ty);
            double tileSum = 0.0;
            for (int y = ty; y < ty + h; ++y) {
                const size_t row = (size_t(y) * size_t(got.width) + size_t(tx)) * 3;
                for (size_t i = row; i < row + size_t(w) * 3; ++i) {
                    const int e = std::abs(int(got.rgb[i]) - int(want.rgb[i]));
                    out.peak = std::max(out.peak, e);
                    tileSum += e;
                }
            }
            sum += tileSum;
            const double tileMean = tileSum / double(w * h * 3);
            if (tileMean > out.tileMean) {
                out.tileMean = tileMean;
                out.tileX = tx;
                out.tileY = ty;
            }
        }
    }
    out.mean = sum / double(got.rgb.size());
    return out;
}

// Compares two pictures of the same size; different sizes never match.
inline Verdict judge(const Picture& got, const Picture& want, const Tolerance& tolerance)
{
    if (got.width != want.width || got.height != want.height || got.rgb.empty() ||
        got.rgb.size() != size_t(got.width) * size_t(got.height) * 3 || got.rgb.size() != want.rgb.size())
        return {false, "picture is " + std::to_string(got.width) + "x" + std::to_string(got.height) +
                           ", golden is " + std::to_string(want.width) + "x" + std::to_string(want.height)};
    const Errors e = errorsBetween(got, want);
    char text[192];
    std::snprintf(text, sizeof text,
                  "max %d (allowed %d), mean %.2f (allowed %.2f), tile at %d,%d mean %.2f (allowed %.2f)", e.peak,
                  tolerance.maxError, e.mean, tolerance.meanError, e.tileX, e.tileY, e.tileMean,
                  tolerance.tileMeanError);
    return {e.peak <= tolerance.maxError && e.mean <= tolerance.meanError && e.tileMean <= tolerance.tileMeanError,
            text};
}

// Compares `got` with the golden `name` under its own tolerance, or rewrites
// the golden when VP_UPDATE_GOLDENS is set.
inline Verdict check(const std::string& name, const Picture& got)
{
    std::string path = pathOf(name).string();
    const char* update = std::getenv("VP_UPDATE_GOLDENS");
    if (update && *update) {
        if (!writePng(path, got))
            return {false, name + ": cannot write " + path};
        return {true, name + ": rewritten"};
    }
    Verdict verdict;
    Tolerance tolerance;
    Picture want;
    std::string error;
    if (!toleranceOf(name, tolerance, error))
        verdict = {false, error};
    else if (!readPng(path, want, error))
        verdict = {false, "no usable golden " + error};
    else
        verdict = judge(got, want, tolerance);
    verdict.message = name + ": " + verdict.message;
    if (!verdict.ok) {
        std::string failed = "/tmp/golden-failed-" + std::filesystem::path(name).filename().string() + ".png";
        if (writePng(failed, got))
            verdict.message += " (picture in " + failed + ")";
    }
    return verdict;
}

} // namespace golden
