#pragma once
// Forcefield: 500 glowing particle trails swirling around two invisible
// attractors that move on fixed trigonometric paths.
//
// How it works: the particles advance in fixed steps of 0.001 simulation
// seconds, driven by the effect's own clock (the step limit is the scaled
// local time x 0.05, so 500 steps per second of effect time at the default
// speed of 100), which keeps the motion independent of the frame rate. Each
// particle remembers its last 50 positions in a ring and is drawn as a line
// strip that fades in from its oldest point to just before its newest one.
//
// All storage is fixed and lives in the effect: nothing is allocated after
// construction. The simulation clock starts at 0 with the effect and is not
// reset by init, so after a second init no step runs until the new limit
// passes the old clock.
//
// Signals: the base table, then 90: gain = argument 1, the factor that turns
// the force into velocity. Until the first 90 the gain is 0: the particles
// fly straight on with the velocities they were seeded with.

#include "engine/Effect.h"
#include "math/Vec3.h"

class Forcefield : public Effect {
public:
    static constexpr int kParticleCount = 500;
    static constexpr int kTrailLength = 50;
    static constexpr float kStep = 0.001f;     // simulation seconds per step
    static constexpr float kStepsPerScaledUnit = 0.05f; // limit = scaled local time x this
    // Steps one frame may run. A normal frame runs a handful (about 8 at 60
    // frames a second, 50 at 10); only a jump of the effect's clock, after the
    // window was minimised for a while or a late start without init, asks for
    // more. Past the bound the rest of the jump is dropped rather than
    // replayed against attractors frozen at the frame's position, which would
    // stall the frame for seconds and fling the particles off anyway.
    static constexpr int kMaxStepsPerFrame = 5000;

    struct Particle {
        Vec3 position;
        Vec3 velocity;
        Vec3 force;
        Vec3 trail[kTrailLength]; // ring of recent positions
        int cursor = 0;           // ring slot written next, which holds the oldest point
    };

    Forcefield();

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // Runs the steps a drawn frame at `time` runs, without drawing: the
    // particles of a run fast-forwarded or captured at a low rate are those
    // of one that drew a frame at every step.
    void catchUp(int time) override;
    // The codes signal() understands.
    static const SignalTable& signals();

    // The attractor positions at T = scaled local time x 0.001.
    static void attractors(float t, Vec3& a, Vec3& b);
    // The pull on a particle at p: towards a (0.8), towards b (1.0), and a
    // slight fall (0.1 down). A particle exactly on an attractor feels no pull
    // from it.
    static Vec3 forceAt(const Vec3& p, const Vec3& a, const Vec3& b);

    // Runs the steps due below `limit` with the attractors held at a and b;
    // returns how many ran.
    int simulate(float limit, const Vec3& a, const Vec3& b);

    const Particle& particle(int i) const { return particles[i]; }
    float simulationClock() const { return clock; }
    float currentGain() const { return gain; }
    // Steps the last render ran.
    int lastSteps() const { return stepsLastFrame; }

private:
    // Brings the effect's clock to `time` and runs the steps due by then,
    // with the attractors where they are at `time`.
    void advance(int time, bool applyRect);
    void drawTrails() const;

    Particle particles[kParticleCount];
    float clock = 0.0f;      // simulation seconds stepped so far
    float gain = 0.0f;
    int stepsLastFrame = 0;
};
