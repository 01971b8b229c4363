// Golden frames of the generated effects: each effect is played through a
// short stretch of frames at 320x240 and the last picture is compared with a
// stored PNG under tests/golden/effects/ by maximum and mean channel error.
//
// After an intended change, rewrite the pictures with scripts/update-goldens.sh
// and look at them.

#include "effects/EffectSwitcher.h"
#include "effects/Forcefield.h"
#include "effects/ImageLayer.h"
#include "effects/InvertFlash.h"
#include "gl/TextureManager.h"

#include "support/GLTestContext.h"
#include "support/GoldenFrames.h"
#include "support/ImageFiles.h"
#include "support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

class GeneratedGolden : public GLTest {
protected:
    testimages::ScratchDir scratch;

    void TearDown() override
    {
        TextureManager::deleteInstance();
        GLTest::TearDown();
    }

    void beginFrame()
    {
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(0.02f, 0.02f, 0.08f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    // A 64x64 RGBA picture: rings of colour fading out toward the corners.
    std::string ringTexture(const char* name, float hue)
    {
        std::vector<unsigned char> rgba;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                float dx = x - 31.5f, dy = y - 31.5f;
                float r = std::sqrt(dx * dx + dy * dy);
                float wave = 0.5f + 0.5f * std::cos(r * 0.6f);
                rgba.push_back(static_cast<unsigned char>(255 * wave));
                rgba.push_back(static_cast<unsigned char>(255 * (0.5f + 0.5f * std::sin(hue + r * 0.2f))));
                rgba.push_back(static_cast<unsigned char>(255 * (1.0f - wave * 0.5f)));
                rgba.push_back(static_cast<unsigned char>(255 * std::max(0.0f, 1.0f - r / 32.0f)));
            }
        }
        std::string path = scratch.path(name);
        EXPECT_TRUE(testimages::writeBytes(path, testimages::encodePngRgb(64, 64, rgba, true)));
        return path;
    }

    // A 64x64 opaque checkerboard of two colours with a diagonal gradient.
    std::string checkerTexture(const char* name)
    {
        std::vector<unsigned char> rgb;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                bool dark = ((x / 8) + (y / 8)) % 2 == 0;
                rgb.push_back(static_cast<unsigned char>(dark ? 20 + x : 60 + x * 2));
                rgb.push_back(static_cast<unsigned char>(dark ? 10 : 40 + y * 2));
                rgb.push_back(static_cast<unsigned char>(dark ? 60 + y : 160));
            }
        }
        std::string path = scratch.path(name);
        EXPECT_TRUE(testimages::writeBytes(path, testimages::encodePngRgb(64, 64, rgb, false)));
        return path;
    }
};

} // namespace

TEST_F(GeneratedGolden, Forcefield)
{
    auto field = std::make_unique<Forcefield>();
    field->init(0);
    field->signal(sig(90, {90}));
    for (int t = 0; t <= 4000; t += 40) {
        beginFrame();
        field->render(t, true);
    }
    expectGoldenFrame("effects/forcefield", kWidth, kHeight);
}

TEST_F(GeneratedGolden, ImageLayers)
{
    EffectSwitcher switcher;
    switcher.init(0);
    // Layer 0: a scrolling checkerboard over the whole screen, half see-through.
    switcher.signal(sig(99, {0}));
    switcher.signal(sig(97, {}));
    switcher.signal(sig(110, {}, checkerTexture("checker.png")));
    switcher.signal(sig(100, {160}));
    switcher.signal(sig(210, {1, 2}));
    switcher.signal(sig(211, {4000}));
    // Layer 1: rings spinning in the middle, added on top.
    switcher.signal(sig(99, {1}));
    switcher.signal(sig(97, {}));
    switcher.signal(sig(110, {}, ringTexture("rings.png", 0.0f)));
    switcher.signal(sig(202, {30, 20, 40, 60}));
    switcher.signal(sig(204, {12, 10}));
    switcher.signal(sig(100, {255}));
    switcher.signal(sig(212, {0, 0, 40}));
    // Layer 2: other rings revealed along the bottom, tinted.
    switcher.signal(sig(99, {2}));
    switcher.signal(sig(97, {}));
    switcher.signal(sig(110, {}, ringTexture("rings2.png", 2.0f)));
    switcher.signal(sig(90, {0}));
    switcher.signal(sig(202, {5, 70, 0, 25}));
    switcher.signal(sig(203, {5, 70, 90, 25, 500, 2000}));
    switcher.signal(sig(200, {255, 200, 120}));
    switcher.signal(sig(100, {230}));
    for (int t = 0; t <= 1500; t += 100) {
        beginFrame();
        switcher.render(t, true);
    }
    expectGoldenFrame("effects/image_layers", kWidth, kHeight);
}

TEST_F(GeneratedGolden, InvertFlashOverImageLayers)
{
    // The checkerboard and rings of the layers above, a quarter of the way
    // into a flash of 400 ms: three quarters inverted.
    EffectSwitcher switcher;
    switcher.init(0);
    switcher.signal(sig(99, {0}));
    switcher.signal(sig(97, {}));
    switcher.signal(sig(110, {}, checkerTexture("checker.png")));
    switcher.signal(sig(99, {1}));
    switcher.signal(sig(97, {}));
    switcher.signal(sig(110, {}, ringTexture("rings.png", 1.0f)));
    switcher.signal(sig(202, {20, 10, 60, 80}));
    switcher.signal(sig(100, {255}));
    InvertFlash flash;
    flash.init(0);
    flash.signal(sig(90, {400}));
    flash.signal(sig(400, {1000}));
    for (int t = 900; t <= 1100; t += 20) {
        beginFrame();
        switcher.render(t, true);
        flash.render(t, true);
    }
    expectGoldenFrame("effects/invert_flash", kWidth, kHeight);
}
