#include "effects/TreeGenerator.h"

#include "effects/TreeParameters.h"
#include "math/Random.h"

#include <cmath>

namespace {

// A fresh uniform value in [-v, v], in single precision as the tree's shape
// was tuned with.
float uniform(float v)
{
    int r = nextRandom();
    return -v + static_cast<float>(r) * (v - (-v)) / static_cast<float>(kRandomMax);
}

// Whether children can be spaced along a branch: a spacing that is not a
// positive number would never move the placement on.
bool spaces(int stems, float spacing)
{
    return stems > 0 && spacing > 0.0f && std::isfinite(spacing);
}

} // namespace

TreeGenerator::TreeGenerator(const TreeParameters& parameters, float growth, float swayTime, TreeDrawPath& path,
                             int maxSteps)
    : p(parameters), growth(growth), swayTime(swayTime), path(path), maxSteps(maxSteps)
{
}

bool TreeGenerator::step()
{
    if (steps >= maxSteps)
        return false;
    ++steps;
    return true;
}

int TreeGenerator::stemCount(float value)
{
    if (!(value >= 1.0f))
        return 0;
    if (value >= static_cast<float>(kMaxStems))
        return kMaxStems;
    return static_cast<int>(value);
}

float TreeGenerator::segmentAngle(const TreeLevel& record, int j, float segCurve, float segCurveBack)
{
    if (record.curveBack != 0.0f && static_cast<float>(j) >= 0.5f * static_cast<float>(record.curveRes))
        return segCurveBack;
    return segCurve;
}

void TreeGenerator::prism(TreeDrawPath& out, float w, float h, float s)
{
    out.beginQuads();
    out.grey(s);
    out.normal(0.0f, -1.0f, 0.0f);
    out.vertex(-w, -w, 0.0f);
    out.vertex(w, -w, 0.0f);
    out.vertex(w, -w, h);
    out.vertex(-w, -w, h);
    out.grey(s + 0.1f);
    out.normal(1.0f, 0.0f, 0.0f);
    out.vertex(w, -w, 0.0f);
    out.vertex(w, w, 0.0f);
    out.vertex(w, w, h);
    out.vertex(w, -w, h);
    out.grey(s + 0.2f);
    out.normal(0.0f, 1.0f, 0.0f);
    out.vertex(w, w, 0.0f);
    out.vertex(-w, w, 0.0f);
    out.vertex(-w, w, h);
    out.vertex(w, w, h);
    out.grey(s + 0.3f);
    out.normal(-1.0f, 0.0f, 0.0f);
    out.vertex(-w, w, 0.0f);
    out.vertex(-w, -w, 0.0f);
    out.vertex(-w, -w, h);
    out.vertex(-w, w, h);
    out.endQuads();
}

void TreeGenerator::cap(TreeDrawPath& out, float w, float s)
{
    out.beginQuads();
    out.grey(s);
    out.normal(0.0f, 0.0f, 1.0f);
    out.vertex(-w, -w, 0.0f);
    out.vertex(w, -w, 0.0f);
    out.vertex(w, w, 0.0f);
    out.vertex(-w, w, 0.0f);
    out.endQuads();
}

// ---- Trunk -------------------------------------------------------------------

void TreeGenerator::generate()
{
    branchCount = 0;
    steps = 0;
    seedRandom(static_cast<unsigned int>(p.seed));
    if (p.levels < 1)
        return;
    const TreeLevel& r = p.levelRecords[0];

    const int stems = stemCount(((r.length / p.scale) * 0.8f / (r.lengthV + r.length) + 0.2f) *
                                static_cast<float>(r.branches));
    const float length = (p.scale + uniform(p.scaleV)) * p.lengthScale;
    const int res = p.trunkCurveRes;
    const float resF = static_cast<float>(res);
    const float segLen = res > 0 ? length / resF : 0.0f;
    const float spacing = stems > 0 ? length / static_cast<float>(stems) : 0.0f;
    const float curveDraw = p.trunkCurve + uniform(p.trunkCurveV);
    const float curvePerSeg = res > 0 ? curveDraw / resF : 0.0f;
    const float radius = (p.radiusScale + uniform(p.radiusScaleV)) * p.ratio * length;
    baseLength = length * p.baseSize;

    const float a = swayTime * 0.01f;
    sway1 = 33.0f * std::sin(a);
    sway2 = 30.0f * std::sin(a + 0.7f);

    // The tree grows along the parent's +y.
    path.rotate(-90.0f, 1.0f, 0.0f, 0.0f);

    const bool place = spaces(stems, spacing);
    float spin = 0.0f, phase = 0.0f, pos = 0.0f, segStart = 0.0f;
    for (int i = 0; i < res; ++i) {
        if (!step())
            return;
        if (place) {
            while (pos + spacing < segLen) {
                if (!step())
                    return;
                const float offset = segStart + pos;
                if (offset >= baseLength) {
                    ++branchCount;
                    path.pushMatrix();
                    spin += r.rotate + uniform(r.rotateV);
                    path.rotate(spin, 0.0f, 0.0f, 1.0f);
                    path.rotate(spin, 0.0f, 1.0f, 0.0f);
                    path.rotate(spin / 2.0f, 1.0f, 0.0f, 0.0f);
                    float down;
                    if (r.downAngleV >= 0.0f)
                        down = r.downAngle + uniform(r.downAngleV);
                    else
                        down = r.downAngle + uniform(r.downAngleV) *
                                                 (1.0f - 2.0f * (0.2f + 0.8f * (length - offset) / (length - baseLength)));
                    path.rotate(down + 2.0f * std::sin(3.0f * (phase + sway2)), 1.0f, 0.0f, 0.0f);
                    phase += 0.6f;
                    branch(1, length, offset, radius);
                    path.popMatrix();
                }
                pos += spacing;
            }
            pos = pos + spacing - segLen;
        }
        segStart += segLen;
        // No translation along the trunk: every level-1 branch starts at the
        // tree's origin, turned by the curvature so far.
        path.rotate(-curvePerSeg, 1.0f, 0.0f, 0.0f);
    }
}

