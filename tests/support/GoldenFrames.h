#pragma once
// Compares the current GL frame with a stored golden PNG under
// tests/golden/effects/<name>.png by maximum and mean channel error, or
// rewrites the PNG when VP_UPDATE_GOLDENS is set (look at it after). A frame
// that fails is also written to /tmp/golden-failed-<name>.png.

#include "gl/PngWriter.h"

#include <gtest/gtest.h>
#include <png.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

inline void expectGoldenFrame(const char* name, int width, int height, int maxError = 48, double meanError = 2.0)
{
    std::vector<unsigned char> frame(size_t(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
    // Beside this file's folder: the build names sources by absolute path.
    std::string path =
        (std::filesystem::path(__FILE__).parent_path().parent_path() / "golden" / "effects" / name).string() + ".png";
    if (std::getenv("VP_UPDATE_GOLDENS")) {
        ASSERT_TRUE(writePNG(path.c_str(), width, height, frame.data()));
        return;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << "no golden frame " << path;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> want(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, want.data(), 0, nullptr));
    ASSERT_EQ(int(image.width), width);
    ASSERT_EQ(int(image.height), height);
    int peak = 0;
    double sum = 0.0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // The read-back runs bottom row first, the file top row first.
            const unsigned char* got = &frame[(size_t(height - 1 - y) * width + x) * 4];
            const unsigned char* expected = &want[(size_t(y) * width + x) * 3];
            for (int c = 0; c < 3; ++c) {
                int e = std::abs(got[c] - expected[c]);
                peak = std::max(peak, e);
                sum += e;
            }
        }
    double mean = sum / (double(width) * height * 3);
    EXPECT_LE(peak, maxError) << name;
    EXPECT_LE(mean, meanError) << name;
    if (peak > maxError || mean > meanError)
        writePNG(("/tmp/golden-failed-" + std::string(name) + ".png").c_str(), width, height, frame.data());
}
