// Where each start of the script begins, and where the music is put for it,
// when the script has a lead-in (a demo start before 0).
#include "app/FramePresenter.h"
#include "app/PlaybackControl.h"
#include "app/SectionLoop.h"
#include "platform/GLWindow.h"
#include "support/PlayerRig.h"

#include <gtest/gtest.h>

using PlaybackControlGL = PlayerRig;

TEST_F(PlaybackControlGL, ASeekBackIntoTheLeadInStartsThereWithTheMusicWhereTheRunHadIt)
{
    play("DEMOSTART -2000\nSETUP\nTIMELINE\n600000 END_DEMO\n");
    PlaybackControl playback(false, -1);
    EXPECT_EQ(playback.startTime(player->demoStart()), -2000);
    // The music's beginning is heard at the demo start.
    EXPECT_EQ(engine().musicTimeAt(-2000), 0);
    EXPECT_EQ(engine().musicTimeAt(3000), 5000);

    frameAt(4000);
    WindowMessage msg;
    msg.type = MessageType::KeyDown;
    msg.param1 = PlaybackControl::kKeyPageUp;
    playback.onMessage(msg);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(playback.apply(engine(), *player)); // back: the script starts again
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "seek to -1000 ms\n");
    restart();
    EXPECT_EQ(playback.startTime(player->demoStart()), -1000);
    EXPECT_EQ(engine().musicTimeAt(-1000), 1000);

    // A demo start after 0 hears the music at the demo time itself.
    play("DEMOSTART 55000\nSETUP\nTIMELINE\n600000 END_DEMO\n");
    EXPECT_EQ(engine().musicTimeAt(56000), 56000);
}

// A loop goes back when the demo time reaches its end, not before; a frame is
// drawn after each jump however short the loop; and a loop that holds no frame
// of the show is refused, from the command line and from the keys.
TEST_F(PlaybackControlGL, ALoopGoesBackAtItsEndAndRefusesOneThatHoldsNoFrame)
{
    // From its start (the demo start at the earliest) to its end, before the show's end.
    EXPECT_TRUE(SectionLoop::holdsAFrame(0, 10001, 10000, -1));
    EXPECT_FALSE(SectionLoop::holdsAFrame(0, 10000, 10000, -1));
    EXPECT_TRUE(SectionLoop::holdsAFrame(59000, 70000, 0, 60000));

    play("DEMOSTART 10000\nSETUP\nTIMELINE\n60000 END_DEMO\n");
    FramePresenter presenter;
    PlaybackControl playback(false, -1);
    playback.startTime(player->demoStart());
    frameAt(10000);

    SectionLoop stale(0, 5000);
    testing::internal::CaptureStderr();
    stale.fit(player->demoStart(), player->endDemoTime(), playback);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "warning: the loop 0..5000 ms ends at or before the demo start (10000 ms); playing without it\n");
    EXPECT_FALSE(stale.active());
    EXPECT_FALSE(stale.apply(engine(), *player, playback, presenter));

    // ] at the demo start would end a loop there: refused, the loop kept.
    SectionLoop loop(10500, 11000);
    auto press = [&](int key) {
        WindowMessage msg;
        msg.type = MessageType::KeyDown;
        msg.param1 = key;
        loop.onMessage(msg);
        msg.type = MessageType::KeyUp;
        loop.onMessage(msg);
    };
    press(SectionLoop::kKeyEnd);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(loop.apply(engine(), *player, playback, presenter));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "no loop to 10000 ms: it ends at the demo start\n");
    EXPECT_TRUE(presenter.overlay().hasNotice());
    EXPECT_EQ(loop.endMs(), 11000);

    frameAt(10999);
    EXPECT_FALSE(loop.apply(engine(), *player, playback, presenter));
    frameAt(11000);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(loop.apply(engine(), *player, playback, presenter));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "loop back to 10500 ms\nseek to 10500 ms\n");

    // Started again at once past the end (a loop shorter than a rebuild):
    // the next call lets a frame be drawn, and Escape be read, first.
    restart();
    frameAt(11000);
    EXPECT_FALSE(loop.apply(engine(), *player, playback, presenter));
    testing::internal::CaptureStdout();
    EXPECT_TRUE(loop.apply(engine(), *player, playback, presenter));
    testing::internal::GetCapturedStdout();

    // Page Down past the end event is refused rather than ending the demo.
    restart();
    frameAt(57000);
    WindowMessage down;
    down.type = MessageType::KeyDown;
    down.param1 = PlaybackControl::kKeyPageDown;
    playback.onMessage(down);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(playback.apply(engine(), *player));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "no seek to 62000 ms: the demo ends at 60000 ms\n");
    EXPECT_EQ(engine().getTime(), 57000);
}

