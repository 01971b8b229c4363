// Vectors, matrices and quaternions: the storage order GL sees, products, and
// the degenerate inputs that must not produce NaNs.

#include "math/Matrix4.h"
#include "math/Quaternion.h"
#include "math/Vec3.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectMatrixNear(const Matrix4& actual, const float (&expected)[4][4], float tolerance = 1e-6f)
{
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            EXPECT_NEAR(actual.get(row, col), expected[row][col], tolerance) << "(" << row << ", " << col << ")";
}

Matrix4 matrixOf(const float (&rows)[4][4])
{
    Matrix4 m;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            m.set(row, col, rows[row][col]);
    return m;
}

const float kIdentity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
const float kHalf = 0.70710678f;     // sqrt(0.5)
const float kEighthTurn = 0.39269908f; // 22.5 degrees

} // namespace

TEST(Vec3, NormaliseKeepsTinyVectorsAndCrossIsOrdered)
{
    for (Vec3 c : {Vec3(0, 0, 0), Vec3(0.001f, 0, 0), Vec3(0, -0.002f, 0.001f)}) {
        Vec3 v = c;
        v.normalise();
        EXPECT_TRUE(v.x == c.x && v.y == c.y && v.z == c.z);
    }
    Vec3 v(3, 0, 4);
    v.normalise();
    EXPECT_FLOAT_EQ(v.z, 0.8f);

    Vec3 c = Vec3::cross(Vec3(1, 2, 3), Vec3(4, 6, 8));
    EXPECT_TRUE(c.x == -2 && c.y == 4 && c.z == -2);
    EXPECT_EQ(Vec3::difference(Vec3(1, 2, 3), Vec3(4, 6, 8)).z, 5); // b - a
}

TEST(Matrix4, StorageOrderAndProductMatchHandComputedCase)
{
    Matrix4 m;
    expectMatrixNear(m, kIdentity, 0.0f);
    m.set(1, 3, 7.0f);
    EXPECT_EQ(m.data()[1 * 4 + 3], 7.0f);

    const float a[4][4] = {{1, 2, 3, 4}, {0, 1, 0, 5}, {2, 0, 1, 0}, {0, 0, 3, 1}};
    const float b[4][4] = {{2, 0, 0, 1}, {1, 3, 0, 0}, {0, 1, 4, 0}, {5, 0, 0, 1}};
    const float ab[4][4] = {{24, 9, 12, 5}, {26, 3, 0, 5}, {4, 1, 4, 2}, {5, 3, 12, 1}};
    expectMatrixNear(matrixOf(a) * matrixOf(b), ab, 0.0f);
}

TEST(Matrix4, RowVectorsWithTranslationInRowThree)
{
    Matrix4 move;
    move.set(3, 0, 10.0f);
    move.set(3, 1, 20.0f);
    Vec3 p = move.transformPoint(Vec3(1, 2, 3));
    EXPECT_TRUE(p.x == 11 && p.y == 22 && p.z == 3);
    EXPECT_EQ(move.transformVector(Vec3(1, 2, 3)).x, 1);
    // In a * b, a acts first: scale by 2, then move.
    Matrix4 scale;
    scale.set(0, 0, 2.0f);
    EXPECT_EQ((scale * move).transformPoint(Vec3(1, 0, 0)).x, 12);
}

TEST(Matrix4, EulerGivesProperRotation)
{
    const float angles[][3] = {{0.3f, -1.1f, 2.0f}, {1.5707964f, 0.2f, -0.7f}, {-3.0f, 0.0f, 0.9f}};
    for (const auto& a : angles) {
        Matrix4 m;
        m.fromEuler(a[0], a[1], a[2]);
        Vec3 r[3];
        for (int i = 0; i < 3; ++i)
            r[i] = Vec3(m.get(i, 0), m.get(i, 1), m.get(i, 2));
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR(r[i].dot(r[j]), i == j ? 1.0f : 0.0f, 1e-5f);
        EXPECT_NEAR(Vec3::cross(r[0], r[1]).dot(r[2]), 1.0f, 1e-5f); // not a reflection
        EXPECT_TRUE(m.get(3, 3) == 1 && m.get(3, 0) == 0 && m.get(0, 3) == 0);
    }
}

TEST(Quaternion, MatrixOfUnitZeroAndScaledQuaternions)
{
    Matrix4 m;
    m.set(0, 1, 5.0f);
    Quaternion(0, 0, 0, 1).toMatrix(m);
    expectMatrixNear(m, kIdentity, 0.0f);
    m.set(2, 2, 9.0f);
    Quaternion().toMatrix(m);
    expectMatrixNear(m, kIdentity, 0.0f);

    // A quarter turn about z given at twice unit length.
    Quaternion(0, 0, 2 * kHalf, 2 * kHalf).toMatrix(m);
    const float quarter[4][4] = {{0, -1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    expectMatrixNear(m, quarter);
}

TEST(Quaternion, SlerpEndsMiddleAndShortArc)
{
    Quaternion a(0, 0, 0, 1), b(0, 0, kHalf, kHalf), negB(0, 0, -kHalf, -kHalf);
    Quaternion s0 = Quaternion::slerp(a, b, 0.0f), s1 = Quaternion::slerp(a, b, 1.0f);
    EXPECT_NEAR(s0.w, 1.0f, 1e-6f);
    EXPECT_NEAR(s0.z, 0.0f, 1e-6f);
    EXPECT_NEAR(s1.z, kHalf, 1e-6f);
    EXPECT_NEAR(s1.w, kHalf, 1e-6f);
    // Halfway is 45 degrees, also towards -b, the same rotation as b.
    for (const Quaternion& to : {b, negB}) {
        Quaternion mid = Quaternion::slerp(a, to, 0.5f);
        EXPECT_NEAR(mid.z, std::sin(kEighthTurn), 1e-6f);
        EXPECT_NEAR(mid.w, std::cos(kEighthTurn), 1e-6f);
    }
}

TEST(Quaternion, SlerpOfNearlyEqualOrOppositeKeysIsLinearAndFinite)
{
    Quaternion a(0, 0, 0, 1);
    float nearOne = 1.0f - 5e-7f, side = std::sqrt(1.0f - nearOne * nearOne);
    struct Case {
        Quaternion q1;
        float z, w;
    };
    const Case cases[] = {
        {Quaternion(0, 0, 0, -1), 0.0f, 1.0f}, // dot -1: 0.75 a - 0.25 (-a) = a
        {Quaternion(0, 0, 0, 1), 0.0f, 1.0f},
        {Quaternion(0, 0, side, nearOne), 0.25f * side, 0.75f + 0.25f * nearOne}, // no 0 / 0
    };
    for (const Case& c : cases) {
        Quaternion s = Quaternion::slerp(a, c.q1, 0.25f);
        EXPECT_TRUE(std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.z) && std::isfinite(s.w));
        EXPECT_NEAR(s.z, c.z, 1e-6f);
        EXPECT_NEAR(s.w, c.w, 1e-6f);
    }
    // Exactly opposite at t = 0.5 gives a, not the zero quaternion.
    EXPECT_NEAR(Quaternion::slerp(a, Quaternion(0, 0, 0, -1), 0.5f).w, 1.0f, 1e-6f);
}
