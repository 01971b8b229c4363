// The golden comparator over every stored golden: each passes against itself
// and, under its own tolerance, rejects its picture upside down, two pixels
// off, and as a flat wash of its average colour, so that no golden test can
// pass a renderer making one of those mistakes. Broken files fail.

#include "support/GoldenCompare.h"
#include "support/Files.h"
#include "support/ImageFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using golden::Picture;

// "<folder>/<name>" of every golden, sorted.
std::vector<std::string> storedGoldens()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(golden::root()))
        if (entry.path().extension() == ".png")
            names.push_back(entry.path().parent_path().filename().string() + "/" + entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

Picture flippedVertically(const Picture& p)
{
    Picture out = p;
    size_t row = size_t(p.width) * 3;
    for (int y = 0; y < p.height; ++y)
        std::copy_n(&p.rgb[(p.height - 1 - y) * row], row, &out.rgb[y * row]);
    return out;
}

// Moved right by two pixels, the first column repeated into the gap.
Picture shiftedRight(const Picture& p)
{
    Picture out = p;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            for (int c = 0; c < 3; ++c)
                out.rgb[(size_t(y) * p.width + x) * 3 + c] = p.rgb[(size_t(y) * p.width + std::max(x - 2, 0)) * 3 + c];
    return out;
}

Picture averageColour(const Picture& p)
{
    double sum[3] = {};
    for (size_t i = 0; i < p.rgb.size(); ++i)
        sum[i % 3] += p.rgb[i];
    Picture out = p;
    size_t pixels = p.rgb.size() / 3;
    for (size_t i = 0; i < out.rgb.size(); ++i)
        out.rgb[i] = static_cast<unsigned char>(sum[i % 3] / double(pixels) + 0.5);
    return out;
}

} // namespace

TEST(GoldenCompare, EveryGoldenRejectsWrongPictures)
{
    std::vector<std::string> names = storedGoldens();
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        Picture want;
        std::string error;
        ASSERT_TRUE(golden::readPng(golden::pathOf(name).string(), want, error)) << error;
        golden::Tolerance tolerance;
        ASSERT_TRUE(golden::toleranceOf(name, tolerance, error)) << error;
        EXPECT_TRUE(golden::judge(want, want, tolerance).ok);
        golden::Verdict verdict = golden::judge(flippedVertically(want), want, tolerance);
        EXPECT_FALSE(verdict.ok) << "upside down passes: " << verdict.message;
        verdict = golden::judge(shiftedRight(want), want, tolerance);
        EXPECT_FALSE(verdict.ok) << "two pixels off passes: " << verdict.message;
        verdict = golden::judge(averageColour(want), want, tolerance);
        EXPECT_FALSE(verdict.ok) << "its average colour passes: " << verdict.message;
    }
}

TEST(GoldenCompare, BrokenFilesFail)
{
    std::string path = golden::pathOf("frames/t16000").string();
    std::vector<unsigned char> bytes = readFile(path);
    ASSERT_GT(bytes.size(), 4000u);
    Picture want, got;
    std::string error;
    ASSERT_TRUE(golden::readPng(path, want, error)) << error;

    testimages::ScratchDir scratch;
    EXPECT_FALSE(golden::readPng(scratch.path("missing.png"), got, error));
    std::vector<unsigned char> truncated(bytes.begin(), bytes.begin() + bytes.size() / 2);
    ASSERT_TRUE(testimages::writeBytes(scratch.path("truncated.png"), truncated));
    EXPECT_FALSE(golden::readPng(scratch.path("truncated.png"), got, error));
    std::vector<unsigned char> overwritten = bytes;
    std::fill_n(overwritten.begin() + 2000, 8, 0);
    ASSERT_TRUE(testimages::writeBytes(scratch.path("overwritten.png"), overwritten));
    EXPECT_FALSE(golden::readPng(scratch.path("overwritten.png"), got, error));

    Picture smaller = want;
    smaller.height -= 1;
    smaller.rgb.resize(size_t(smaller.width) * smaller.height * 3);
    EXPECT_FALSE(golden::judge(smaller, want, {255, 255.0}).ok);
    EXPECT_FALSE(golden::judge(Picture{}, Picture{}, {255, 255.0}).ok);
}
