// A capture's effects step on a grid through its frames, at 60 steps a
// second or more: at any rate, pattern steps fire near their time, and a
// capture fast-forwarded to one of the frames of a capture from the demo
// start steps through the same times and shows the same state there.

#include "effects/Forcefield.h"
#include "engine/PatternTrigger.h"
#include "support/PlayerRig.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

class CaptureSteps : public PlayerRig {
protected:
    // Frames of a capture at `rate` from the demo start (0) up to `toMs`.
    void captureFromStart(int rate, int toMs)
    {
        player->requestRestart();
        restart();
        const TimeGrid frames(0, rate);
        player->setFrameGrid(frames);
        for (int64_t k = 0; frames.timeOf(k) <= toMs; ++k)
            frameAt(frames.timeOf(k));
    }

    // The first frame of a capture at `rate` from `fromMs`, as the run begins it.
    void captureOneFrame(int rate, int fromMs)
    {
        player->requestRestart();
        player->startScript();
        player->setFrameGrid(TimeGrid(fromMs, rate));
        player->fastForward(fromMs);
        clock.set(0);
        engine().startTimer();
        player->runFrame();
    }
};

} // namespace

TEST_F(CaptureSteps, PatternStepsFireNearTheirTimeAtAnyRateAndAlikeFromAnyFrame)
{
    RecordingEffect* steps = add(5, "steps");
    EffectManager::instance()->registerEffect(3, new PatternTrigger);
    play("SETUP\n"
         "0 l 3 1\n"
         "0 s 3 70 5\n"
         "0 s 3 405 100\n"
         "TIMELINE\n"
         "1 s 3 406 p1\n"
         "1 START 3\n"
         "1 INIT 3\n");
    auto fired = [&] {
        std::vector<int> times;
        for (const SignalArgs& s : steps->signals)
            times.push_back(s.args[0]);
        steps->signals.clear();
        return times;
    };
    // Rates with a frame at the chosen time in a capture from 0; 30 frames a
    // second does not divide 1000 ms.
    const struct {
        int rate;
        int atMs;
    } cases[] = {{1, 3000}, {25, 3120}, {30, 3100}, {60, 3100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        captureFromStart(c.rate, c.atMs);
        const std::vector<int> whole = fired();
        // A step every 100 ms from 1 ms, each within a 60th of a second.
        ASSERT_EQ(whole.size(), static_cast<size_t>((c.atMs - 1) / 100 + 1));
        for (size_t i = 0; i < whole.size(); ++i) {
            const int due = 1 + 100 * static_cast<int>(i);
            EXPECT_GE(whole[i], due);
            EXPECT_LT(whole[i], due + 17) << "step " << i;
        }

        captureOneFrame(c.rate, c.atMs);
        EXPECT_EQ(fired(), whole);
    }
}

TEST_F(CaptureSteps, ForcefieldFastForwardedHasTheParticlesOfACaptureFromTheStart)
{
    auto* whole = new Forcefield;
    EffectManager::instance()->registerEffect(6, whole);
    play("SETUP\n"
         "0 l 6 5\n"
         "TIMELINE\n"
         "10 START 6\n"
         "10 INIT 6\n"
         "10 s 6 90 70\n"
         "2000 s 6 90 110\n");
    captureFromStart(25, 4000);
    // The particles live in the effect, and its clock outlives an init: the
    // fast-forwarded capture gets a fresh one.
    std::unique_ptr<Forcefield> wholeCapture(whole);
    auto* sought = new Forcefield;
    EffectManager::instance()->registerEffect(6, sought);
    captureOneFrame(25, 4000);

    EXPECT_GT(whole->simulationClock(), 1.9f);
    EXPECT_EQ(sought->simulationClock(), whole->simulationClock());
    for (int i = 0; i < Forcefield::kParticleCount; ++i) {
        const Forcefield::Particle& p = whole->particle(i);
        const Forcefield::Particle& q = sought->particle(i);
        ASSERT_EQ(std::memcmp(&p.position, &q.position, sizeof p.position), 0) << i;
        ASSERT_EQ(std::memcmp(&p.velocity, &q.velocity, sizeof p.velocity), 0) << i;
        ASSERT_EQ(std::memcmp(p.trail, q.trail, sizeof p.trail), 0) << i;
        ASSERT_EQ(p.cursor, q.cursor) << i;
    }
}
