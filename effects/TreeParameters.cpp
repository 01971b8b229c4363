#include "effects/TreeParameters.h"

#include "resources/VFile.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// Lines hold at most 399 characters plus the NUL.
constexpr int kLineSize = 400;

// The next data line into `line`; false at the end of the data, which leaves
// every field of that line as it was.
bool nextDataLine(VFile& file, char* line)
{
    while (file.pos < file.size) {
        vfgets(line, kLineSize, &file);
        if (line[0] != '\0' && line[0] != '#')
            return true;
    }
    return false;
}

// Reads blank-separated values off a line in the manner of a scan pattern of
// %d and %f: each conversion skips leading white space; the first one that
// finds no number ends the scan, and the fields from there on keep their
// values. Integers beyond the int range saturate.
class LineScanner {
public:
    explicit LineScanner(const char* text) : cursor(text) {}

    LineScanner& integer(int& field)
    {
        if (!ok)
            return *this;
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(cursor, &end, 10);
        if (end == cursor) {
            ok = false;
            return *this;
        }
        if (v > INT_MAX)
            v = INT_MAX;
        if (v < INT_MIN)
            v = INT_MIN;
        field = static_cast<int>(v);
        cursor = end;
        return *this;
    }

    LineScanner& real(float& field)
    {
        if (!ok)
            return *this;
        char* end = nullptr;
        float v = std::strtof(cursor, &end);
        if (end == cursor) {
            ok = false;
            return *this;
        }
        field = v;
        cursor = end;
        return *this;
    }

private:
    const char* cursor;
    bool ok = true;
};

} // namespace

void readTreeParameters(VFile& file, TreeParameters& p)
{
    char line[kLineSize] = {};
    auto data = [&]() -> const char* { return nextDataLine(file, line) ? line : ""; };

    LineScanner(data()).integer(p.shape).integer(p.seed);
    LineScanner(data()).real(p.baseSize);
    LineScanner(data()).real(p.lengthScale);
    LineScanner(data()).integer(p.levels);
    LineScanner(data()).real(p.ratio).real(p.ratioPower);
    data();
    data();
    LineScanner(data()).real(p.radiusScale).real(p.radiusScaleV);
    LineScanner(data()).real(p.scale).real(p.scaleV);
    data();
    data();
    LineScanner(data()).integer(p.trunkCurveRes).real(p.trunkCurve).real(p.trunkCurveBack).real(p.trunkCurveV);

    if (p.levels < 0)
        p.levels = 0;
    if (p.levels > TreeParameters::kMaxLevels)
        p.levels = TreeParameters::kMaxLevels;
    p.levelRecords.assign(static_cast<size_t>(p.levels) + 1, TreeLevel());
    for (int k = 0; k < p.levels; ++k) {
        TreeLevel& r = p.levelRecords[static_cast<size_t>(k)];
        LineScanner(data()).real(r.downAngle).real(r.downAngleV);
        LineScanner(data()).real(r.rotate).real(r.rotateV).integer(r.branches);
        LineScanner(data()).real(r.length).real(r.lengthV);
        data();
        LineScanner(data()).integer(r.curveRes).real(r.curve).real(r.curveBack).real(r.curveV);
    }
}

float treeShapeRatio(int shape, float x)
{
    const float pi = 3.14159265358979f;
    switch (shape) {
    case 0:
        return 0.2f + 0.8f * x;
    case 1:
        return 0.2f + 0.8f * std::sin(pi * x);
    case 2:
        return 0.2f + 0.8f * std::sin(pi * x / 2.0f);
    case 6:
        return 1.0f - 0.8f * x;
    case 7:
        return x <= 0.7f ? 0.5f + 0.71428573f * x : 0.5f + 1.6666666f * (1.0f - x);
    default:
        return 0.0f;
    }
}
