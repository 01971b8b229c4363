#include "app/CommandLine.h"
#include "engine/DemoClock.h"
#include "platform/AudioDrivers.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int64_t kFrequency = 1000000; // microsecond ticks

struct FixedClockScope {
    FixedStepClock clock;
    FixedClockScope() { setActiveClock(&clock); }
    ~FixedClockScope() { setActiveClock(nullptr); }
};

int64_t us(double ms)
{
    return static_cast<int64_t>(std::llround(ms * 1000.0));
}

// A sound output as the clock sees it: one position per mixed buffer of
// 1024 samples at 44100 Hz, running at `speed` times real time.
struct FakeMusic {
    double positionMs = 0.0;
    double speed = 1.0;
    int64_t nextMixUs = 0;
    MusicPosition heard;
    bool playing = true;

    void runUntil(int64_t nowUs)
    {
        const double bufferMs = 1024.0 * 1000.0 / 44100.0;
        while (nextMixUs <= nowUs) {
            positionMs += bufferMs * speed;
            heard.ms = positionMs;
            heard.counter = nextMixUs;
            nextMixUs += us(bufferMs);
        }
    }
};

FakeMusic* fakeMusic = nullptr;

bool readFakeMusic(MusicPosition& heard)
{
    if (!fakeMusic || !fakeMusic->playing)
        return false;
    heard = fakeMusic->heard;
    return true;
}

CommandAction parse(std::vector<const char*> args, RunOptions& o, std::string& error)
{
    return parseCommandLine(static_cast<int>(args.size()), args.data(), o, error);
}

} // namespace

TEST(MusicLock, FollowsSoundThatRunsFastOrSlowWithEvenStepsAndNeverBack)
{
    for (double speed : {0.99, 1.0, 1.02}) {
        FakeMusic music;
        music.speed = speed;
        MusicLock lock;
        lock.reset(0.0, 0);
        double last = 0.0, worst = 0.0, smallestStep = 1e9, largestStep = 0.0;
        // 60 s at 60 frames a second.
        for (int frame = 1; frame <= 3600; ++frame) {
            const int64_t now = us(frame * 1000.0 / 60.0);
            music.runUntil(now);
            const double t = lock.update(now, kFrequency, &music.heard);
            const double step = t - last;
            ASSERT_GE(step, 0.0) << "speed " << speed << " frame " << frame;
            last = t;
            if (frame > 300) {
                // Where the sound is at this moment, between its mixes.
                const double sound = music.heard.ms + (now - music.heard.counter) / 1000.0 * speed;
                worst = std::fmax(worst, std::fabs(t - sound));
                smallestStep = std::fmin(smallestStep, step);
                largestStep = std::fmax(largestStep, step);
            }
        }
        EXPECT_LT(worst, 1000.0 / 60.0) << "speed " << speed;
        EXPECT_GT(smallestStep, 1000.0 / 60.0 * (1.0 - MusicLock::kMaxSlew) - 0.01) << "speed " << speed;
        EXPECT_LT(largestStep, 1000.0 / 60.0 * (1.0 + MusicLock::kMaxSlew) + 0.01) << "speed " << speed;
    }
}

TEST(MusicLock, AStallOfTheSoundHoldsThePictureAndAJumpIsFollowedAtOnce)
{
    MusicLock lock;
    lock.reset(10000.0, 0);
    MusicPosition heard{10000.0, 0};
    EXPECT_DOUBLE_EQ(lock.update(us(100), kFrequency, &heard), 10100.0);

    // The sound stood still for 500 ms (its thread did not run) and lost a
    // little more: the picture stays where it was until the sound is back.
    heard = {10050.0, us(700)};
    const double held = lock.update(us(700), kFrequency, &heard);
    EXPECT_DOUBLE_EQ(held, 10100.0);
    heard = {10100.0, us(750)};
    EXPECT_NEAR(lock.update(us(760), kFrequency, &heard), 10110.0, 0.001);

    // Half a second ahead at once (the sound skipped): followed, not steered.
    heard = {10700.0, us(800)};
    EXPECT_NEAR(lock.update(us(800), kFrequency, &heard), 10700.0, 0.001);
    EXPECT_DOUBLE_EQ(lock.rate(), 1.0);
}

TEST(MusicLock, PositionsFromBeforeAResetAreIgnoredAndWithoutMusicTimeRunsOn)
{
    MusicLock lock;
    lock.reset(20000.0, us(1000));
    // Heard before the seek: still the old place in the music.
    MusicPosition stale{5000.0, us(990)};
    EXPECT_NEAR(lock.update(us(1010), kFrequency, &stale), 20010.0, 0.001);
    EXPECT_NEAR(lock.update(us(2010), kFrequency, nullptr), 21010.0, 0.001);
    EXPECT_DOUBLE_EQ(lock.rate(), 1.0);
}

