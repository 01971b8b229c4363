// A reload builds every effect again. The effects size their rectangles by
// the viewport they are made under, and a frame ends with the viewport of its
// top-most effect.

#include "app/DemoBuild.h"
#include "engine/EffectFactory.h"
#include "support/PlayerRig.h"

namespace {

// Draws nothing; only places the viewport by its rectangle, as every drawing
// effect does.
class PlacedEffect : public Effect {
public:
    void init(int time) override { initBase(time); }
    void render(int time, bool applyRect) override { update(time, applyRect); }
};

struct OnePlacedEffect : EffectFactory {
    void createEffects(bool) override { EffectManager::instance()->registerEffect(1, new PlacedEffect); }
};

std::vector<int> viewport()
{
    GLint v[4] = {};
    glGetIntegerv(GL_VIEWPORT, v);
    return {v[0], v[1], v[2], v[3]};
}

} // namespace

using DemoBuildGL = PlayerRig;

TEST_F(DemoBuildGL, EffectsRebuiltAfterAPartialLastFrameSeeTheWholeScreen)
{
    const char* script = "SETUP\n"
                         "0 SET_LAYER 1 1\n"
                         "TIMELINE\n"
                         "1 START 1\n"
                         "1 SIGNAL 1 202 50 0 50 50\n";
    OnePlacedEffect factory;
    buildDemoEffects(engine(), factory, false);
    play(script);
    frameAt(10);
    EXPECT_EQ(viewport(), (std::vector<int>{160, 0, 160, 120}));

    player.reset();
    buildDemoEffects(engine(), factory, false);
    EXPECT_EQ(Effect::screenWidth, 320);
    EXPECT_EQ(Effect::screenHeight, 240);
    player = std::make_unique<ScriptPlayer>("data/testscript.scr", &source);
    restart();
    frameAt(10);
    EXPECT_EQ(viewport(), (std::vector<int>{160, 0, 160, 120}));
}
