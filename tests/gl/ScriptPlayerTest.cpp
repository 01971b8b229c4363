#include "effects/KeyControl.h"
#include "engine/FlashOverlay.h"
#include "engine/PatternTrigger.h"
#include "support/PlayerRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using ScriptPlayerGL = PlayerRig;

TEST_F(ScriptPlayerGL, SetupThenInitThenFirstFrameDeliversEverythingDue)
{
    RecordingEffect* a = add(1, "a");
    RecordingEffect* b = add(2, "b");
    testing::internal::CaptureStderr();
    play("DEMOSTART 60000 - 5000\n"
         "SETUP\n"
         "0 SET_LAYER 1 0\n"
         "0 l 2 3\n"
         "0 s 1 10 250\n"
         "0 s 99 10 1\n"
         "0 s 2 202 50\n"
         "TIMELINE\n"
         "55001 s 2 13 100\n"
         "10000 START 1\n"
         "55000 s 1 200 1 2 3\n"
         "55000 START 2\n"
         "90000 s 42 1 1\n"
         "90000 START 42\n");
    EXPECT_EQ(player->demoStart(), 55000);
    // Setup signals first, then init(0) for every effect in id order.
    EXPECT_EQ(takeLog(), (Log{"a.signal10", "b.signal202", "a.init@0", "b.init@0"}));
    EXPECT_EQ(a->speed, 250.0f);       // init leaves speed alone
    EXPECT_EQ(b->width.value(), 1.0f); // but resets the rectangle
    EXPECT_EQ(EffectManager::instance()->layer(3).size(), 1u);

    // The clock starts at the demo start: the event at 10000 comes with the
    // first frame, and everything due is delivered before anything is drawn.
    frameAt(55000);
    EXPECT_EQ(takeLog(), (Log{"a.signal200", "a.render@55000", "a.pre@55000", "b.pre@55000", "b.render@55000"}));
    EXPECT_EQ(player->eventsDelivered(), 3u);
    EXPECT_TRUE(a->isRunning());

    frameAt(55000);
    EXPECT_EQ(player->eventsDelivered(), 3u);
    takeLog();
    frameAt(55001);
    EXPECT_EQ(takeLog()[0], "b.signal13");
    EXPECT_EQ(b->startTime, 100);

    // Events for ids without an effect are dropped silently.
    frameAt(95000);
    EXPECT_EQ(player->eventsDelivered(), 6u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(player->quitRequested());
}

TEST_F(ScriptPlayerGL, LateInitKeepsItsTimeAndMinimisedFramesCatchUp)
{
    RecordingEffect* a = add(1, "a");
    play("SETUP\n"
         "0 l 1 2\n"
         "TIMELINE\n"
         "1000 START 1\n"
         "12000 INIT 1\n"
         "12500 s 1 118 0\n"
         "14000 s 1 101 0\n");
    takeLog();
    frameAt(12040);
    EXPECT_EQ(takeLog(), (Log{"a.init@12000", "a.pre@12040", "a.render@12040"}));
    EXPECT_EQ(a->localTime, 40);

    // Minimised for three seconds: no events, no drawing.
    setMinimised(true);
    frameAt(13000);
    frameAt(14500);
    EXPECT_TRUE(takeLog().empty());
    setMinimised(false);
    frameAt(15040);
    EXPECT_EQ(takeLog(), (Log{"a.signal118", "a.signal101", "a.pre@15040", "a.render@15040"}));
}

TEST_F(ScriptPlayerGL, EndDemoLetsTheFrameFinish)
{
    RecordingEffect* a = add(1, "a");
    play("SETUP\n"
         "0 l 1 1\n"
         "TIMELINE\n"
         "20000 END_DEMO\n"
         "20000 START 1\n"
         "20000 s 1 10 5\n"
         "20001 s 1 10 7\n");
    takeLog();
    frameAt(19999);
    EXPECT_FALSE(player->quitRequested());
    frameAt(20000);
    EXPECT_TRUE(player->quitRequested());
    EXPECT_EQ(takeLog(), (Log{"a.signal10", "a.pre@20000", "a.render@20000"}));
    EXPECT_EQ(a->speed, 5.0f);
}

// Pattern steps in a run: a trigger fires when its layer draws (after layer
// 0), its 407 carries the frame's time, and a flash it starts is at full
// strength on its first frame, even when the trigger is started mid-cycle
// without an init. A capture fast-forwarded to mid-show then shows the steps
// and the flash of one begun at the demo start at the same rate.
TEST_F(ScriptPlayerGL, PatternStepsFireInTheirLayersAtTheFramesTimeAndFastForwardAlike)
{
    add(0, "floor");
    RecordingEffect* steps = add(5, "steps");
    EffectManager::instance()->registerEffect(3, new PatternTrigger);
    EffectManager::instance()->registerEffect(12, new PatternTrigger);
    auto* flash = new FlashOverlay;
    EffectManager::instance()->registerEffect(63, flash);
    play("DEMOSTART 10000\n"
         "SETUP\n"
         "0 l 0 0\n"
         "0 l 3 1\n"
         "0 l 12 1\n"
         "0 l 63 14\n"
         "0 s 3 70 5\n"
         "0 s 12 70 63\n"
         "TIMELINE\n"
         "10000 START 0\n"
         "10000 START 63\n"
         "10000 s 63 8 0\n"
         "10500 START 3\n"
         "10510 INIT 3\n"
         "10500 START 12\n");
    // Frames 40 ms apart from the demo start; steps come due between them.
    struct Seen {
        std::vector<int> stepTimes;
        std::map<int, float> flash; // frame time: alpha drawn
    };
    auto playFrames = [&](int from, int to, auto&& runAt) {
        Seen seen;
        for (int t = from; t <= to; t += 40) {
            runAt(t);
            seen.flash[t] = flash->isRunning() ? flash->alpha.value() : 0.0f;
        }
        for (const SignalArgs& s : steps->signals)
            seen.stepTimes.push_back(s.args[0]);
        steps->signals.clear();
        return seen;
    };
    takeLog();
    Seen full = playFrames(10000, 11600, [&](int t) { frameAt(t); });
    EXPECT_EQ(full.stepTimes, (std::vector<int>{10520, 11520}));
    EXPECT_FLOAT_EQ(full.flash[10480], 0.0f);
    EXPECT_FLOAT_EQ(full.flash[10520], 1.0f);
    EXPECT_FLOAT_EQ(full.flash[10560], 1.0f - 40.0f / 500.0f);
    EXPECT_FLOAT_EQ(full.flash[11000], 1.0f);
    Log log = takeLog();
    auto at = [&](const std::string& entry) { return std::find(log.begin(), log.end(), entry) - log.begin(); };
    EXPECT_LT(at("floor.render@10520"), at("steps.signal407"));
    EXPECT_LT(at("steps.signal407"), at("floor.render@10560"));

    // Captured at 25 frames a second from the demo start, and fast-forwarded
    // to 11120 at that rate, then drawn from there.
    player->requestRestart();
    restart();
    player->setFrameGrid(TimeGrid(10000, 25));
    Seen captured = playFrames(10000, 11600, [&](int t) { frameAt(t); });
    player->requestRestart();
    player->startScript();
    player->setFrameGrid(TimeGrid(11120, 25));
    player->fastForward(11120);
    clock.set(0);
    engine().startTimer();
    Seen sought = playFrames(11120, 11600, [&](int t) {
        clock.set(static_cast<int64_t>(t - 11120) * 1000);
        player->runFrame();
    });
    EXPECT_EQ(sought.stepTimes, captured.stepTimes);
    for (const auto& [t, alpha] : sought.flash)
        EXPECT_FLOAT_EQ(alpha, captured.flash[t]) << t;
}

TEST_F(ScriptPlayerGL, ControlKeysInTheirOrder)
{
    add(1, "a");
    const char* script = "SETUP\n"
                         "0 l 1 1\n"
                         "TIMELINE\n"
                         "100 START 1\n"
                         "200 s 1 10 9\n";
    play(script);
    frameAt(150);
    takeLog();

    // Escape wins over both combinations; nothing is delivered or drawn.
    key(ScriptPlayer::kKeyEscape, true);
    key(ScriptPlayer::kKeyControl, true);
    key(ScriptPlayer::kKeyShift, true);
    key(ScriptPlayer::kKeyHome, true);
    frameAt(300);
    EXPECT_TRUE(player->quitRequested());
    EXPECT_FALSE(player->reloadRequested());
    EXPECT_FALSE(player->restartRequested());
    EXPECT_TRUE(takeLog().empty());
    ASSERT_NE(EffectManager::instance()->findEffect(1), nullptr);

    // Ctrl+Shift+Home: the Home combination is tested first and reloads.
    key(ScriptPlayer::kKeyEscape, false);
    frameAt(300);
    EXPECT_TRUE(player->reloadRequested());
    EXPECT_FALSE(player->restartRequested());
    EXPECT_EQ(EffectManager::instance()->findEffect(1), nullptr);
    EXPECT_TRUE(EffectManager::instance()->layer(1).empty());
    EXPECT_EQ(player->demoStart(), 0);

    // Rebuilt as the run does: a new player, a clean start.
    RecordingEffect* a = add(1, "a");
    player.reset();
    play(script);
    EXPECT_FALSE(player->quitRequested());
    EXPECT_FALSE(player->reloadRequested());

    // Ctrl+Shift: every effect stopped, the script dropped; a restart plays
    // every event again, once.
    frameAt(250);
    EXPECT_TRUE(a->isRunning());
    EXPECT_EQ(player->eventsDelivered(), 2u);
    key(ScriptPlayer::kKeyControl, true);
    key(ScriptPlayer::kKeyShift, true);
    frameAt(260);
    EXPECT_TRUE(player->restartRequested());
    EXPECT_FALSE(a->isRunning());
    EXPECT_NE(EffectManager::instance()->findEffect(1), nullptr);

    a->speed = 100.0f;
    restart();
    EXPECT_FALSE(player->restartRequested());
    EXPECT_EQ(player->eventsDelivered(), 0u);
    frameAt(250);
    EXPECT_EQ(player->eventsDelivered(), 2u);
    EXPECT_EQ(a->speed, 9.0f);
    EXPECT_TRUE(a->isRunning());
}

// A renderer slower than the hand: a key pressed and released between two
// frames still reaches the next frame, once.
TEST_F(ScriptPlayerGL, AKeyTappedBetweenTwoFramesActsInTheNextFrameOnce)
{
    RecordingEffect* a = add(10, "a");
    EffectManager::instance()->registerEffect(1, new KeyControl());
    play("SETUP\n"
         "0 l 1 1\n"
         "0 l 10 2\n"
         "0 s 1 70 10\n"
         "TIMELINE\n"
         "1 START 1\n");
    frameAt(10);
    auto tap = [this](int vk) {
        key(vk, true);
        key(vk, false);
    };
    tap('1');
    frameAt(20);
    EXPECT_TRUE(a->isRunning());
    frameAt(30);
    EXPECT_TRUE(a->isRunning()) << "a tap toggled twice";
    tap('1');
    frameAt(40);
    EXPECT_FALSE(a->isRunning()) << "the second tap was not seen";
    // Held and acknowledged, then let go as another key goes down: no
    // second press.
    key('1', true);
    frameAt(42);
    EXPECT_TRUE(a->isRunning());
    key('2', true);
    key('1', false);
    frameAt(44);
    EXPECT_TRUE(a->isRunning()) << "the key let go toggled again";
    key('2', false);
    // The arrows act on every frame while held: a tap is one frame.
    tap(KeyControl::kKeyLeft);
    frameAt(50);
    frameAt(60);
    ASSERT_EQ(a->signals.size(), 1u);
    EXPECT_EQ(a->signals[0].code, 13);

    // Control held over a frame, then Shift pressed and both let go before
    // the next one: the combination still restarts.
    key(ScriptPlayer::kKeyControl, true);
    frameAt(70);
    tap(ScriptPlayer::kKeyShift);
    key(ScriptPlayer::kKeyControl, false);
    frameAt(80);
    EXPECT_TRUE(player->restartRequested());
    restart();
    frameAt(10);
    EXPECT_FALSE(player->restartRequested());
    // Tapped one after the other, never held together, within one frame:
    // neither combination.
    tap(ScriptPlayer::kKeyControl);
    tap(ScriptPlayer::kKeyHome);
    tap(ScriptPlayer::kKeyControl);
    tap(ScriptPlayer::kKeyShift);
    frameAt(20);
    EXPECT_FALSE(player->reloadRequested());
    EXPECT_FALSE(player->restartRequested());
    tap(ScriptPlayer::kKeyEscape);
    frameAt(30);
    EXPECT_TRUE(player->quitRequested());
}
