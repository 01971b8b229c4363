// The fidelity comparison itself, on Blender's stored pictures: a copy shaded
// as a lit renderer would shade it passes; a mirrored, a flipped and a
// slightly zoomed copy do not.

#include "support/MaskCompare.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

using maskcompare::Picture;

Picture reference(const char* name)
{
    Picture p;
    std::string error;
    const char* dir = std::getenv("VP_TESTDATA_DIR");
    EXPECT_TRUE(maskcompare::readPng(std::string(dir ? dir : "tests/data") + "/fidelity/ref/" + name, p, error))
        << error;
    return p;
}

// Each pixel of the copy taken from `from(x, y)` of the original.
Picture remapped(const Picture& in, const std::function<void(int, int, int&, int&)>& from)
{
    Picture out = in;
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            int sx = x, sy = y;
            from(x, y, sx, sy);
            for (int c = 0; c < 3; ++c)
                out.rgb[3 * size_t(y * in.width + x) + c] =
                    sx >= 0 && sy >= 0 && sx < in.width && sy < in.height
                        ? in.rgb[3 * size_t(sy * in.width + sx) + c]
                        : 0;
        }
    return out;
}

bool matches(const Picture& want, const Picture& got)
{
    std::string why;
    return maskcompare::within(maskcompare::measure(want, got), maskcompare::Limits{}, why);
}

} // namespace

TEST(MaskCompare, ShadingPassesAMirrorAFlipOrAZoomDoesNot)
{
    for (const char* name : {"axes_0.png", "texture_0.png", "motion_1000.png"}) {
        SCOPED_TRACE(name);
        Picture want = reference(name);
        ASSERT_GT(want.width, 0);
        const int w = want.width, h = want.height;

        // Lit from the upper left: a quarter to full brightness.
        Picture shaded = want;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) {
                    unsigned char& v = shaded.rgb[3 * size_t(y * w + x) + c];
                    v = (unsigned char)(v * (1.0 - 0.75 * (x + y) / double(w + h)));
                }
        EXPECT_TRUE(matches(want, shaded));

        EXPECT_FALSE(matches(want, remapped(want, [w](int x, int, int& sx, int&) { sx = w - 1 - x; })))
            << "mirrored";
        EXPECT_FALSE(matches(want, remapped(want, [h](int, int y, int&, int& sy) { sy = h - 1 - y; })))
            << "flipped";
        // 3 % larger about the middle, as a field of view a little too narrow.
        EXPECT_FALSE(matches(want, remapped(want, [w, h](int x, int y, int& sx, int& sy) {
                                 sx = int(std::lround(w / 2.0 + (x - w / 2.0) / 1.03));
                                 sy = int(std::lround(h / 2.0 + (y - h / 2.0) / 1.03));
                             })))
            << "zoomed";
    }
}
