// Golden frames of every filter over a known picture, rendered through the
// layer pass in the 640 x 512 test window and compared with the PNGs under
// tests/golden/filters/ by maximum and mean channel error. After an intended
// change, rewrite them with VP_UPDATE_GOLDENS=1 (scripts/update-goldens.sh
// does) and look at every changed picture before committing it.

#include "effects/AnsiFilter.h"
#include "effects/GlowFilter.h"
#include "effects/MotionBlurFilter.h"
#include "effects/NoiseFilter.h"
#include "effects/RadialBlurFilter.h"
#include "effects/RenderTargetLayer.h"
#include "engine/ClearScreen.h"
#include "math/Random.h"

#include "support/FilterRig.h"
#include "support/GoldenFrames.h"

namespace {

class FilterGolden : public FilterTest {
protected:
    EffectManager* manager = nullptr;
    PictureSource* picture = nullptr;

    void SetUp() override
    {
        FilterTest::SetUp();
        manager = EffectManager::instance();
        auto* clear = new ClearScreen;
        manager->registerEffect(0, clear);
        picture = new PictureSource;
        manager->registerEffect(1, picture);
        manager->addToLayer(0, 0);
        clear->init(0);
        clear->signal(sig(200, {20, 24, 48}));
        clear->start();
        picture->init(0);
        picture->start();
    }

    // Registers `effect` under `id` on `layer`, with the picture as its
    // source unless told otherwise, inits and starts it.
    void add(int id, Effect* effect, int layer, bool fromPicture = true)
    {
        manager->registerEffect(id, effect);
        manager->addToLayer(layer, id);
        effect->init(0);
        if (fromPicture)
            effect->signal(sig(70, {1}));
        effect->start();
    }

    void renderFrames(int from, int to, int step)
    {
        for (int t = from; t <= to; t += step)
            manager->renderFrame(t);
    }
};

} // namespace

TEST_F(FilterGolden, Glow)
{
    manager->addToLayer(1, 1);
    auto* glow = new GlowFilter;
    add(43, glow, 2);
    // Five copies at 0.2 each: about the glow texture once, a soft halo.
    glow->signal(sig(118, {51}));
    renderFrames(0, 40, 40);
    expectGoldenFrame("filters/glow", kWidth, kHeight);
}

TEST_F(FilterGolden, MotionBlur)
{
    picture->driftPerSecond = -0.5f;
    auto* blur = new MotionBlurFilter;
    add(42, blur, 1);
    blur->signal(sig(90, {2}));
    renderFrames(0, 480, 40);
    expectGoldenFrame("filters/motion_blur", kWidth, kHeight);
}

TEST_F(FilterGolden, RadialBlur)
{
    add(41, new RadialBlurFilter, 1);
    renderFrames(0, 40, 40);
    expectGoldenFrame("filters/radial_blur", kWidth, kHeight);
}

TEST_F(FilterGolden, RadialBlurRotating)
{
    auto* blur = new RadialBlurFilter;
    add(41, blur, 1);
    blur->signal(sig(94, {1, 150, 100}));
    blur->signal(sig(91, {60, -30}));
    renderFrames(0, 400, 100);
    expectGoldenFrame("filters/radial_blur_rotating", kWidth, kHeight);
}

TEST_F(FilterGolden, Ansi)
{
    add(40, new AnsiFilter, 1);
    renderFrames(0, 40, 40);
    expectGoldenFrame("filters/ansi", kWidth, kHeight);
}

// Noise in the lower-left quarter only, so the stored picture stays small.
TEST_F(FilterGolden, Noise)
{
    manager->addToLayer(1, 1);
    // The noise comes from the process-wide generator, from its first value.
    seedRandom(1);
    auto* noise = new NoiseFilter;
    add(44, noise, 2, false);
    noise->signal(sig(202, {0, 0, 25, 25}));
    noise->signal(sig(402, {1}));
    noise->signal(sig(91, {30000}));
    renderFrames(0, 40, 40);
    expectGoldenFrame("filters/noise", kWidth, kHeight);
}

TEST_F(FilterGolden, RenderTargetLayer)
{
    auto* inner = new PictureSource;
    auto* layer = new RenderTargetLayer(inner);
    add(20, layer, 1, false);
    layer->signal(sig(501, {50, 50, 0}));
    layer->signal(sig(500, {0, 0, 0, 0, 0, 20, 0, 200}));
    layer->signal(sig(201, {255, 200, 120, 230}));
    renderFrames(0, 200, 40);
    expectGoldenFrame("filters/render_target", kWidth, kHeight);
}
