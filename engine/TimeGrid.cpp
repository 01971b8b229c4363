#include "engine/TimeGrid.h"

#include <cassert>

// Division rounding towards minus infinity, for a positive divisor.
static int64_t floorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

static int64_t ceilDiv(int64_t a, int64_t b)
{
    return -floorDiv(-a, b);
}

TimeGrid::TimeGrid(int origin, int r, int d)
    : originMs(origin)
    , rate(r)
    , den(d)
{
    assert(r > 0 && d > 0);
}

int TimeGrid::timeOf(int64_t i) const
{
    return static_cast<int>(originMs + floorDiv(i * 1000 * den, rate));
}

int64_t TimeGrid::firstAtOrAfter(int ms) const
{
    // floor(i * 1000 * den / rate) >= d holds exactly when i * 1000 * den / rate
    // >= d, d being whole.
    const int64_t d = static_cast<int64_t>(ms) - originMs;
    return ceilDiv(d * rate, 1000 * den);
}

TimeGrid TimeGrid::refinedTo(int perSecond) const
{
    const int64_t n = perSecond > 0 ? ceilDiv(static_cast<int64_t>(perSecond) * den, rate) : 1;
    TimeGrid finer = *this;
    if (n > 1)
        finer.rate = rate * n;
    return finer;
}
