#pragma once
// A 3-vector of single-precision floats: positions, directions, scales and
// the control points of the scene's animation tracks. Plain record of three
// floats in x, y, z order; scene files fill it field by field.

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vec3() = default;
    Vec3(float x, float y, float z) : x(x), y(y), z(z) {}

    void set(float nx, float ny, float nz);
    void clear();
    void add(const Vec3& v);
    void scale(float f);
    float dot(const Vec3& v) const;
    float length() const;
    // Divides by the length; a vector whose squared length is below 0.00001
    // keeps its value, so a zero vector never turns into NaNs.
    void normalise();

    // b - a: the vector from a to b.
    static Vec3 difference(const Vec3& a, const Vec3& b);
    static Vec3 cross(const Vec3& a, const Vec3& b);
    // (1 - t) * a + t * b
    static Vec3 lerp(const Vec3& a, const Vec3& b, float t);
    // (|a.x - b.x|, |a.y - b.y|, |a.z - b.z|)
    static Vec3 axisDistance(const Vec3& a, const Vec3& b);
};

static_assert(sizeof(Vec3) == 12, "Vec3 is three packed floats");

inline Vec3 operator+(const Vec3& a, const Vec3& b) { return Vec3(a.x + b.x, a.y + b.y, a.z + b.z); }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return Vec3(a.x - b.x, a.y - b.y, a.z - b.z); }
inline Vec3 operator*(const Vec3& a, float f) { return Vec3(a.x * f, a.y * f, a.z * f); }
