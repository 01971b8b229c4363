// The shared render target's size for each picture, and the aspect a wrapped
// scene is drawn with.

#include "effects/RenderTargetSize.h"

#include <gtest/gtest.h>

namespace {

using Mode = RenderTargetSizing::Mode;

struct SizeCase {
    RenderTargetSizing sizing;
    int pictureWidth, pictureHeight;
    int maxSide;
    bool anySize;
    int width, height;
};

} // namespace

TEST(RenderTargetSize, EachRuleGivesItsSizeWithinWhatTheGLTakes)
{
    const RenderTargetSizing grow;
    const RenderTargetSizing fixed{Mode::Fixed, 2048};
    const RenderTargetSizing picture{Mode::Picture, 0};
    const SizeCase cases[] = {
        // Up to 1024 on a side, the classic square.
        {grow, 320, 240, 16384, true, 1024, 1024},
        {grow, 1024, 768, 16384, true, 1024, 1024},
        {grow, 1024, 1024, 16384, true, 1024, 1024},
        // Larger sides grow to the picture, the others keep 1024.
        {grow, 1280, 720, 16384, true, 1280, 1024},
        {grow, 1920, 1080, 16384, true, 1920, 1080},
        {grow, 768, 1366, 16384, true, 1024, 1366},
        // A GL of power-of-two sides only, and one with a small limit.
        {grow, 1920, 1080, 16384, false, 2048, 2048},
        {grow, 1920, 1080, 1536, true, 1536, 1080},
        {fixed, 320, 240, 16384, true, 2048, 2048},
        {fixed, 3840, 2160, 16384, true, 2048, 2048},
        {fixed, 800, 600, 1024, true, 1024, 1024},
        {picture, 800, 600, 16384, true, 800, 600},
        {picture, 800, 600, 16384, false, 1024, 1024},
        {picture, 0, 0, 16384, true, 1, 1},
    };
    for (const SizeCase& c : cases) {
        int width = 0, height = 0;
        renderTargetSize(c.sizing, c.pictureWidth, c.pictureHeight, c.maxSide, c.anySize, width, height);
        EXPECT_EQ(width, c.width) << c.pictureWidth << "x" << c.pictureHeight << " max " << c.maxSide;
        EXPECT_EQ(height, c.height) << c.pictureWidth << "x" << c.pictureHeight << " max " << c.maxSide;
    }
}

TEST(RenderTargetSize, OptionValuesAreWindowAutoOrASide)
{
    RenderTargetSizing sizing;
    EXPECT_TRUE(parseRenderTargetSizing("window", sizing));
    EXPECT_EQ(sizing.mode, Mode::Picture);
    EXPECT_TRUE(parseRenderTargetSizing("2048", sizing));
    EXPECT_EQ(sizing, (RenderTargetSizing{Mode::Fixed, 2048}));
    EXPECT_TRUE(parseRenderTargetSizing("auto", sizing));
    EXPECT_EQ(sizing, RenderTargetSizing{});
    EXPECT_TRUE(parseRenderTargetSizing("16", sizing));
    EXPECT_TRUE(parseRenderTargetSizing("16384", sizing));
    for (const char* bad : {"", "Window", "15", "16385", "-1024", "+1024", "1024px", "1e3", " 1024", "99999999999"}) {
        RenderTargetSizing kept{Mode::Fixed, 512};
        EXPECT_FALSE(parseRenderTargetSizing(bad, kept)) << "'" << bad << "'";
        EXPECT_EQ(kept, (RenderTargetSizing{Mode::Fixed, 512})) << "'" << bad << "'";
    }
}

TEST(RenderTargetSize, TheAspectIsThePicturesWith133At4To3)
{
    EXPECT_EQ(pictureAspect(320, 240), 133);
    EXPECT_EQ(pictureAspect(800, 600), 133);
    EXPECT_EQ(pictureAspect(1024, 768), 133);
    EXPECT_EQ(pictureAspect(800, 450), 178);
    EXPECT_EQ(pictureAspect(1920, 1080), 178);
    EXPECT_EQ(pictureAspect(1280, 1024), 125);
    EXPECT_EQ(pictureAspect(1080, 1920), 56);
    EXPECT_EQ(pictureAspect(0, 0), 133);
}
