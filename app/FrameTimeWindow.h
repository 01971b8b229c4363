#pragma once
// Frame times over the last second of real time, for the overlay: the last
// frame's time, the average and the worst. A fixed ring of samples, so
// adding one never allocates; above kCapacity frames a second the window
// covers the last kCapacity frames only.

#include <cstdint>

class FrameTimeWindow {
public:
    static constexpr int kCapacity = 1024;

    // A frame that ended at nowUs (microseconds, any fixed origin) and took
    // durationUs.
    void add(int64_t nowUs, int64_t durationUs);

    int64_t lastUs() const { return last; }
    // Over the frames that ended within the second before the newest one.
    int64_t averageUs() const;
    int64_t worstUs() const;
    int count() const { return size; }

private:
    void dropOlderThan(int64_t limitUs);

    struct Sample {
        int64_t endUs;
        int64_t durationUs;
    };
    Sample samples[kCapacity];
    int first = 0; // oldest sample
    int size = 0;
    int64_t last = 0;
    int64_t sum = 0;
};
