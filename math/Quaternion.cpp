#include "math/Quaternion.h"

#include "math/Matrix4.h"

#include <cmath>

void Quaternion::set(float nx, float ny, float nz, float nw)
{
    x = nx;
    y = ny;
    z = nz;
    w = nw;
}

void Quaternion::clear()
{
    x = y = z = w = 0.0f;
}

void Quaternion::toMatrix(Matrix4& out) const
{
    out.fromQuaternion(*this);
}

Quaternion Quaternion::slerp(const Quaternion& q0, const Quaternion& q1, float t)
{
    float dp = q0.x * q1.x + q0.y * q1.y + q0.z * q1.z + q0.w * q1.w;
    float absDp = std::fabs(dp);
    float k0, k1;
    if (1.0f - absDp < 0.000001f) {
        k0 = 1.0f - t;
        k1 = t;
    } else {
        float theta = std::acos(absDp);
        float sinTheta = std::sin(theta);
        k0 = std::sin(theta - t * theta) / sinTheta;
        k1 = std::sin(t * theta) / sinTheta;
    }
    if (dp < 0.0f)
        k1 = -k1;
    return Quaternion(k0 * q0.x + k1 * q1.x, k0 * q0.y + k1 * q1.y,
                      k0 * q0.z + k1 * q1.z, k0 * q0.w + k1 * q1.w);
}
