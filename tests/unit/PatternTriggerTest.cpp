#include "engine/PatternTrigger.h"

#include "support/Signals.h"
#include "support/TestEffects.h"

#include <gtest/gtest.h>

namespace {

// A trigger started at demo time 0 that forwards to a recording source.
struct Rig {
    std::vector<std::string> log;
    RecordingEffect target{"t", &log};
    PatternTrigger trigger;
    Rig()
    {
        trigger.source = &target;
        trigger.init(0);
    }
    // Renders at each time and returns "time:character" for every 407 sent.
    std::vector<std::string> run(std::initializer_list<int> times)
    {
        for (int t : times)
            trigger.render(t, false);
        std::vector<std::string> fired;
        for (const SignalArgs& s : target.signals) {
            EXPECT_EQ(s.code, 407);
            EXPECT_EQ(s.count, 2);
            EXPECT_EQ(s.reserved, 0);
            EXPECT_STREQ(s.text, "");
            fired.push_back(std::to_string(s.args[0]) + ":" + static_cast<char>(s.args[1]));
        }
        target.signals.clear();
        return fired;
    }
};

using Fired = std::vector<std::string>;

} // namespace

TEST(PatternTrigger, ZeroStepsAreSkippedButStillCounted)
{
    Rig rig;
    rig.trigger.signal(sig(406, {}, "p1010"));
    EXPECT_STREQ(rig.trigger.pattern(), "1010");
    // 20 ms frames over one and a half cycles of 4 x 1000 ms.
    std::vector<std::string> fired;
    for (int t = 0; t <= 6000; t += 20)
        for (const std::string& f : rig.run({t}))
            fired.push_back(f);
    EXPECT_EQ(fired, (Fired{"0:1", "2000:1", "4000:1", "6000:1"}));
    EXPECT_EQ(rig.trigger.stepIndex(), 3);
}

// Each step carries the time of the frame that reached it: a late frame
// starts the flashes it reached then.
TEST(PatternTrigger, JumpsFireEveryStepPassedInOrderOncePerPass)
{
    Rig rig;
    rig.trigger.signal(sig(405, {100}));
    rig.trigger.signal(sig(406, {}, "p1234"));
    EXPECT_EQ(rig.run({0}), (Fired{"0:1"}));
    EXPECT_EQ(rig.run({50}), Fired{});
    // Over steps 1 and 2 in one frame.
    EXPECT_EQ(rig.run({250}), (Fired{"250:2", "250:3"}));
    // Over the end of the cycle: step 3 of the old pass, then step 0 and 1 of the new.
    EXPECT_EQ(rig.run({510}), (Fired{"510:4", "510:1", "510:2"}));
    EXPECT_EQ(rig.run({590, 599}), Fired{});
    // Exactly one cycle later, on the same position: the rest of the old
    // pass, then the new pass up to the position.
    EXPECT_EQ(rig.run({999}), (Fired{"999:3", "999:4", "999:1", "999:2"}));
    // Several cycles later: one pass is caught up, not every one missed.
    EXPECT_EQ(rig.run({2250}), (Fired{"2250:3", "2250:4", "2250:1", "2250:2", "2250:3"}));
}

TEST(PatternTrigger, PausedClockFiresNothingAndInitStartsOver)
{
    Rig rig;
    EXPECT_EQ(rig.run({0, 1000}), (Fired{"0:1", "1000:1"}));
    SignalArgs pause = sig(12, {1});
    pause.args[1] = 1500;
    pause.count = 2;
    rig.trigger.signal(pause);
    EXPECT_EQ(rig.run({2500, 9000}), Fired{});
    rig.trigger.init(20000);
    EXPECT_EQ(rig.run({20000, 20999}), (Fired{"20000:1"}));
}

TEST(PatternTrigger, PatternAndStepSignals)
{
    Rig rig;
    rig.trigger.signal(sig(406, {}, "1212")); // no "p": ignored
    rig.trigger.signal(sig(406, {}, ""));
    EXPECT_STREQ(rig.trigger.pattern(), "1111");
    rig.trigger.signal(sig(406, {}, "p19"));
    EXPECT_STREQ(rig.trigger.pattern(), "19");
    EXPECT_EQ(rig.run({0, 1000, 2000}), (Fired{"0:1", "1000:9", "2000:1"}));

    // A new pattern keeps the step index and plays on in the new cycle.
    rig.trigger.signal(sig(406, {}, "p123"));
    EXPECT_EQ(rig.run({2500}), (Fired{"2500:2", "2500:3"}));
    EXPECT_EQ(rig.run({3000}), (Fired{"3000:1"}));
    rig.trigger.signal(sig(406, {}, "p1234"));
    EXPECT_EQ(rig.run({4000, 4999}), Fired{});
    EXPECT_EQ(rig.run({5000}), (Fired{"5000:2"}));
    // One shorter than the step reached ends the pass.
    rig.trigger.signal(sig(406, {}, "p12"));
    EXPECT_EQ(rig.run({5001}), Fired{});
    EXPECT_EQ(rig.trigger.stepIndex(), 0);

    // No steps or no length: idle, and nothing divides by zero.
    rig.trigger.signal(sig(406, {}, "p"));
    EXPECT_EQ(rig.run({4000, 5000}), Fired{});
    rig.trigger.signal(sig(406, {}, "p1"));
    rig.trigger.signal(sig(405, {0}));
    EXPECT_EQ(rig.run({6000}), Fired{});
    rig.trigger.signal(sig(405, {-5}));
    EXPECT_EQ(rig.run({7000}), Fired{});
}

TEST(PatternTrigger, WithoutSourceStepsStillAdvance)
{
    PatternTrigger trigger;
    trigger.init(0);
    trigger.render(0, false);
    trigger.render(2100, false);
    EXPECT_EQ(trigger.stepIndex(), 3);
}
