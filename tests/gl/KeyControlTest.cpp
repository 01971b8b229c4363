// The key controller against the engine's real key state: key messages go
// through the window procedure, frames call the controller's render.

#include "effects/KeyControl.h"

#include "support/PlayerRig.h"
#include "support/Signals.h"

#include <gtest/gtest.h>

namespace {

class KeyControlTest : public PlayerRig {
protected:
    KeyControl* control = nullptr;
    int now = 1000;

    void SetUp() override
    {
        PlayerRig::SetUp();
        control = new KeyControl();
        EffectManager::instance()->registerEffect(1, control);
        control->init(0);
        control->start();
    }

    void frame()
    {
        now += 20;
        control->render(now, false);
        engine().keysReadByFrame();
    }

    // Presses and releases a key, with a frame in between.
    void tap(int vk)
    {
        key(vk, true);
        frame();
        key(vk, false);
    }

    void target(int id)
    {
        control->signal(sig(70, {id}));
    }
};

std::vector<int> codes(const RecordingEffect& e)
{
    std::vector<int> out;
    for (const SignalArgs& s : e.signals)
        out.push_back(s.code);
    return out;
}

} // namespace

TEST_F(KeyControlTest, NothingHappensWithoutATarget)
{
    RecordingEffect* filter = add(40, "filter");
    tap('2');
    key(KeyControl::kKeyLeft, true);
    frame();
    EXPECT_FALSE(filter->isRunning());
    EXPECT_TRUE(filter->signals.empty());
    // An unknown id leaves no target either.
    target(99);
    tap('2');
    EXPECT_FALSE(filter->isRunning());
}

TEST_F(KeyControlTest, HoldingTheLeftArrowSendsOneSkipPerFrame)
{
    RecordingEffect* scene = add(20, "scene");
    target(20);
    // Held over three frames, the keyboard repeating it, and let go before
    // a fourth: that one no longer sees it.
    for (int i = 0; i < 3; ++i) {
        key(KeyControl::kKeyLeft, true);
        frame();
    }
    key(KeyControl::kKeyLeft, true);
    key(KeyControl::kKeyLeft, false);
    frame();
    ASSERT_EQ(codes(*scene), (std::vector<int>{13, 13, 13}));
    EXPECT_EQ(scene->signals[0].args[0], 20);
    EXPECT_EQ(scene->signals[0].count, 1);
    EXPECT_EQ(scene->signals[0].timeOffset, 0);
    // Each skip moved the clock back by 20 ms.
    EXPECT_EQ(scene->startTime, 60);

    // Up and down act once per press; the right arrow skips forward.
    key(KeyControl::kKeyUp, true);
    frame();
    frame();
    key(KeyControl::kKeyUp, false);
    EXPECT_FLOAT_EQ(control->currentStep(), 22.0f);
    tap(KeyControl::kKeyDown);
    EXPECT_FLOAT_EQ(control->currentStep(), 19.8f);
    scene->signals.clear();
    tap(KeyControl::kKeyRight);
    ASSERT_EQ(codes(*scene), (std::vector<int>{13}));
    EXPECT_EQ(scene->signals[0].args[0], -19);
}

TEST_F(KeyControlTest, ToggleKeysStartStopAndRetarget)
{
    RecordingEffect* deform = add(10, "deform");
    RecordingEffect* glow = add(43, "glow");
    RecordingEffect* scene = add(21, "scene");
    target(21);

    // Held for several frames, a toggle acts once.
    key('1', true);
    frame();
    frame();
    key('1', false);
    EXPECT_TRUE(deform->isRunning());
    EXPECT_EQ(control->currentTarget(), deform);
    tap('1');
    EXPECT_FALSE(deform->isRunning());

    // A filter's keys reach its source.
    glow->source = scene;
    tap('5');
    EXPECT_TRUE(glow->isRunning());
    tap('N');
    tap('S');
    tap('P');
    EXPECT_EQ(codes(*scene), (std::vector<int>{20, 312, 313}));
    EXPECT_TRUE(glow->signals.empty());

    // H pauses at the current time, then resumes.
    scene->signals.clear();
    tap('H');
    ASSERT_TRUE(scene->isPaused());
    EXPECT_EQ(scene->signals[0].args[0], 1);
    EXPECT_EQ(scene->signals[0].args[1], now);
    tap('H');
    EXPECT_FALSE(scene->isPaused());
    EXPECT_EQ(scene->signals[1].args[0], 0);

    // A toggle key of an id that does not exist keeps the target.
    tap('7');
    EXPECT_EQ(control->currentTarget(), glow);
}

TEST_F(KeyControlTest, ZeroStopsEverythingButTheBasics)
{
    RecordingEffect* clear = add(0, "clear");
    RecordingEffect* scene = add(20, "scene");
    RecordingEffect* other = add(2, "other");
    target(20);
    scene->start();
    tap('0');
    EXPECT_TRUE(clear->isRunning());
    EXPECT_TRUE(other->isRunning());
    EXPECT_FALSE(scene->isRunning());
    EXPECT_TRUE(control->isRunning());
}
