// Where each start of the script begins, and where the music is put for it,
// when the script has a lead-in (a demo start before 0).
#include "app/PlaybackControl.h"
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
