#include "scene/AnimationKeys.h"

#include <cmath>

namespace {

// s / d, or 0 when the frames give no interval to divide by: an exporter
// never writes two keys on one frame, and a zero tangent is the calm answer
// for a file that does.
float safeRatio(float s, float d)
{
    return d != 0.0f ? s / d : 0.0f;
}

void innerTangents(PositionKey* keys, int k)
{
    PositionKey& key = keys[k];
    const PositionKey& prev = keys[k - 1];
    const PositionKey& next = keys[k + 1];
    float s = safeRatio(2.0f, float(next.frame - prev.frame));
    float a = s * float(key.frame - prev.frame);
    float b = s * float(next.frame - key.frame);
    float c = std::fabs(key.continuity);
    a = a + c - a * c;
    b = b + c - b * c;

    float t = key.tension, cont = key.continuity, bias = key.bias;
    Vec3 toNext = next.position - key.position;
    Vec3 fromPrev = key.position - prev.position;
    float halfSlack = (1.0f - t) / 2.0f;

    key.inTangent = toNext * (a * (1.0f - bias) * halfSlack * (1.0f + cont)) +
                    fromPrev * (a * halfSlack * (1.0f - cont) * (1.0f + bias));
    key.outTangent = toNext * (b * (1.0f - bias) * halfSlack * (1.0f - cont)) +
                     fromPrev * (b * halfSlack * (1.0f + cont) * (1.0f + bias));
}

} // namespace

void computeKeyTangents(PositionKey* keys, int count)
{
    if (!keys || count < 2)
        return;

    for (int k = 1; k < count - 1; ++k)
        innerTangents(keys, k);

    // First key, shaped by the next two (the next one twice for a pair).
    {
        PositionKey& first = keys[0];
        const PositionKey& k1 = keys[1];
        const PositionKey& k2 = keys[count > 2 ? 2 : 1];
        Vec3 d = k2.position - first.position;
        float w = 0.75f - safeRatio(float(k1.frame - first.frame), 2.0f * float(k2.frame - first.frame));
        Vec3 along = (k1.position - first.position - d * 0.5f) * 1.5f + d * w;
        first.outTangent = along * (1.0f - first.tension);
    }

    // Last key, shaped by the two before it (the first one twice for a pair).
    {
        PositionKey& last = keys[count - 1];
        const PositionKey& m1 = keys[count - 2];
        const PositionKey& m2 = keys[count > 2 ? count - 3 : 0];
        Vec3 d = last.position - m2.position;
        float w = 0.75f - safeRatio(float(last.frame - m1.frame), 2.0f * float(last.frame - m2.frame));
        Vec3 along = (last.position - m1.position - d * 0.5f) * 1.5f + d * w;
        last.inTangent = along * (1.0f - last.tension);
    }
}
