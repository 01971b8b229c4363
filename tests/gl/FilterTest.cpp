// The picture filters read back: what each draws for a known source, the
// signals' effects, the texture rotations and the cases where nothing is drawn.

#include "effects/AnsiFilter.h"
#include "effects/GlowFilter.h"
#include "effects/MotionBlurFilter.h"
#include "effects/NoiseFilter.h"
#include "effects/RadialBlurFilter.h"
#include "effects/ScreenQuad.h"
#include "gl/Texture.h"

#include "support/FilterRig.h"

#include <cmath>
#include <memory>
#include <typeinfo>

namespace {

using Filters = FilterTest;

// The same pixel of two RGB frames.
Rgb at(const std::vector<unsigned char>& f, int x, int y)
{
    size_t i = (size_t(y) * FilterTest::kWidth + x) * 3;
    return {f[i], f[i + 1], f[i + 2]};
}

int texelRed(const std::vector<unsigned char>& t, int size, int x, int y)
{
    return t[(size_t(y) * size + x) * 4];
}

} // namespace

TEST_F(Filters, WithoutASourceNothingIsDrawnOrCaptured)
{
    AnsiFilter ansi;
    RadialBlurFilter radial;
    MotionBlurFilter motion;
    GlowFilter glow;
    Effect* filters[] = {&ansi, &radial, &motion, &glow};
    PictureSource picture;
    for (Effect* f : filters) {
        f->init(0);
        // A full-screen picture, as the earlier layers would have left it.
        clearTo({10, 20, 30});
        picture.render(0, true);
        auto before = frame();
        for (int t = 0; t < 200; t += 40) {
            f->preRender(t);
            f->render(t, true);
        }
        EXPECT_EQ(frame(), before) << typeid(*f).name();
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// ---------------------------------------------------------------------------
// Glow

TEST_F(Filters, GlowOnlyFramesEachCaptureWithFiveSignalsToTheSource)
{
    GlowFilter glow;
    PictureSource picture;
    glow.source = &picture;
    glow.init(0);
    picture.signals.clear();
    glow.preRender(0);
    EXPECT_TRUE(picture.signals.empty());

    glow.signal(sig(92, {1}));
    for (int frameNo = 0; frameNo < 2; ++frameNo) {
        picture.signals.clear();
        glow.preRender(40 * frameNo);
        ASSERT_EQ(picture.signals.size(), 5u);
        const int codes[5] = {90, 302, 301, 90, 301};
        const int firstArgs[5] = {0, 0, 0, 1, 1};
        for (int i = 0; i < 5; ++i) {
            const SignalArgs& s = picture.signals[i];
            EXPECT_EQ(s.code, codes[i]) << i;
            EXPECT_EQ(s.count, 1) << i;
            EXPECT_EQ(s.args[0], firstArgs[i]) << i;
            EXPECT_EQ(s.timeOffset, 0);
            EXPECT_STREQ(s.text, "");
        }
    }
    // init clears the flag again.
    glow.init(0);
    picture.signals.clear();
    glow.preRender(80);
    EXPECT_TRUE(picture.signals.empty());
}

// A flat source of level v gives a glow texture of v x (1 + 0.55 + 1.1 f),
// f the height in the texture: the two horizontal ramps add 0.55 everywhere,
// the two vertical ones are both bright at the top.
TEST_F(Filters, GlowSmearAddsTheShiftedRampsToTheCapture)
{
    GlowFilter glow;
    FlatSource flat({40, 40, 40});
    glow.source = &flat;
    glow.init(0);
    glow.preRender(0);
    auto glowTexels = texels(glow.glowTexture->textureId, GlowFilter::kGlowSize);
    for (int row : {0, 32, 64, 100, 127}) {
        float f = (row + 0.5f) / GlowFilter::kGlowSize;
        float expected = 40.0f * (1.55f + 1.1f * f);
        EXPECT_NEAR(texelRed(glowTexels, GlowFilter::kGlowSize, 64, row), expected, 2.0f) << row;
    }
    // The capture itself holds the flat source.
    auto captureTexels = texels(glow.captureTexture->textureId, GlowFilter::kCaptureSize);
    EXPECT_EQ(texelRed(captureTexels, GlowFilter::kCaptureSize, 200, 10), 40);

    // The capture leaves the whole window cleared with the clear colour in force.
    glClearColor(0.2f, 0.0f, 0.0f, 0.0f);
    clearTo({0, 90, 0});
    glClearColor(0.2f, 0.0f, 0.0f, 0.0f);
    glow.preRender(40);
    EXPECT_EQ(pixel(kWidth - 5, kHeight - 5), (Rgb{51, 0, 0}));
    EXPECT_EQ(pixel(5, 5), (Rgb{51, 0, 0}));
}

TEST_F(Filters, GlowCopiesAddUpOverTheScreen)
{
    GlowFilter glow;
    FlatSource flat({20, 20, 20});
    glow.source = &flat;
    glow.init(0);
    glow.preRender(0);
    auto glowTexels = texels(glow.glowTexture->textureId, GlowFilter::kGlowSize);

    // Five copies of the same window at alpha 1: five times the glow texture.
    glow.signal(sig(91, {5, 0, 0}));
    clearTo({0, 0, 0});
    glow.render(0, true);
    for (int y : {40, kHeight / 2, kHeight - 40}) {
        int row = int((y + 0.5f) / kHeight * GlowFilter::kGlowSize);
        int expected = 5 * texelRed(glowTexels, GlowFilter::kGlowSize, 64, row);
        EXPECT_NEAR(pixel(kWidth / 2, y).r, expected, 6) << y;
    }

    // Copy count 0 draws nothing.
    glow.signal(sig(91, {0, -10, 0}));
    clearTo({0, 0, 0});
    auto before = frame();
    EXPECT_EQ(samplesPassed([&] { glow.render(40, true); }), 0u);
    EXPECT_EQ(frame(), before);

    // The intensity steps from the effect's alpha: 0.5, then 0.0 adds nothing.
    glow.signal(sig(91, {2, 0, -50}));
    glow.signal(sig(118, {128}));
    clearTo({0, 0, 0});
    glow.render(80, true);
    int row = int((kHeight / 2 + 0.5f) / kHeight * GlowFilter::kGlowSize);
    EXPECT_NEAR(pixel(kWidth / 2, kHeight / 2).r, 0.5f * texelRed(glowTexels, GlowFilter::kGlowSize, 64, row), 2);
}

TEST_F(Filters, GlowOffsetMovesTheCopies)
{
    GlowFilter glow;
    PictureSource picture;
    glow.source = &picture;
    glow.init(0);
    glow.signal(sig(91, {1, 0, 0}));
    // From (0, 0) to (50, 0) hundredths between 1000 and 2000 ms.
    SignalArgs move = sig(93, {0, 0, 50, 0, 500, 1000});
    move.timeOffset = 500;
    glow.signal(move);
    glow.preRender(0);
    clearTo({0, 0, 0});
    glow.render(1500, true);
    EXPECT_FLOAT_EQ(glow.offsetX.value(), 0.25f);
    // The left quarter of the screen is left out.
    EXPECT_EQ(pixel(kWidth / 4 - 3, kHeight / 2), (Rgb{0, 0, 0}));
    EXPECT_NE(pixel(kWidth / 4 + 10, kHeight / 2), (Rgb{0, 0, 0}));
}

// ---------------------------------------------------------------------------
// Motion blur

namespace {

// Draws a flat colour that changes with every render: level 30 x n for the
// n-th render (1-based).
class CountingSource : public FlatSource {
public:
    void render(int time, bool applyRect) override
    {
        ++n;
        colour = {30 * n % 256, 0, 0};
        FlatSource::render(time, applyRect);
    }
    int n = 0;
};

} // namespace

TEST_F(Filters, MotionBlurRecyclesItsOldestCapture)
{
    MotionBlurFilter blur;
    CountingSource counting;
    blur.source = &counting;
    blur.init(0);
    EXPECT_EQ(blur.captureInterval, 4);

    // Interval 0 (and below) is stored as 1.
    blur.signal(sig(90, {0}));
    EXPECT_EQ(blur.captureInterval, 1);
    blur.signal(sig(90, {-3}));
    EXPECT_EQ(blur.captureInterval, 1);

    for (int i = 0; i < 7; ++i)
        blur.preRender(i * 20);
    EXPECT_EQ(counting.n, 7);
    ASSERT_EQ(blur.historySize(), 6);
    EXPECT_EQ(blur.freeSize(), 0);
    // Newest first: motionblur0 took the seventh picture, then 5, 4, 3, 2, 1.
    const int order[6] = {0, 5, 4, 3, 2, 1};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(blur.historyAt(i), blur.texture(order[i])) << i;
    auto first = texels(blur.texture(0)->textureId, MotionBlurFilter::kFrameSize);
    EXPECT_EQ(texelRed(first, MotionBlurFilter::kFrameSize, 100, 100), 7 * 30);
    auto second = texels(blur.texture(1)->textureId, MotionBlurFilter::kFrameSize);
    EXPECT_EQ(texelRed(second, MotionBlurFilter::kFrameSize, 100, 100), 2 * 30);

    // The default interval captures every fourth frame.
    blur.signal(sig(90, {4}));
    blur.signal(sig(95));
    for (int i = 0; i < 8; ++i)
        blur.preRender(i * 20);
    EXPECT_EQ(blur.historySize(), 2);
    EXPECT_EQ(counting.n, 9);
}

TEST_F(Filters, MotionBlurResetFreesTheHistoryNewestFirst)
{
    MotionBlurFilter blur;
    PictureSource picture;
    blur.source = &picture;
    blur.init(0);
    blur.signal(sig(90, {1}));
    for (int i = 0; i < 4; ++i)
        blur.preRender(i);
    // History: 3, 2, 1, 0; free: 4, 5.
    blur.signal(sig(95));
    EXPECT_EQ(blur.historySize(), 0);
    EXPECT_EQ(blur.frameCounter, 0);
    ASSERT_EQ(blur.freeSize(), 6);
    const int freeOrder[6] = {4, 5, 3, 2, 1, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(blur.freeAt(i), blur.texture(freeOrder[i])) << i;
    for (int i = 0; i < 6; ++i)
        blur.preRender(i);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(blur.historyAt(5 - i), blur.texture(freeOrder[i])) << i;

    // init keeps the history; an empty history draws only the source.
    blur.init(0);
    EXPECT_EQ(blur.historySize(), 6);
    blur.signal(sig(95));
    clearTo({0, 0, 0});
    blur.render(0, true);
    auto withBlur = frame();
    clearTo({0, 0, 0});
    picture.render(0, true);
    EXPECT_EQ(frame(), withBlur);
}

// Six flat captures of levels 30 .. 180 (newest 180), drawn without the
// source over black: each is blended at 0.5, 0.4167, .., 0.1667 in turn from
// the newest; the oldest, at 0.0833, falls to the alpha test.
TEST_F(Filters, MotionBlurDrawsTheHistoryWithFallingAlpha)
{
    MotionBlurFilter blur;
    CountingSource counting;
    blur.source = &counting;
    blur.init(0);
    blur.signal(sig(90, {1}));
    blur.signal(sig(94, {0}));
    for (int i = 0; i < 6; ++i)
        blur.preRender(i);
    clearTo({0, 0, 0});
    blur.render(0, true);
    EXPECT_EQ(counting.n, 6); // the source was not drawn

    auto expected = [](float alpha) {
        float dst = 0.0f;
        float a = alpha;
        for (int i = 0; i < 6; ++i, a -= alpha / 6.0f) {
            float level = 30.0f * (6 - i);
            if (a > 0.1f)
                dst = level * a + dst * (1.0f - a);
        }
        return dst;
    };
    EXPECT_NEAR(pixel(kWidth / 2, kHeight / 2).r, expected(0.5f), 3.0f);
    EXPECT_NEAR(pixel(20, 20).r, expected(0.5f), 3.0f);

    // Signal 118 sets the newest capture's alpha.
    blur.signal(sig(118, {255}));
    clearTo({0, 0, 0});
    blur.render(0, true);
    EXPECT_NEAR(pixel(kWidth / 2, kHeight / 2).r, expected(1.0f), 3.0f);

    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
}

// ---------------------------------------------------------------------------
// Noise

TEST_F(Filters, StaticNoiseAlwaysShowsTheFirstTexture)
{
    NoiseFilter noise;
    noise.init(0);
    Texture* noise1 = TextureManager::getInstance()->find("noise1");
    TextureManager::getInstance()->release(noise1);
    EXPECT_EQ(noise.currentTexture(), noise1);

    // Opaque, so the screen is the texture itself, row 0 at the top.
    noise.signal(sig(118, {255}));
    auto noiseTexels = texels(noise1->textureId, NoiseFilter::kNoiseSize);
    std::vector<unsigned char> first;
    for (int f = 0; f < 4; ++f) {
        clearTo({0, 0, 0});
        noise.render(f * 20, true);
        auto now = frame();
        if (f == 0)
            first = now;
        EXPECT_EQ(now, first) << f;
    }
    for (int i = 0; i < 20; ++i) {
        // Columns that are multiples of 5 sample away from texel borders (512 over 640).
        int x = (i * 95) % kWidth, y = (i * 53) % kHeight;
        int tx = int((x + 0.5f) / kWidth * NoiseFilter::kNoiseSize);
        int ty = int((kHeight - 1 - y + 0.5f) / kHeight * NoiseFilter::kNoiseSize);
        int grey = texelRed(noiseTexels, NoiseFilter::kNoiseSize, tx, ty);
        EXPECT_EQ(at(first, x, y), (Rgb{grey, grey, grey})) << x << "," << y;
    }
    // Each slot got a picture of its own.
    auto second = texels(noise.slotTexture(1)->textureId, NoiseFilter::kNoiseSize);
    EXPECT_NE(second, noiseTexels);
}

TEST_F(Filters, AnimatedNoiseChangesInThreeOfFourFrames)
{
    NoiseFilter noise;
    noise.init(0);
    noise.signal(sig(118, {255}));
    noise.signal(sig(90, {1}));
    clearTo({0, 0, 0});
    noise.render(0, true);
    auto previous = frame();
    Texture* noise4 = noise.slotTexture(3);
    Texture* noise5 = noise.spareTexture();
    int changes = 0;
    for (int f = 1; f <= 8; ++f) {
        clearTo({0, 0, 0});
        noise.render(f * 20, true);
        auto now = frame();
        bool changed = now != previous;
        changes += changed;
        // The fourth of every four frames swaps the completed spare in and
        // shows the same texture again.
        EXPECT_EQ(changed, f % 4 != 3) << f;
        if (f == 3) {
            EXPECT_EQ(noise.slotTexture(3), noise5);
            EXPECT_EQ(noise.spareTexture(), noise4);
            EXPECT_EQ(noise.currentTexture(), noise4);
        }
        previous = std::move(now);
    }
    EXPECT_EQ(changes, 6);
}

TEST_F(Filters, NoiseFlashAddsTheSquaredArgumentToTheAlpha)
{
    NoiseFilter noise;
    noise.init(0);
    auto noiseTexels = texels(noise.currentTexture()->textureId, NoiseFilter::kNoiseSize);
    int tx = int((kWidth / 2 + 0.5f) / kWidth * NoiseFilter::kNoiseSize);
    int ty = int((kHeight - 1 - kHeight / 2 + 0.5f) / kHeight * NoiseFilter::kNoiseSize);
    int grey = texelRed(noiseTexels, NoiseFilter::kNoiseSize, tx, ty);

    // Default alpha 0.5 over white.
    clearTo({255, 255, 255});
    noise.render(0, true);
    EXPECT_NEAR(pixel(kWidth / 2, kHeight / 2).r, 0.5f * grey + 127.5f, 1.5f);

    // 402 with 1 at flash scale 1.0: alpha 1.5, the noise opaque.
    noise.signal(sig(402, {1}));
    EXPECT_FLOAT_EQ(noise.extraAlpha, 1.0f);
    clearTo({255, 255, 255});
    noise.render(20, true);
    EXPECT_EQ(pixel(kWidth / 2, kHeight / 2).r, grey);

    // 402 with 0 takes the flash away again.
    noise.signal(sig(402, {0}));
    clearTo({255, 255, 255});
    noise.render(40, true);
    EXPECT_NEAR(pixel(kWidth / 2, kHeight / 2).r, 0.5f * grey + 127.5f, 1.5f);

    // Flash scale 0.00001 per unit: 100 squared gives 0.1; init resets both.
    noise.signal(sig(91, {1}));
    noise.signal(sig(402, {100}));
    EXPECT_NEAR(noise.extraAlpha, 0.1f, 1e-6f);
    noise.signal(sig(402, {100000}));
    EXPECT_NEAR(noise.extraAlpha, 1e5f, 1.0f);
    noise.init(0);
    EXPECT_EQ(noise.extraAlpha, 0.0f);
    EXPECT_EQ(noise.flashScale, 1.0f);
}

// ---------------------------------------------------------------------------
// Radial blur

TEST_F(Filters, RadialBlurDrawsTheFanUntilTheAlphaRunsOut)
{
    RadialBlurFilter blur;
    PictureSource picture;
    blur.source = &picture;
    blur.init(0);
    blur.preRender(0);
    const unsigned screen = unsigned(kWidth) * kHeight;
    auto quadsDrawn = [&](int t) { return samplesPassed([&] { blur.render(t, true); }) / screen; };

    // Only the copies: 16 by default.
    blur.signal(sig(93, {0}));
    EXPECT_EQ(quadsDrawn(0), 16u);
    // 0.5 falling by 0.25: the copies at 0.5 and 0.25, then the alpha is 0.
    blur.signal(sig(91, {50, -250}));
    EXPECT_EQ(quadsDrawn(0), 2u);
    // The first copy is drawn whatever its alpha.
    blur.signal(sig(91, {0, -10}));
    EXPECT_EQ(quadsDrawn(0), 1u);
    blur.signal(sig(91, {-20, 0}));
    EXPECT_EQ(quadsDrawn(0), 1u);
    // A rising alpha draws them all.
    blur.signal(sig(91, {45, 10}));
    blur.signal(sig(90, {3, 5}));
    EXPECT_EQ(quadsDrawn(0), 5u);
    // Negative counts draw nothing rather than wrapping round.
    blur.signal(sig(90, {-1, -1}));
    EXPECT_EQ(blur.renderCopies, 0);
    EXPECT_EQ(quadsDrawn(0), 0u);
}

TEST_F(Filters, RadialBlurWithoutCopiesDrawsOnlyTheSource)
{
    RadialBlurFilter blur;
    PictureSource picture;
    blur.source = &picture;
    blur.init(0);
    blur.signal(sig(90, {3, 0}));
    blur.preRender(0);
    clearTo({0, 0, 0});
    blur.render(0, true);
    auto filtered = frame();
    clearTo({0, 0, 0});
    picture.render(0, true);
    EXPECT_EQ(frame(), filtered);
}

TEST_F(Filters, RadialBlurRotationGrowsByADegreePerPeriod)
{
    RadialBlurFilter blur;
    PictureSource picture;
    blur.source = &picture;
    blur.init(1000);
    EXPECT_FLOAT_EQ(blur.red.value(), 0.5f);
    blur.signal(sig(94, {1, 100, 500}));
    blur.render(2000, true);
    EXPECT_FLOAT_EQ(blur.rotationAngle, 2.0f);
    blur.render(2250, true);
    EXPECT_FLOAT_EQ(blur.rotationAngle, 2.5f);

    // Period 0 keeps the angle, and so the picture.
    blur.signal(sig(94, {1, 100, 0}));
    blur.preRender(3000);
    clearTo({0, 0, 0});
    blur.render(3000, true);
    auto first = frame();
    blur.preRender(9000);
    clearTo({0, 0, 0});
    blur.render(9000, true);
    EXPECT_FLOAT_EQ(blur.rotationAngle, 2.5f);
    EXPECT_EQ(frame(), first);

    blur.init(0);
    EXPECT_EQ(blur.rotationAngle, 0.0f);
    EXPECT_FALSE(blur.rotate);
}

// ---------------------------------------------------------------------------
// ANSI

TEST_F(Filters, AnsiBuffersFollowTheBlockSizes)
{
    AnsiFilter ansi;
    ansi.init(0);
    EXPECT_TRUE(ansi.buffer(0).isCreated());
    EXPECT_EQ(ansi.buffer(0).width, 32);
    EXPECT_TRUE(ansi.buffer(1).isCreated());
    EXPECT_EQ(ansi.buffer(1).width, 64);
    EXPECT_FALSE(ansi.buffer(2).isCreated());

    auto magFilter = [](const PBuffer& b) {
        GLint filter = 0;
        glBindTexture(GL_TEXTURE_2D, b.textureId);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
        return filter;
    };
    EXPECT_EQ(magFilter(ansi.buffer(0)), GL_NEAREST);

    ansi.signal(sig(91, {0, 16, 0, 0}));
    EXPECT_TRUE(ansi.buffer(0).isCreated());
    EXPECT_EQ(ansi.buffer(0).width, 16);
    EXPECT_EQ(ansi.buffer(0).height, 16);
    EXPECT_FALSE(ansi.buffer(1).isCreated());
    EXPECT_FALSE(ansi.buffer(2).isCreated());
    EXPECT_EQ(magFilter(ansi.buffer(0)), GL_LINEAR);

    // One buffer in use: the source renders once for it and once itself.
    PictureSource picture;
    ansi.source = &picture;
    ansi.preRender(0);
    ansi.render(0, true);
    EXPECT_EQ(picture.renders, 2);
    ansi.signal(sig(91, {1, 8, 8, 8}));
    picture.renders = 0;
    ansi.preRender(0);
    ansi.render(0, true);
    EXPECT_EQ(picture.renders, 4);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Filters, AnsiAddsItsBlocksOverTheSource)
{
    AnsiFilter ansi;
    PictureSource picture;
    ansi.source = &picture;
    ansi.init(0);
    // Only the 16 x 16 buffer, nearest: each block is 40 x 32 pixels of one colour.
    ansi.signal(sig(91, {1, 16, 0, 0}));
    ansi.preRender(0);
    clearTo({0, 0, 0});
    ansi.render(0, true);
    auto blocky = frame();
    clearTo({0, 0, 0});
    picture.render(0, true);
    auto plain = frame();
    // The white square ends at 0.85 of the width, inside block column 13
    // (0.8125 to 0.875), whose centre it covers: right of the square that
    // block is lit at half brightness where the source is black, and the
    // next block is dark. The block sits in the upper half, as the square.
    int x = int(0.86f * kWidth);
    int y = int(0.7f * kHeight);
    EXPECT_EQ(at(plain, x, y), (Rgb{0, 0, 0}));
    Rgb lit = at(blocky, x, y);
    EXPECT_NEAR(lit.r, 128, 1);
    EXPECT_EQ(lit, at(blocky, int(0.874f * kWidth), y));
    EXPECT_EQ(at(blocky, int(0.88f * kWidth), y), (Rgb{0, 0, 0}));
    EXPECT_EQ(at(blocky, x, int(0.3f * kHeight)), (Rgb{0, 0, 0}));

    // Brightness 0: only the source is left.
    ansi.signal(sig(90, {0}));
    clearTo({0, 0, 0});
    ansi.render(0, true);
    EXPECT_EQ(frame(), plain);
}

// ---------------------------------------------------------------------------
// ScreenQuad

TEST_F(Filters, ScreenQuadCoversItsRectangleWithUnitZeroCoordinates)
{
    UnitScreenQuad quad;
    EXPECT_FLOAT_EQ(quad.vertices[2].position.x, 1.0f);
    EXPECT_FLOAT_EQ(quad.vertices[3].texCoord[0][1], 1.0f);
    EXPECT_FLOAT_EQ(quad.vertices[3].texCoord[1][1], 0.0f);

    // A texture dark on the left half and bright on the right, drawn over the
    // window's lower half through a quad for (0, 0, 1, 0.5) in y-up units.
    ScreenQuad lower(0.0f, 0.0f, 1.0f, 0.5f);
    unsigned char tex[2 * 4] = {0, 0, 0, 255, 255, 255, 255, 255};
    GLuint id;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, tex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    clearTo({0, 0, 90});
    glColor4f(1, 1, 1, 1);
    lower.draw(2);
    EXPECT_EQ(pixel(10, 10), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixel(kWidth - 10, 10), (Rgb{255, 255, 255}));
    EXPECT_EQ(pixel(kWidth - 10, kHeight - 10), (Rgb{0, 0, 90}));
    // Every array is off again and client unit 0 selected.
    for (int unit = 0; unit < 2; ++unit) {
        glext::glClientActiveTextureARB(GL_TEXTURE0_ARB + unit);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY)) << unit;
    }
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    glDeleteTextures(1, &id);
}
