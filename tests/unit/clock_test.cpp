#include "engine/FrameStats.h"
#include "engine/HighResTimer.h"
#include "platform/Clock.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

struct FixedClockScope {
    FixedStepClock clock;
    FixedClockScope() { setActiveClock(&clock); }
    ~FixedClockScope() { setActiveClock(nullptr); }
};

std::string scratchPath(const char* name)
{
    return std::string(::testing::TempDir()) + name + std::to_string(getpid());
}

} // namespace

TEST(HighResTimer, DemoTimeStartsAtTheOffsetAndMayBeNegative)
{
    FixedClockScope fixed;
    HighResTimer timer;
    fixed.clock.set(123456789);
    timer.setOffset(5000);
    timer.start();
    EXPECT_EQ(timer.elapsedMs(), 5000);
    fixed.clock.advanceMicroseconds(1999); // truncates
    EXPECT_EQ(timer.elapsedMs(), 5001);

    timer.setOffset(-2000);
    timer.start();
    fixed.clock.advanceMicroseconds(1500000);
    EXPECT_EQ(timer.elapsedMs(), -500);
    fixed.clock.advanceMicroseconds(3000000);
    EXPECT_EQ(timer.elapsedMs(), 2500);
}

TEST(FrameStats, WritesOneLinePerBatchAndTheSummary)
{
    FixedClockScope fixed;
    std::string path = scratchPath("stats");
    FrameStats stats;
    stats.open(100, path.c_str());
    for (int i = 0; i < 100; ++i) { // 100 frames over 2 s: 50 fps
        stats.countFrame();
        fixed.clock.advanceMicroseconds(20000);
    }
    for (int i = 0; i < 100; ++i) { // 100 frames over 1 s: 100 fps
        stats.countFrame();
        fixed.clock.advanceMicroseconds(10000);
    }
    for (int i = 0; i < 99; ++i) // an unfinished batch writes nothing
        stats.countFrame();
    stats.close();
    // The last frame of a batch is counted before its own time has passed.
    EXPECT_EQ(readFile<std::string>(path), "fps: 50.505\nfps: 101.01\n*****************************\n"
                              "minFPS: 50.505\nmaxFPS:\t101.01\n");
    std::remove(path.c_str());
}

TEST(FrameStats, ShortRunsKeepTheInitialExtremesAndZeroMsIsInfinite)
{
    FixedClockScope fixed;
    std::string path = scratchPath("short");
    FrameStats stats;
    stats.open(100, path.c_str());
    for (int i = 0; i < 50; ++i)
        stats.countFrame();
    stats.close();
    EXPECT_EQ(readFile<std::string>(path), "*****************************\nminFPS: 10000\nmaxFPS:\t0\n");

    stats.open(100, path.c_str());
    for (int i = 0; i < 100; ++i)
        stats.countFrame(); // the clock never moves
    stats.close();
    EXPECT_EQ(readFile<std::string>(path), "fps: inf\n*****************************\nminFPS: 10000\nmaxFPS:\tinf\n");
    std::remove(path.c_str());
}
