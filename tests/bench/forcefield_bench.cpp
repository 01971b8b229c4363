// The forcefield's simulation cost: an ordinary frame (8 steps, about 60
// frames a second of effect time at speed 100), a capture frame at 10 frames
// a second (50 steps) and the frame after a long pause, which runs the bounded
// number of steps. No GL: only the particle update is measured.
//
// Run: build/tests/bench_forcefield_bench

#include "effects/Forcefield.h"
#include "support/Signals.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void runFrames(benchmark::State& state, float limitPerFrame)
{
    auto field = std::make_unique<Forcefield>();
    field->init(0);
    field->signal(sig(90, {90}));
    Vec3 a, b;
    Forcefield::attractors(0.5f, a, b);
    float limit = 0.0f;
    int steps = 0;
    for (auto _ : state) {
        limit += limitPerFrame;
        steps += field->simulate(limit, a, b);
        // The float clock loses precision far out; start over now and then.
        if (limit > 50.0f) {
            state.PauseTiming();
            field = std::make_unique<Forcefield>();
            field->init(0);
            field->signal(sig(90, {90}));
            limit = 0.0f;
            state.ResumeTiming();
        }
    }
    state.counters["steps/frame"] = benchmark::Counter(steps, benchmark::Counter::kAvgIterations);
}

void BM_FrameAt60Fps(benchmark::State& state)
{
    runFrames(state, 0.05f * (1000.0f / 60.0f) / 100.0f);
}
BENCHMARK(BM_FrameAt60Fps)->Unit(benchmark::kMicrosecond);

void BM_CaptureFrameAt10Fps(benchmark::State& state)
{
    runFrames(state, 0.05f * 100.0f / 100.0f);
}
BENCHMARK(BM_CaptureFrameAt10Fps)->Unit(benchmark::kMicrosecond);

void BM_FrameAfterLongPause(benchmark::State& state)
{
    // Ten minutes of effect time in one frame.
    runFrames(state, 0.05f * 600000.0f / 100.0f);
}
BENCHMARK(BM_FrameAfterLongPause)->Unit(benchmark::kMillisecond);

} // namespace
