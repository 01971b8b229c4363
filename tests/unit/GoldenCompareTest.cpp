// The golden comparator over every stored golden: each passes against itself
// and, under its own tolerance, rejects the mistakes a renderer or an importer
// makes: its picture upside down, mirrored, two pixels off, as a flat wash of
// its average colour, 20 % darker or brighter, and with any 96 x 96 block (an
// eighth of the picture) replaced by the block's average colour where that
// visibly changes the block. A golden that one of these passes cannot catch
// that mistake: choose a view that shows it. Broken files fail.

#include "support/GoldenCompare.h"
#include "support/Files.h"
#include "support/ImageFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
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

// The picture with each pixel taken from (from(x, y)), clamped to the picture.
Picture remapped(const Picture& p, const std::function<void(int&, int&)>& from)
{
    Picture out = p;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            int sx = x, sy = y;
            from(sx, sy);
            sx = std::clamp(sx, 0, p.width - 1);
            sy = std::clamp(sy, 0, p.height - 1);
            std::copy_n(&p.rgb[(size_t(sy) * p.width + sx) * 3], 3, &out.rgb[(size_t(y) * p.width + x) * 3]);
        }
    return out;
}

Picture scaled(const Picture& p, double factor)
{
    Picture out = p;
    for (unsigned char& v : out.rgb)
        v = static_cast<unsigned char>(std::min(255.0, std::round(v * factor)));
    return out;
}

// The rectangle x0..x1, y0..y1 (exclusive ends) filled with its own average
// colour; `change` receives the mean channel change inside it.
Picture averaged(const Picture& p, int x0, int y0, int x1, int y1, double& change)
{
    double sum[3] = {};
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (int c = 0; c < 3; ++c)
                sum[c] += p.rgb[(size_t(y) * p.width + x) * 3 + c];
    const double pixels = double(x1 - x0) * (y1 - y0);
    Picture out = p;
    double changed = 0.0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (int c = 0; c < 3; ++c) {
                unsigned char& v = out.rgb[(size_t(y) * p.width + x) * 3 + c];
                const unsigned char average = static_cast<unsigned char>(sum[c] / pixels + 0.5);
                changed += std::abs(int(v) - int(average));
                v = average;
            }
    change = changed / (pixels * 3);
    return out;
}

} // namespace

TEST(GoldenCompare, EveryGoldenRejectsWrongPictures)
{
    const std::vector<std::string> names = storedGoldens();
    ASSERT_FALSE(names.empty());
    const int kBlock = 96;
    // A block changed by less than this mean is hard to see: not counted.
    const double kVisibleChange = 8.0;
    int blocks = 0, blocksPassed = 0, others = 0, othersPassed = 0;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        Picture want;
        std::string error;
        ASSERT_TRUE(golden::readPng(golden::pathOf(name).string(), want, error)) << error;
        golden::Tolerance tolerance;
        ASSERT_TRUE(golden::toleranceOf(name, tolerance, error)) << error;
        EXPECT_TRUE(golden::judge(want, want, tolerance).ok);
        const int w = want.width, h = want.height;
        ASSERT_GE(std::min(w, h), kBlock);

        double wholeChange = 0.0;
        const std::pair<const char*, Picture> wrong[] = {
            {"upside down", remapped(want, [h](int&, int& y) { y = h - 1 - y; })},
            {"mirrored", remapped(want, [w](int& x, int&) { x = w - 1 - x; })},
            {"two pixels off", remapped(want, [](int& x, int&) { x -= 2; })},
            {"its average colour", averaged(want, 0, 0, w, h, wholeChange)},
            {"20 % darker", scaled(want, 0.8)},
            {"20 % brighter", scaled(want, 1.2)},
        };
        for (const auto& [what, picture] : wrong) {
            const golden::Verdict verdict = golden::judge(picture, want, tolerance);
            EXPECT_FALSE(verdict.ok) << what << " passes: " << verdict.message;
            ++others;
            othersPassed += verdict.ok;
        }
        for (int y : {0, (h - kBlock) / 2, h - kBlock})
            for (int x : {0, (w - kBlock) / 2, w - kBlock}) {
                double change = 0.0;
                const Picture picture = averaged(want, x, y, x + kBlock, y + kBlock, change);
                if (change < kVisibleChange)
                    continue;
                const golden::Verdict verdict = golden::judge(picture, want, tolerance);
                EXPECT_FALSE(verdict.ok) << "the block at " << x << "," << y << " averaged passes: " << verdict.message;
                ++blocks;
                blocksPassed += verdict.ok;
            }
    }
    std::printf("%zu goldens: %d of %d visibly averaged blocks and %d of %d other wrong pictures pass\n",
                names.size(), blocksPassed, blocks, othersPassed, others);
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
    EXPECT_FALSE(golden::judge(smaller, want, {255, 255.0, 255.0}).ok);
    EXPECT_FALSE(golden::judge(Picture{}, Picture{}, {255, 255.0, 255.0}).ok);
}
