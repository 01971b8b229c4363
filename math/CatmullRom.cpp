#include "math/CatmullRom.h"

float catmullRom(float p0, float p1, float p2, float p3, float t)
{
    float t2 = t * t;
    float t3 = t2 * t;
    return 0.5f * ((-t3 + 2.0f * t2 - t) * p0 + (3.0f * t3 - 5.0f * t2 + 2.0f) * p1 +
                   (-3.0f * t3 + 4.0f * t2 + t) * p2 + (t3 - t2) * p3);
}
