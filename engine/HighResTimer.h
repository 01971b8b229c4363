#pragma once
#include <cstdint>

// Demo time: milliseconds of the process clock since the last start stamp,
// plus an offset (the script's demo start). Reads the active clock, so that
// capture can swap in a fixed-step one.
class HighResTimer {
public:
    HighResTimer();

    void start();
    void setOffset(int ms);
    // (counter now - start) * 1000 / frequency + offset, truncated.
    int64_t elapsedMs() const;

private:
    int64_t frequency;
    int64_t startCount = 0;
    int64_t offset = 0;
};