// ---- Branches ----------------------------------------------------------------

void TreeGenerator::branch(int depth, float parentLength, float offset, float parentRadius)
{
    if (depth > p.levels)
        return;
    const TreeLevel& r = p.levelRecords[static_cast<size_t>(depth - 1)];
    const TreeLevel& next = p.levelRecords[static_cast<size_t>(depth)];
    const float a = parentLength, b = offset;

    float length = r.length + uniform(r.lengthV);
    if (depth == 1)
        length = treeShapeRatio(p.shape, (a - b) / (a - baseLength)) * a * length;
    else
        length = (a - 0.6f * b) * length;

    const int res = r.curveRes;
    const float resF = static_cast<float>(res);
    const float segLen = res > 0 ? length / resF : 0.0f;
    const int stems = stemCount((1.0f - 0.5f * b / a) * static_cast<float>(next.branches));
    const float spacing = stems > 0 ? length / static_cast<float>(stems) : 0.0f;

    const float cv = r.curve + uniform(r.curveV);
    float segCurve = 0.0f, segCurveBack = 0.0f;
    if (res > 0) {
        if (r.curveBack == 0.0f) {
            segCurve = cv / resF;
        } else {
            segCurve = cv / (0.5f * resF);
            segCurveBack = r.curveBack / (0.5f * resF);
        }
    }
    const float childRadius = parentRadius * std::pow(length / a, p.ratioPower);

    // This level's part of the growth, one slice per segment.
    const float levelsPlusOne = static_cast<float>(p.levels + 1);
    const float start = static_cast<float>(depth) / levelsPlusOne;
    const float segFrac = res > 0 ? (1.0f / resF) / levelsPlusOne : 0.0f;

    path.pushMatrix();
    float angle = segCurve;
    float s1 = start;
    int drawn = 0;
    for (int j = 0; j < res && step(); ++j, ++drawn) {
        const float s0 = start + static_cast<float>(j) * segFrac;
        s1 = s0 + segFrac;
        const float shade = 0.2f * static_cast<float>(j) + 0.1f;
        if (s1 <= growth) {
            prism(path, childRadius, segLen, shade);
        } else if (s0 < growth) {
            const float part = (growth - s0) / segFrac * segLen;
            prism(path, childRadius, part, shade);
            path.translate(0.0f, 0.0f, part);
            cap(path, childRadius, 1.0f);
        }
        path.translate(0.0f, 0.0f, segLen);
        angle = segmentAngle(r, j, segCurve, segCurveBack);
        path.rotate(sway1 - angle, 1.0f, 0.0f, 0.0f);
    }
    if (drawn > 0) {
        path.rotate(angle, 1.0f, 0.0f, 0.0f);
        if (growth >= s1)
            cap(path, childRadius, 1.0f);
    }
    path.popMatrix();

    if (depth == p.levels)
        return;

    // The children, placed along the same bends (drawn or not yet grown).
    const bool place = spaces(stems, spacing);
    float spin = 0.0f, pos = 0.0f, sum = 0.0f;
    for (int j = 0; j < res; ++j) {
        if (!step())
            return;
        if (place) {
            while (pos + spacing < segLen) {
                if (!step())
                    return;
                ++branchCount;
                path.pushMatrix();
                path.translate(0.0f, 0.0f, pos);
                spin += next.rotate + uniform(next.rotateV);
                path.rotate(spin, 0.0f, 0.0f, 1.0f);
                float down;
                if (next.downAngleV >= 0.0f)
                    down = next.downAngle + uniform(next.downAngleV);
                else
                    down = next.downAngle +
                           uniform(next.downAngleV) * (1.0f - 2.0f * (0.2f + 0.8f * (a - b) / (a - baseLength)));
                path.rotate(down, 1.0f, 0.0f, 0.0f);
                branch(depth + 1, length, sum + pos, childRadius);
                path.popMatrix();
                pos += spacing;
            }
            pos = pos + spacing - segLen;
        }
        sum += segLen;
        path.translate(0.0f, 0.0f, segLen);
        path.rotate(sway1 - segmentAngle(r, j, segCurve, segCurveBack), 1.0f, 0.0f, 0.0f);
    }
}
