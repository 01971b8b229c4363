// The switcher's routing of signals to its five layers (no GL needed). The
// registration of the generated effects is checked with the whole table in
// the GL tests: the filters among them need a context.

#include "effects/EffectSwitcher.h"
#include "effects/ImageLayer.h"
#include "gl/TextureManager.h"

#include "support/Signals.h"
#include "support/TestEffects.h"

#include <gtest/gtest.h>

namespace {

int runningChildren(const EffectSwitcher& s)
{
    int mask = 0;
    for (int i = 0; i < EffectSwitcher::kChildCount; ++i)
        mask |= s.child(i)->isRunning() ? 1 << i : 0;
    return mask;
}

} // namespace

TEST(EffectSwitcher, SignalsBeforeAnySelectionReachNoChild)
{
    EffectSwitcher s;
    s.init(0);
    s.signal(sig(97, {}));
    s.signal(sig(202, {10, 20, 30, 40}));
    s.signal(sig(99, {5}));
    EXPECT_EQ(s.selectedIndex(), -1);
    EXPECT_EQ(runningChildren(s), 0);
    for (int i = 0; i < EffectSwitcher::kChildCount; ++i)
        EXPECT_EQ(s.child(i)->x.value(), 0.0f) << i;
    // Nor does the switcher keep them itself.
    EXPECT_EQ(s.x.value(), 0.0f);
}

TEST(EffectSwitcher, SelectsStartsStopsAndForwards)
{
    EffectSwitcher s;
    s.init(0);
    s.signal(sig(99, {2}));
    s.signal(sig(97, {}));
    s.signal(sig(202, {10, 20, 30, 40}));
    EXPECT_EQ(runningChildren(s), 1 << 2);
    EXPECT_FLOAT_EQ(s.child(2)->y.value(), 0.2f);

    // 99 with 5 or more (or below 0) keeps the selection.
    for (int bad : {5, 6, 1000, -1}) {
        s.signal(sig(99, {bad}));
        EXPECT_EQ(s.selectedIndex(), 2) << bad;
    }
    s.signal(sig(99, {4}));
    s.signal(sig(97, {}));
    s.signal(sig(118, {51}));
    EXPECT_EQ(runningChildren(s), (1 << 2) | (1 << 4));
    EXPECT_FLOAT_EQ(s.child(4)->alpha.value(), 0.2f);
    EXPECT_FLOAT_EQ(s.child(2)->alpha.value(), 1.0f);
    s.signal(sig(99, {2}));
    s.signal(sig(98, {}));
    EXPECT_EQ(runningChildren(s), 1 << 4);

    // init resets every layer's base values, not the running flags.
    s.init(100);
    EXPECT_EQ(s.child(2)->y.value(), 0.0f);
    EXPECT_EQ(s.child(4)->alpha.value(), 1.0f);
    EXPECT_EQ(runningChildren(s), 1 << 4);
}

TEST(EffectSwitcher, ImageLayerDefaultsAndEmptyList)
{
    ImageLayer layer;
    EXPECT_EQ(layer.speed, 1000.0f);
    EXPECT_FALSE(layer.blending);
    layer.init(0);
    // Stepping an empty list selects nothing and moves nothing.
    layer.signal(sig(30, {}));
    EXPECT_EQ(layer.currentTexture(), nullptr);
    EXPECT_EQ(layer.listCursor(), 0);
    // A text signal without a loadable name adds nothing.
    layer.signal(sig(110, {}, "data/textures/none.png"));
    layer.signal(sig(31, {}));
    EXPECT_TRUE(layer.textureList().empty());
    EXPECT_EQ(layer.currentTexture(), nullptr);
    TextureManager::deleteInstance();
}
