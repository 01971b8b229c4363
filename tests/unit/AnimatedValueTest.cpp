// The animated value behind every effect rectangle, colour and parameter:
// the four curve modes, where each ends, and the rule that ends a move.

#include "math/AnimatedValue.h"
#include "math/CatmullRom.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A move from 10 to 20 starting at 1000 ms and lasting 1000 ms.
AnimatedValue move(int mode, float curveA = 0.0f, float curveB = 1.0f)
{
    AnimatedValue v(10.0f);
    v.setMode(mode);
    v.setCurve(curveA, curveB);
    v.setStartTime(1000);
    v.setDuration(1000.0f);
    v.moveTo(20.0f);
    return v;
}

} // namespace

TEST(CatmullRom, PassesThroughInnerPoints)
{
    EXPECT_FLOAT_EQ(catmullRom(-5, 2, 7, 11, 0.0f), 2.0f);
    EXPECT_FLOAT_EQ(catmullRom(-5, 2, 7, 11, 1.0f), 7.0f);
    // Evenly spaced points give a straight line.
    EXPECT_FLOAT_EQ(catmullRom(0, 1, 2, 3, 0.3f), 1.3f);
}

TEST(AnimatedValue, Defaults)
{
    AnimatedValue v;
    EXPECT_EQ(v.mode, 1);
    EXPECT_EQ(v.curveA, 0.0f);
    EXPECT_EQ(v.curveB, 1.0f);
    EXPECT_EQ(v.value(), 0.0f);
    EXPECT_EQ(v.delta, 0.0f);
}

TEST(AnimatedValue, CurveModesAtQuarterAndEnds)
{
    struct Case {
        int mode;
        float atQuarter; // value at 1250 ms
    };
    const Case cases[] = {
        {AnimatedValue::Linear, 12.5f},
        {AnimatedValue::EaseIn, 10.625f},
        {AnimatedValue::SineEaseOut, 10.0f + 10.0f * std::sin(0.25f * 1.5707964f)},
        // Default control points 0 and 1: 0.5 * (-2t^3 + 3t^2 + t) = 13 / 64.
        {AnimatedValue::Curve, 10.0f + 10.0f * 13.0f / 64.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        AnimatedValue v = move(c.mode);
        EXPECT_EQ(v.update(1000), 10.0f);
        EXPECT_NEAR(v.update(1250), c.atQuarter, 1e-5f);
        EXPECT_EQ(v.update(2000), 20.0f);
        EXPECT_EQ(v.delta, 0.0f);
        EXPECT_EQ(v.update(5000), 20.0f);
    }
}

TEST(AnimatedValue, EveryModeEndsAtTargetWhenTimeIsUp)
{
    // The sine curve is below the target at d = 1.2; a mode outside 1 to 4
    // never moves. Both still snap to the target once the time is up.
    for (int mode : {1, 2, 3, 4, 0, 7}) {
        SCOPED_TRACE(mode);
        AnimatedValue v = move(mode, -300.0f, 250.0f);
        EXPECT_EQ(v.update(2200), 20.0f);
        EXPECT_EQ(v.delta, 0.0f);
    }
}

TEST(AnimatedValue, UnknownModeHoldsValueUntilTimeIsUp)
{
    AnimatedValue v = move(9);
    EXPECT_EQ(v.update(1500), 10.0f);
    EXPECT_NE(v.delta, 0.0f);
}

TEST(AnimatedValue, MoveEndsEarlyWhenTargetIsReachedOrPassed)
{
    // A strongly negative curveB overshoots the target before the time is up
    // (2.6 times the distance at d = 0.9); the move ends there, in both directions.
    AnimatedValue up = move(AnimatedValue::Curve, 0.0f, -40.0f);
    float v = up.update(1900);
    EXPECT_EQ(v, 20.0f);
    EXPECT_EQ(up.delta, 0.0f);

    AnimatedValue down(20.0f);
    down.setMode(AnimatedValue::Curve);
    down.setCurve(0.0f, -40.0f);
    down.setStartTime(1000);
    down.setDuration(1000.0f);
    down.moveTo(10.0f);
    EXPECT_EQ(down.update(1900), 10.0f);
    EXPECT_EQ(down.delta, 0.0f);
}

TEST(AnimatedValue, BeforeStartOrIdleReturnsStoredValue)
{
    AnimatedValue v = move(AnimatedValue::Linear);
    v.current = 13.0f; // a value set by hand stays until the move begins
    EXPECT_EQ(v.update(999), 13.0f);

    AnimatedValue idle(4.0f);
    idle.setStartTime(0);
    idle.setDuration(100.0f);
    idle.current = 6.0f;
    EXPECT_EQ(idle.update(50), 6.0f);
}

TEST(AnimatedValue, MoveStartsFromCurrentValueMidway)
{
    AnimatedValue v = move(AnimatedValue::Linear);
    v.update(1500); // 15
    v.setStartTime(1500);
    v.moveTo(5.0f);
    EXPECT_EQ(v.start, 15.0f);
    EXPECT_EQ(v.delta, -10.0f);
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
