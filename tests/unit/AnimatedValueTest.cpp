// The animated value behind every effect rectangle, colour and parameter:
// the four curve modes, where each ends, and the rule that ends a move.

#include "math/AnimatedValue.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A move from 10 towards `to`, starting at 1000 ms and lasting 1000 ms.
AnimatedValue move(int mode, float curveA = 0.0f, float curveB = 1.0f, float from = 10.0f, float to = 20.0f)
{
    AnimatedValue v(from);
    v.setMode(mode);
    v.setCurve(curveA, curveB);
    v.setStartTime(1000);
    v.setDuration(1000.0f);
    v.moveTo(to);
    return v;
}

} // namespace

TEST(AnimatedValue, CurveModesAtStartQuarterAndEnd)
{
    struct Case {
        int mode;
        float atQuarter; // value at 1250 ms
    };
    const Case cases[] = {
        {AnimatedValue::Linear, 12.5f},
        {AnimatedValue::EaseIn, 10.625f},
        {AnimatedValue::SineEaseOut, 10.0f + 10.0f * std::sin(0.25f * 1.5707964f)},
        // Control points 0 and 1: 0.5 * (-2t^3 + 3t^2 + t) = 13 / 64.
        {AnimatedValue::Curve, 10.0f + 10.0f * 13.0f / 64.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        AnimatedValue v = move(c.mode);
        EXPECT_EQ(v.update(999), 10.0f);
        EXPECT_EQ(v.update(1000), 10.0f);
        EXPECT_NEAR(v.update(1250), c.atQuarter, 1e-5f);
        EXPECT_EQ(v.update(2000), 20.0f);
        EXPECT_EQ(v.delta, 0.0f);
    }
}

TEST(AnimatedValue, EveryModeEndsAtTargetWhenTimeIsUp)
{
    // The sine curve is still below the target at d = 1.2, and a mode outside
    // 1 to 4 never moves; both snap to the target once the time is up.
    for (int mode : {1, 2, 3, 4, 0, 7}) {
        SCOPED_TRACE(mode);
        AnimatedValue v = move(mode, -300.0f, 250.0f);
        if (mode < 1 || mode > 4) {
            EXPECT_EQ(v.update(1500), 10.0f);
        }
        EXPECT_EQ(v.update(2200), 20.0f);
        EXPECT_EQ(v.delta, 0.0f);
    }
}

TEST(AnimatedValue, MoveEndsEarlyWhenTargetIsReachedOrPassed)
{
    // A strongly negative curveB overshoots (2.6 times the distance at
    // d = 0.9): the move ends there, upwards and downwards.
    AnimatedValue up = move(AnimatedValue::Curve, 0.0f, -40.0f);
    EXPECT_EQ(up.update(1900), 20.0f);
    EXPECT_EQ(up.delta, 0.0f);
    AnimatedValue down = move(AnimatedValue::Curve, 0.0f, -40.0f, 20.0f, 10.0f);
    EXPECT_EQ(down.update(1900), 10.0f);
    EXPECT_EQ(down.delta, 0.0f);
}

TEST(AnimatedValue, IdleValueIsLeftAloneAndNewMoveStartsFromCurrent)
{
    AnimatedValue idle(4.0f);
    idle.current = 6.0f;
    EXPECT_EQ(idle.update(50), 6.0f);

    AnimatedValue v = move(AnimatedValue::Linear);
    v.update(1500); // 15
    v.setStartTime(1500);
    v.moveTo(5.0f);
    EXPECT_NEAR(v.update(2000), 10.0f, 1e-5f);
}

TEST(AnimatedValue, ZeroOrNegativeDurationJumpsWithoutNaN)
{
    for (float duration : {0.0f, -500.0f}) {
        AnimatedValue v(1.0f);
        v.setStartTime(100);
        v.setDuration(duration);
        v.moveTo(3.0f);
        EXPECT_EQ(v.update(100), 3.0f);
        EXPECT_EQ(v.delta, 0.0f);
    }
}