TEST(DemoClock, TimerPausesAndSeeksAndLocksToTheMusicWhenAsked)
{
    FixedClockScope fixed;
    DemoClock clock;
    clock.setOffset(3000);
    clock.start();
    fixed.clock.advanceMicroseconds(1500000);
    EXPECT_EQ(clock.now(), 4500);
    clock.setPaused(true);
    fixed.clock.advanceMicroseconds(10000000);
    EXPECT_EQ(clock.now(), 4500);
    // Seeks and restarts of the script while paused stay paused.
    clock.seek(9000);
    EXPECT_EQ(clock.now(), 9000);
    clock.setOffset(0);
    clock.seek(7000);
    clock.start();
    fixed.clock.advanceMicroseconds(1000000);
    EXPECT_EQ(clock.now(), 7000);
    clock.setPaused(false);
    fixed.clock.advanceMicroseconds(250000);
    EXPECT_EQ(clock.now(), 7250);

    // Locked: the music 2 % slower than the counter pulls demo time along.
    FakeMusic music;
    music.speed = 0.98;
    music.positionMs = 7250.0;
    music.nextMixUs = fixed.clock.counter();
    fakeMusic = &music;
    clock.lockToMusic(&readFakeMusic);
    clock.seek(7250);
    for (int frame = 0; frame < 600; ++frame) {
        fixed.clock.advanceMicroseconds(16667);
        music.runUntil(fixed.clock.counter());
        clock.now();
    }
    const double sound = music.heard.ms + (fixed.clock.counter() - music.heard.counter) / 1000.0 * 0.98;
    EXPECT_NEAR(clock.now(), sound, 17.0);
    // The music played out: time runs on by the counter.
    music.playing = false;
    const int before = clock.now();
    fixed.clock.advanceMicroseconds(2000000);
    EXPECT_NEAR(clock.now(), before + 2000, 1);
    fakeMusic = nullptr;
}

TEST(DemoClock, ALeadInRisesEvenlyThroughZeroWithTheMusicStartedAtTheDemoStart)
{
    // DEMOSTART -2000: the music starts at its position 0 when demo time is
    // -2000, and that relation is what the lock keeps.
    FixedClockScope fixed;
    FakeMusic music;
    music.nextMixUs = fixed.clock.counter();
    fakeMusic = &music;
    DemoClock clock;
    clock.lockToMusic(&readFakeMusic);
    clock.setMusicOrigin(-2000);
    clock.setOffset(-2000);
    clock.start();
    int last = clock.now();
    EXPECT_EQ(last, -2000);
    int largestStep = 0;
    for (int frame = 0; frame < 240; ++frame) {
        fixed.clock.advanceMicroseconds(16667);
        music.runUntil(fixed.clock.counter());
        const int t = clock.now();
        largestStep = std::max(largestStep, t - last);
        ASSERT_GE(t, last) << "frame " << frame;
        last = t;
    }
    EXPECT_LE(largestStep, 2 * 17);
    const double sound = music.heard.ms + (fixed.clock.counter() - music.heard.counter) / 1000.0;
    EXPECT_NEAR(last, sound - 2000, 17.0);
    fakeMusic = nullptr;
}

TEST(CommandLine, PlaybackOptions)
{
    RunOptions o;
    std::string error;
    ASSERT_EQ(parse({"--start", "42000", "--clock", "timer", "--audio-driver", "alsa"}, o, error), CommandAction::Run);
    EXPECT_EQ(o.startMs, 42000);
    EXPECT_FALSE(o.clockFromMusic);
    EXPECT_EQ(o.audioDriver, "alsa");
    RunOptions defaults;
    EXPECT_EQ(defaults.startMs, -1);
    EXPECT_TRUE(defaults.clockFromMusic);
    EXPECT_TRUE(defaults.audioDriver.empty());

    // With capture the start is where the capture starts, unless --from says otherwise.
    RunOptions c;
    ASSERT_EQ(parse({"--capture", "dir", "--fps", "25", "--start", "9000", "--to", "9500"}, c, error), CommandAction::Run);
    EXPECT_EQ(c.captureFromMs, 9000);
    RunOptions f;
    ASSERT_EQ(parse({"--capture", "dir", "--fps", "25", "--start", "9000", "--from", "100"}, f, error), CommandAction::Run);
    EXPECT_EQ(f.captureFromMs, 100);
    RunOptions bad;
    EXPECT_EQ(parse({"--capture", "dir", "--fps", "25", "--start", "9000", "--to", "100"}, bad, error), CommandAction::Error);

    // A loop starts playback at its start, unless --start says otherwise.
    RunOptions l;
    ASSERT_EQ(parse({"--loop", "0:4000"}, l, error), CommandAction::Run);
    EXPECT_EQ(l.loopFromMs, 0);
    EXPECT_EQ(l.loopToMs, 4000);
    EXPECT_EQ(l.startMs, 0);
    RunOptions ls;
    ASSERT_EQ(parse({"--start", "2000", "--loop", "1000:4000"}, ls, error), CommandAction::Run);
    EXPECT_EQ(ls.startMs, 2000);

    for (std::vector<const char*> args :
         {std::vector<const char*>{"--start", "-5"}, {"--start", "1s"}, {"--start"}, {"--clock", "wall"}, {"--clock"},
          {"--audio-driver"}, {"--loop", "5000:5000"}, {"--loop", "4000:1000"}, {"--loop", "-1:500"},
          {"--loop", "5000"}, {"--loop", "1000:"}, {"--loop", "1000:4s"}, {"--loop"}}) {
        RunOptions r;
        EXPECT_EQ(parse(args, r, error), CommandAction::Error) << args[0];
    }
}

TEST(AudioDrivers, ANamedDriverOrTheEnvironmentsChoiceIsTheOnlyTryOtherwiseAllThatMakeSound)
{
    const std::vector<std::string> sdl{"pipewire", "pulseaudio", "alsa", "sndio", "disk", "dummy"};
    EXPECT_EQ(platform::audioDriversToTry("alsa", nullptr, sdl), std::vector<std::string>{"alsa"});
    EXPECT_EQ(platform::audioDriversToTry("disk", "pulseaudio", sdl), std::vector<std::string>{"disk"});
    EXPECT_EQ(platform::audioDriversToTry("", "no-such-driver", sdl), std::vector<std::string>{""});
    EXPECT_EQ(platform::audioDriversToTry("", "", sdl),
              (std::vector<std::string>{"", "pipewire", "pulseaudio", "alsa", "sndio"}));
    EXPECT_EQ(platform::audioDriversToTry("", nullptr, {"alsa", "alsa", "dummy"}), (std::vector<std::string>{"", "alsa"}));
}
