#include "math/Vec3.h"

#include <cmath>

void Vec3::set(float nx, float ny, float nz)
{
    x = nx;
    y = ny;
    z = nz;
}

void Vec3::clear()
{
    x = y = z = 0.0f;
}

void Vec3::add(const Vec3& v)
{
    x += v.x;
    y += v.y;
    z += v.z;
}

void Vec3::scale(float f)
{
    x *= f;
    y *= f;
    z *= f;
}

float Vec3::dot(const Vec3& v) const
{
    return x * v.x + y * v.y + z * v.z;
}

float Vec3::length() const
{
    return std::sqrt(x * x + y * y + z * z);
}

void Vec3::normalise()
{
    float squared = x * x + y * y + z * z;
    float len = squared < 0.00001f ? 1.0f : std::sqrt(squared);
    x /= len;
    y /= len;
    z /= len;
}

Vec3 Vec3::difference(const Vec3& a, const Vec3& b)
{
    return Vec3(b.x - a.x, b.y - a.y, b.z - a.z);
}

Vec3 Vec3::cross(const Vec3& a, const Vec3& b)
{
    return Vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

Vec3 Vec3::lerp(const Vec3& a, const Vec3& b, float t)
{
    float s = 1.0f - t;
    return Vec3(s * a.x + t * b.x, s * a.y + t * b.y, s * a.z + t * b.z);
}

Vec3 Vec3::axisDistance(const Vec3& a, const Vec3& b)
{
    return Vec3(std::fabs(a.x - b.x), std::fabs(a.y - b.y), std::fabs(a.z - b.z));
}
