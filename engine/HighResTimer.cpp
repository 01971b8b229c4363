#include "engine/HighResTimer.h"

#include "platform/Clock.h"

HighResTimer::HighResTimer()
    : frequency(activeClock().frequency())
{
}

void HighResTimer::start()
{
    // The clock may have been swapped since construction (capture mode).
    frequency = activeClock().frequency();
    startCount = activeClock().counter();
}

void HighResTimer::setOffset(int ms)
{
    offset = ms;
}

int64_t HighResTimer::elapsedMs() const
{
    return (activeClock().counter() - startCount) * 1000 / frequency + offset;
}
