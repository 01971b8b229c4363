#pragma once
// A 4x4 matrix of floats. Element (row, col) lives at m[row * 4 + col], and
// the array goes to glLoadMatrixf / glMultMatrixf exactly as stored. GL reads
// column-major, so it sees the transpose of the (row, col) matrix: points are
// row vectors multiplied from the left, v' = v * M, with the translation in
// row 3 (m[12], m[13], m[14]). A new matrix is the identity.

#include "math/Vec3.h"

struct Quaternion;

struct Matrix4 {
    float m[16];

    Matrix4();

    void identity();
    void set(int row, int col, float value) { m[row * 4 + col] = value; }
    float get(int row, int col) const { return m[row * 4 + col]; }

    // Rotation from Euler angles in radians (the scene converts degrees with
    // 0.017453292). Replaces the whole matrix.
    void fromEuler(float ax, float ay, float az);
    // Rotation from a quaternion, which need not be unit length: it is scaled
    // by 2 / |q|^2, and the zero quaternion gives the identity.
    void fromQuaternion(const Quaternion& q);

    // The (row, col) product a * b: for row vectors, a is applied first.
    static Matrix4 multiply(const Matrix4& a, const Matrix4& b);

    // (p, 1) * M, as GL transforms a vertex by this matrix.
    Vec3 transformPoint(const Vec3& p) const;
    // (v, 0) * M: rotation and scale without the translation.
    Vec3 transformVector(const Vec3& v) const;

    const float* data() const { return m; }
};

static_assert(sizeof(Matrix4) == 64, "Matrix4 is sixteen packed floats");

inline Matrix4 operator*(const Matrix4& a, const Matrix4& b) { return Matrix4::multiply(a, b); }
