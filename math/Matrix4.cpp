#include "math/Matrix4.h"

#include "math/Quaternion.h"

#include <cmath>

Matrix4::Matrix4()
{
    identity();
}

void Matrix4::identity()
{
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void Matrix4::fromEuler(float ax, float ay, float az)
{
    float cx = std::cos(ax), sx = std::sin(ax);
    float cy = std::cos(ay), sy = std::sin(ay);
    float cz = std::cos(az), sz = std::sin(az);

    for (float& e : m)
        e = 0.0f;
    set(3, 3, 1.0f);

    set(0, 0, cz * cy);
    set(1, 0, -cy * sz);
    set(2, 0, sy);

    set(0, 1, sx * cz * sy + sz * cx);
    set(1, 1, cz * cx - sx * sz * sy);
    set(2, 1, -cy * sx);

    set(0, 2, sz * sx - cz * sy * cx);
    set(1, 2, cx * sz * sy + cz * sx);
    set(2, 2, cy * cx);
}

void Matrix4::fromQuaternion(const Quaternion& q)
{
    float n = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    float s = (n == 0.0f) ? 1.0f : 2.0f / n;

    float xx = s * q.x * q.x, yy = s * q.y * q.y, zz = s * q.z * q.z;
    float xy = s * q.x * q.y, xz = s * q.x * q.z, yz = s * q.y * q.z;
    float wx = s * q.x * q.w, wy = s * q.y * q.w, wz = s * q.z * q.w;

    identity();
    set(0, 0, 1.0f - (yy + zz));
    set(0, 1, xy - wz);
    set(0, 2, xz + wy);

    set(1, 0, xy + wz);
    set(1, 1, 1.0f - (xx + zz));
    set(1, 2, yz - wx);

    set(2, 0, xz - wy);
    set(2, 1, yz + wx);
    set(2, 2, 1.0f - (xx + yy));
}

Matrix4 Matrix4::multiply(const Matrix4& a, const Matrix4& b)
{
    Matrix4 r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.m[row * 4 + k] * b.m[k * 4 + col];
            r.m[row * 4 + col] = sum;
        }
    }
    return r;
}

Vec3 Matrix4::transformPoint(const Vec3& p) const
{
    return Vec3(p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12],
                p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
                p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]);
}

Vec3 Matrix4::transformVector(const Vec3& v) const
{
    return Vec3(v.x * m[0] + v.y * m[4] + v.z * m[8],
                v.x * m[1] + v.y * m[5] + v.z * m[9],
                v.x * m[2] + v.y * m[6] + v.z * m[10]);
}
