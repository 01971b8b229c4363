#include "app/FrameTimeWindow.h"

void FrameTimeWindow::add(int64_t nowUs, int64_t durationUs)
{
    if (size == kCapacity) {
        sum -= samples[first].durationUs;
        first = (first + 1) % kCapacity;
        --size;
    }
    samples[(first + size) % kCapacity] = {nowUs, durationUs};
    ++size;
    sum += durationUs;
    last = durationUs;
    dropOlderThan(nowUs - 1000000);
}

void FrameTimeWindow::dropOlderThan(int64_t limitUs)
{
    // The newest sample always stays.
    while (size > 1 && samples[first].endUs <= limitUs) {
        sum -= samples[first].durationUs;
        first = (first + 1) % kCapacity;
        --size;
    }
}

int64_t FrameTimeWindow::averageUs() const
{
    return size > 0 ? sum / size : 0;
}

int64_t FrameTimeWindow::worstUs() const
{
    int64_t worst = 0;
    for (int i = 0; i < size; ++i) {
        int64_t d = samples[(first + i) % kCapacity].durationUs;
        if (d > worst)
            worst = d;
    }
    return worst;
}
