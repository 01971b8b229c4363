#pragma once
#include <cstdint>

// The counter behind demo time. The player reads a free-running
// high-resolution counter; capture replaces it with a clock that advances by
// a fixed step per rendered frame, so that frames are exact whatever real
// time does.
class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t counter() = 0;   // ticks
    virtual int64_t frequency() = 0; // ticks per second
};

// SDL's performance counter.
class PerformanceClock : public Clock {
public:
    int64_t counter() override;
    int64_t frequency() override;
};

// A counter that only moves when told to: one tick per microsecond of demo time.
class FixedStepClock : public Clock {
public:
    int64_t counter() override { return ticks; }
    int64_t frequency() override { return 1000000; }
    void advanceMicroseconds(int64_t us) { ticks += us; }
    void set(int64_t us) { ticks = us; }

private:
    int64_t ticks = 0;
};

// The process-wide clock: the performance counter unless another was installed.
Clock& activeClock();
// Installs a clock (not owned); nullptr goes back to the performance counter.
void setActiveClock(Clock* clock);
