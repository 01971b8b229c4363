#include "math/Color4.h"

void Color4::set(float nr, float ng, float nb, float na)
{
    r = nr;
    g = ng;
    b = nb;
    a = na;
}

float Color4::grey() const
{
    return (r + g + b) * 0.33333334f;
}

void Color4::scale(float f)
{
    r *= f;
    g *= f;
    b *= f;
}
