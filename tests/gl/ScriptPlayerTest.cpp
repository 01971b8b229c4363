#include "effects/KeyControl.h"
#include "support/PlayerRig.h"

#include <gtest/gtest.h>

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
    tap(ScriptPlayer::kKeyEscape);
    frameAt(20);
    EXPECT_TRUE(player->quitRequested());
}
