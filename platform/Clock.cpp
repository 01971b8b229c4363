#include "platform/Clock.h"

#include <SDL.h>

int64_t PerformanceClock::counter()
{
    return static_cast<int64_t>(SDL_GetPerformanceCounter());
}

int64_t PerformanceClock::frequency()
{
    return static_cast<int64_t>(SDL_GetPerformanceFrequency());
}

static PerformanceClock performanceClock;
static Clock* installedClock = nullptr;

Clock& activeClock()
{
    return installedClock ? *installedClock : performanceClock;
}

void setActiveClock(Clock* clock)
{
    installedClock = clock;
}
