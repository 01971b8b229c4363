// The forcefield, the image layers and the invert flash drawn for real and
// read back.

#include "effects/EffectSwitcher.h"
#include "effects/Forcefield.h"
#include "effects/ImageLayer.h"
#include "gl/TextureManager.h"

#include "support/GLTestContext.h"
#include "support/ImageFiles.h"
#include "support/Signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using Pixel = std::array<int, 3>;

class GeneratedEffects : public GLTest {
protected:
    testimages::ScratchDir scratch;

    void TearDown() override
    {
        TextureManager::deleteInstance();
        GLTest::TearDown();
    }

    std::vector<unsigned char> readFrame()
    {
        std::vector<unsigned char> rgba(kWidth * kHeight * 4);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }

    // The pixel at (x, y) measured from the top left, as the layers place them.
    Pixel pixelAt(int x, int y)
    {
        unsigned char p[4] = {};
        glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }

    void clear(float r, float g, float b)
    {
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(r, g, b, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    // A 64x64 PNG in the scratch folder: left half `left`, right half `right`.
    std::string texture(const char* name, Pixel left, Pixel right)
    {
        std::vector<unsigned char> rgb;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                for (int c = 0; c < 3; ++c)
                    rgb.push_back(static_cast<unsigned char>(x < 32 ? left[c] : right[c]));
        std::string path = scratch.path(name);
        EXPECT_TRUE(testimages::writeBytes(path, testimages::encodePngRgb(64, 64, rgb, false)));
        return path;
    }
};

} // namespace

TEST_F(GeneratedEffects, ForcefieldFrameWithoutAStepDrawsTheSameTrails)
{
    auto field = std::make_unique<Forcefield>();
    field->init(0);
    field->signal(sig(90, {60}));
    for (int t = 0; t <= 2000; t += 40) {
        clear(0, 0, 0);
        field->render(t, true);
    }
    std::vector<unsigned char> first = readFrame();
    std::vector<Vec3> trails;
    for (int i = 0; i < Forcefield::kParticleCount; ++i)
        trails.insert(trails.end(), field->particle(i).trail, field->particle(i).trail + Forcefield::kTrailLength);
    EXPECT_GT(std::count_if(first.begin(), first.end(), [](unsigned char c) { return c > 20; }), 500);

    // The same time again, and 1 ms later (the limit grows by half a step).
    for (int t : {2000, 2001}) {
        clear(0, 0, 0);
        field->render(t, true);
        EXPECT_EQ(field->lastSteps(), 0);
    }
    for (int i = 0; i < Forcefield::kParticleCount; ++i)
        ASSERT_EQ(std::memcmp(field->particle(i).trail, &trails[i * Forcefield::kTrailLength],
                              sizeof field->particle(i).trail),
                  0);
    clear(0, 0, 0);
    field->render(2000, true);
    EXPECT_TRUE(readFrame() == first);

    // The next frame with steps moves the trails.
    clear(0, 0, 0);
    field->render(2040, true);
    EXPECT_NEAR(field->lastSteps(), 20, 1);
    EXPECT_FALSE(readFrame() == first);

    // The effect leaves depth writes on and blending off.
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GeneratedEffects, SignalThirtyStepsThroughTheList)
{
    const Pixel red = {255, 0, 0}, green = {0, 255, 0}, blue = {0, 0, 255};
    EffectSwitcher switcher;
    switcher.init(0);
    switcher.signal(sig(99, {3}));
    switcher.signal(sig(97, {}));
    ImageLayer* layer = switcher.child(3);
    for (auto [name, colour] : {std::pair{"r.png", red}, {"g.png", green}, {"b.png", blue}})
        switcher.signal(sig(31, {}, texture(name, colour, colour)));
    ASSERT_EQ(layer->textureList().size(), 3u);

    // Appending shows nothing yet.
    clear(0, 0, 0);
    switcher.render(100, true);
    EXPECT_EQ(pixelAt(160, 120), (Pixel{0, 0, 0}));

    std::vector<Pixel> shown;
    for (int i = 0; i < 4; ++i) {
        switcher.signal(sig(30, {}));
        clear(0, 0, 0);
        switcher.render(100, true);
        shown.push_back(pixelAt(160, 120));
    }
    EXPECT_EQ(shown, (std::vector<Pixel>{green, blue, red, green}));

    // 110 shows a texture at once and appends it; a name that does not load
    // changes nothing. The same file twice is one texture with two references.
    std::string redName = scratch.path("r.png");
    switcher.signal(sig(110, {}, redName));
    switcher.signal(sig(110, {}, scratch.path("missing.png")));
    clear(0, 0, 0);
    switcher.render(100, true);
    EXPECT_EQ(pixelAt(160, 120), red);
    EXPECT_EQ(layer->textureList().size(), 4u);
    EXPECT_EQ(TextureManager::getInstance()->refCount(redName.c_str()), 2);
}

TEST_F(GeneratedEffects, ImageLayerPlacesRevealsAndScrolls)
{
    const Pixel red = {255, 0, 0}, blue = {0, 0, 255};
    ImageLayer layer;
    layer.init(0);
    layer.start();
    layer.signal(sig(110, {}, texture("halves.png", red, blue)));
    // The right half of the screen, y measured from the top.
    layer.signal(sig(202, {50, 0, 50, 50}));
    clear(0, 0, 0);
    layer.render(0, true);
    EXPECT_EQ(pixelAt(200, 60), red);
    EXPECT_EQ(pixelAt(300, 60), blue);
    EXPECT_EQ(pixelAt(200, 180), (Pixel{0, 0, 0}));
    EXPECT_EQ(pixelAt(60, 60), (Pixel{0, 0, 0}));

    // Reveal: growing from width 0 to the full screen over 1000 ms, halfway
    // the left half of the screen shows the left half of the picture only.
    layer.signal(sig(90, {0}));
    layer.signal(sig(202, {0, 0, 0, 100}));
    layer.signal(sig(203, {0, 0, 100, 100, 1000, 1000}));
    clear(0, 0, 0);
    layer.render(1500, true);
    EXPECT_EQ(pixelAt(40, 120), red);
    EXPECT_EQ(pixelAt(140, 120), red);
    EXPECT_EQ(pixelAt(200, 120), (Pixel{0, 0, 0}));
    // Stretched, the same rectangle shows both halves.
    layer.signal(sig(90, {1}));
    clear(0, 0, 0);
    layer.render(1500, true);
    EXPECT_EQ(pixelAt(40, 120), red);
    EXPECT_EQ(pixelAt(140, 120), blue);

    // Scrolling by half a texture per second moves the halves across.
    layer.signal(sig(202, {0, 0, 100, 100}));
    layer.signal(sig(210, {1, 0}));
    layer.signal(sig(211, {2000}));
    clear(0, 0, 0);
    layer.render(1000, true);
    EXPECT_EQ(pixelAt(40, 120), blue);
    EXPECT_EQ(pixelAt(280, 120), red);
    // A divisor of 0 holds the picture still.
    layer.signal(sig(211, {0}));
    clear(0, 0, 0);
    layer.render(1000, true);
    EXPECT_EQ(pixelAt(40, 120), red);

    // Half a turn about z swaps the halves; the texture matrix is left as it was.
    layer.signal(sig(211, {1000}));
    layer.signal(sig(210, {0, 0}));
    layer.signal(sig(212, {0, 0, 180}));
    clear(0, 0, 0);
    layer.render(1000, true);
    EXPECT_EQ(pixelAt(40, 120), blue);
    EXPECT_EQ(pixelAt(280, 120), red);
    GLint textureDepth = 0;
    glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &textureDepth);
    EXPECT_EQ(textureDepth, 1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
