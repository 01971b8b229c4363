#pragma once
// Demo times at a steady rate: point i lies at
// origin + floor(i * 1000 * den / rate) ms, for i of either sign, where the
// rate is rate / den points a second (60000/1001 for NTSC video). A capture's
// frames are such a grid through its first frame; the points before the
// origin are the frames a capture begun earlier at the same rate draws there,
// whenever the two origins lie a whole number of frame lengths apart. The
// times are worked out from the origin in integers, never by adding rounded
// frame lengths, so counting back from a frame and counting on from an
// earlier one land on the same milliseconds.

#include <cstdint>

class TimeGrid {
public:
    TimeGrid(int originMs, int rate, int den = 1);

    // Demo time of point i.
    int timeOf(int64_t i) const;
    // The first point at or after ms.
    int64_t firstAtOrAfter(int ms) const;
    // This grid with each interval cut into the fewest equal parts that give
    // at least `perSecond` points a second: every point of this grid is a
    // point of the finer one.
    TimeGrid refinedTo(int perSecond) const;

private:
    int originMs;
    int64_t rate; // points per den seconds
    int64_t den;
};
