#pragma once
// A rotation quaternion (x, y, z, w), as the scene file stores rotation keys.
// A new quaternion is (0, 0, 0, 0), not the identity: the scene file always
// supplies all four components.

struct Matrix4;

struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    Quaternion() = default;
    Quaternion(float x, float y, float z, float w) : x(x), y(y), z(z), w(w) {}

    void set(float nx, float ny, float nz, float nw);
    void clear();
    void toMatrix(Matrix4& out) const;

    // Spherical interpolation from q0 (t = 0) to q1 (t = 1) along the shorter
    // arc. Nearly parallel or opposite keys fall back to linear weights, which
    // avoids dividing by a vanishing sine. The result is not renormalised.
    static Quaternion slerp(const Quaternion& q0, const Quaternion& q1, float t);
};

static_assert(sizeof(Quaternion) == 16, "Quaternion is four packed floats");
