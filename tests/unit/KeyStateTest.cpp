#include "engine/KeyState.h"

#include <gtest/gtest.h>

namespace {

constexpr int kCtrl = 17;
constexpr int kShift = 16;
constexpr int kHome = 36;

} // namespace

// A toggle key held and acknowledged, then let go while another goes down
// before the next frame: it was pressed once, and is not pressed again.
TEST(KeyState, AnAcknowledgedKeyLetGoAsAnotherGoesDownIsNoNewPress)
{
    KeyState keys;
    keys.keyDown('7');
    ASSERT_TRUE(keys.isPressedOnce('7'));
    keys.setConsumed('7', true);
    keys.frameRead();

    keys.keyDown('8');
    keys.keyUp('7');
    EXPECT_FALSE(keys.isDown('7'));
    EXPECT_FALSE(keys.isPressedOnce('7'));
    EXPECT_TRUE(keys.isPressedOnce('8'));
    keys.frameRead();

    // A key pressed and let go between two frames is still that frame's.
    keys.keyDown('7');
    keys.keyDown('8');
    keys.keyUp('7');
    EXPECT_TRUE(keys.isPressedOnce('7'));
}

TEST(KeyState, KeysAreHeldTogetherOnlyWhenBothWereDownAtOnce)
{
    KeyState keys;
    // Tapped one after the other within one frame.
    keys.keyDown(kCtrl);
    keys.keyUp(kCtrl);
    keys.keyDown(kHome);
    keys.keyUp(kHome);
    EXPECT_TRUE(keys.isDown(kCtrl));
    EXPECT_TRUE(keys.isDown(kHome));
    EXPECT_FALSE(keys.heldTogether(kCtrl, kHome));
    keys.frameRead();

    // Ctrl held over a frame, Shift tapped and Ctrl let go before the next:
    // together, for that frame only.
    keys.keyDown(kCtrl);
    keys.frameRead();
    keys.keyDown(kShift);
    keys.keyUp(kShift);
    keys.keyUp(kCtrl);
    EXPECT_TRUE(keys.heldTogether(kCtrl, kShift));
    EXPECT_TRUE(keys.heldTogether(kShift, kCtrl));
    EXPECT_FALSE(keys.heldTogether(kCtrl, kHome));
    keys.frameRead();
    EXPECT_FALSE(keys.heldTogether(kCtrl, kShift));

    // Held down across frames, without a new press in between.
    keys.keyDown(kCtrl);
    keys.keyDown(kHome);
    keys.frameRead();
    keys.frameRead();
    EXPECT_TRUE(keys.heldTogether(kCtrl, kHome));
    keys.clear();
    EXPECT_FALSE(keys.heldTogether(kCtrl, kHome));
    EXPECT_FALSE(keys.isDown(kCtrl));
    EXPECT_FALSE(keys.heldTogether(kCtrl, 256));
}
