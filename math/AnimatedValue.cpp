#include "math/AnimatedValue.h"

#include "math/CatmullRom.h"

#include <cmath>

void AnimatedValue::reset(float v)
{
    current = v;
    target = v;
    start = v;
    delta = 0.0f;
}

void AnimatedValue::moveTo(float v)
{
    start = current;
    target = v;
    delta = v - current;
}

float AnimatedValue::update(int now)
{
    float t = static_cast<float>(now);
    if (t < startTime || delta == 0.0f)
        return current;

    // A move without a positive duration is a jump: dividing by it would give
    // NaN at its first instant (0 / 0) or, when negative, a value that runs
    // away from the target and never arrives.
    float d = duration > 0.0f ? (t - startTime) / duration : 1.0f;

    switch (mode) {
    case Linear:
        current = start + d * delta;
        break;
    case EaseIn:
        current = start + d * d * delta;
        break;
    case SineEaseOut:
        current = start + std::sin(d * 1.570796326794895f) * delta;
        break;
    case Curve:
        current = start + catmullRom(curveA, 0.0f, 1.0f, curveB, d) * delta;
        break;
    default:
        break;
    }

    float remaining = delta > 0.0f ? target - current : current - target;
    if (d >= 1.0f || remaining < 0.000001f) {
        current = target;
        delta = 0.0f;
    }
    return current;
}