// A --loop that reaches past the end event would play once and end the run
// there: it is cut at the end and goes back there, also when the frame, which
// reads the clock after the loop did, has reached the end event. One that
// starts at or after the end is refused, and the start it gave with it.
TEST_F(PlaybackControlGL, ALoopPastTheEndIsCutThereAndOneBeyondItRefused)
{
    play("SETUP\nTIMELINE\n111000 END_DEMO\n");
    FramePresenter presenter;
    PlaybackControl refusedPlayback(false, 120000);
    SectionLoop refused(120000, 130000);
    testing::internal::CaptureStderr();
    refused.fit(player->demoStart(), player->endDemoTime(), refusedPlayback);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "warning: the loop 120000..130000 ms starts at or after the demo's end (111000 ms); playing without it\n");
    EXPECT_FALSE(refused.active());
    EXPECT_EQ(refusedPlayback.startTime(player->demoStart(), player->endDemoTime()), 0);

    PlaybackControl playback(false, 106000);
    SectionLoop loop(106000, 112000);
    testing::internal::CaptureStderr();
    loop.fit(player->demoStart(), player->endDemoTime(), playback);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "warning: the loop 106000..112000 ms reaches past the demo's "
                                                      "end (111000 ms); looping 106000..111000 ms\n");
    EXPECT_EQ(loop.endMs(), 111000);
    EXPECT_EQ(playback.startTime(player->demoStart(), player->endDemoTime()), 106000);
    frameAt(110999);
    EXPECT_FALSE(loop.apply(engine(), *player, playback, presenter));
    frameAt(111000);
    ASSERT_TRUE(player->quitRequested());
    EXPECT_TRUE(loop.catchesEnd(*player));
    // Paused in that frame, it still goes back rather than stay at the end.
    WindowMessage space;
    space.type = MessageType::KeyDown;
    space.param1 = PlaybackControl::kKeySpace;
    playback.onMessage(space);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(playback.apply(engine(), *player));
    EXPECT_TRUE(loop.apply(engine(), *player, playback, presenter));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "paused at 111000 ms\nloop back to 106000 ms\nseek to 106000 ms\n");

    // Escape ends the run inside such a loop.
    restart();
    frameAt(106000);
    key(ScriptPlayer::kKeyEscape, true);
    frameAt(106100);
    ASSERT_TRUE(player->quitRequested());
    EXPECT_FALSE(loop.catchesEnd(*player));
}

// A start at or past the end event would end the run before a frame is shown
// (a watched save moved the end before the time shown): the last moment before
// the end is shown instead, paused.
TEST_F(PlaybackControlGL, AStartPastTheEndShowsTheEndPaused)
{
    play("SETUP\nTIMELINE\n600000 END_DEMO\n");
    PlaybackControl playback(false, -1);
    EXPECT_EQ(playback.startTime(player->demoStart(), player->endDemoTime()), 0);
    frameAt(68352);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(playback.seek(engine(), *player, 68352, 68352)); // a reload at the time shown
    testing::internal::GetCapturedStdout();

    play("SETUP\nTIMELINE\n50000 END_DEMO\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(playback.startTime(player->demoStart(), player->endDemoTime()), 49999);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "the demo ends at 50000 ms, before 68352 ms: showing its end at 49999 ms\npaused at 49999 ms\n");
    EXPECT_TRUE(playback.paused());
    frameAt(49999);
    EXPECT_FALSE(player->quitRequested());

    // A --start at the end itself: the end event would end the run at its first frame.
    PlaybackControl atTheEnd(false, 50000);
    testing::internal::CaptureStdout();
    EXPECT_EQ(atTheEnd.startTime(player->demoStart(), player->endDemoTime()), 49999);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(atTheEnd.paused());
}
