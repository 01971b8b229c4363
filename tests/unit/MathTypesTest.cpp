// Vectors, colours, matrices and quaternions: the storage order GL sees, the
// products, and the degenerate inputs that must not produce NaNs.

#include "math/Color4.h"
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

} // namespace

TEST(Vec3, NormaliseKeepsTinyAndZeroVectors)
{
    const Vec3 cases[] = {{0, 0, 0}, {0.001f, 0, 0}, {0, -0.002f, 0.001f}};
    for (const Vec3& c : cases) {
        Vec3 v = c;
        v.normalise();
        EXPECT_EQ(v.x, c.x);
        EXPECT_EQ(v.y, c.y);
        EXPECT_EQ(v.z, c.z);
    }
    Vec3 v(3, 0, 4);
    v.normalise();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
}

TEST(Vec3, DifferenceCrossLerpAndAxisDistance)
{
    Vec3 a(1, 2, 3), b(4, 6, 8);
    Vec3 d = Vec3::difference(a, b);
    EXPECT_EQ(d.x, 3);
    EXPECT_EQ(d.y, 4);
    EXPECT_EQ(d.z, 5);

    // x cross y = z, and the operands do not commute.
    Vec3 z = Vec3::cross(Vec3(1, 0, 0), Vec3(0, 1, 0));
    EXPECT_EQ(z.z, 1);
    Vec3 c = Vec3::cross(a, b);
    EXPECT_EQ(c.x, 2 * 8 - 3 * 6);
    EXPECT_EQ(c.y, 3 * 4 - 1 * 8);
    EXPECT_EQ(c.z, 1 * 6 - 2 * 4);

    Vec3 quarter = Vec3::lerp(a, b, 0.25f);
    EXPECT_FLOAT_EQ(quarter.x, 1.75f);
    EXPECT_FLOAT_EQ(quarter.z, 4.25f);

    Vec3 dist = Vec3::axisDistance(b, a);
    EXPECT_EQ(dist.x, 3);
    EXPECT_EQ(dist.y, 4);
    EXPECT_EQ(dist.z, 5);
}

TEST(Color4, DefaultsGreyAndScaleLeaveAlpha)
{
    Color4 c;
    EXPECT_EQ(c.a, 1.0f);
    EXPECT_EQ(c.r, 1.0f);
    c.set(0.3f, 0.6f, 0.9f, 0.5f);
    EXPECT_FLOAT_EQ(c.grey(), 0.6f);
    c.scale(2.0f);
    EXPECT_FLOAT_EQ(c.b, 1.8f);
    EXPECT_EQ(c.a, 0.5f);
    c.set(0.1f, 0.2f, 0.3f);
    EXPECT_EQ(c.a, 1.0f);
}

TEST(Matrix4, StoresRowTimesFourPlusColumnAndStartsAsIdentity)
{
    Matrix4 m;
    expectMatrixNear(m, kIdentity, 0.0f);
    m.set(1, 3, 7.0f);
    EXPECT_EQ(m.data()[1 * 4 + 3], 7.0f);
    EXPECT_EQ(m.get(3, 1), 0.0f);
}

TEST(Matrix4, ProductMatchesHandComputedCase)
{
    const float a[4][4] = {{1, 2, 3, 4}, {0, 1, 0, 5}, {2, 0, 1, 0}, {0, 0, 3, 1}};
    const float b[4][4] = {{2, 0, 0, 1}, {1, 3, 0, 0}, {0, 1, 4, 0}, {5, 0, 0, 1}};
    const float ab[4][4] = {{24, 9, 12, 5}, {26, 3, 0, 5}, {4, 1, 4, 2}, {5, 3, 12, 1}};
    expectMatrixNear(matrixOf(a) * matrixOf(b), ab, 0.0f);
}

TEST(Matrix4, TranslationInRowThreeMovesPointsAsGLDoes)
{
    Matrix4 m;
    m.set(3, 0, 10.0f);
    m.set(3, 1, 20.0f);
    m.set(3, 2, 30.0f);
    Vec3 p = m.transformPoint(Vec3(1, 2, 3));
    EXPECT_EQ(p.x, 11);
    EXPECT_EQ(p.y, 22);
    EXPECT_EQ(p.z, 33);
    Vec3 v = m.transformVector(Vec3(1, 2, 3));
    EXPECT_EQ(v.x, 1);
    EXPECT_EQ(v.z, 3);

    // Row vectors: in a * b, a acts first. Scale by 2, then translate.
    Matrix4 scale;
    scale.set(0, 0, 2.0f);
    Vec3 q = (scale * m).transformPoint(Vec3(1, 0, 0));
    EXPECT_EQ(q.x, 12);
}

TEST(Matrix4, EulerGivesProperRotation)
{
    const float angles[][3] = {{0.3f, -1.1f, 2.0f}, {1.5707964f, 0.2f, -0.7f}, {-3.0f, 0.0f, 0.9f}};
    for (const auto& a : angles) {
        Matrix4 m;
        m.fromEuler(a[0], a[1], a[2]);
        // Rows of the 3x3 part are orthonormal and the determinant is +1.
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                float dot = 0;
                for (int k = 0; k < 3; ++k)
                    dot += m.get(i, k) * m.get(j, k);
                EXPECT_NEAR(dot, i == j ? 1.0f : 0.0f, 1e-5f);
            }
        }
        Vec3 r0(m.get(0, 0), m.get(0, 1), m.get(0, 2));
        Vec3 r1(m.get(1, 0), m.get(1, 1), m.get(1, 2));
        Vec3 r2(m.get(2, 0), m.get(2, 1), m.get(2, 2));
        EXPECT_NEAR(Vec3::cross(r0, r1).dot(r2), 1.0f, 1e-5f);
        EXPECT_EQ(m.get(3, 3), 1.0f);
        EXPECT_EQ(m.get(3, 0), 0.0f);
        EXPECT_EQ(m.get(0, 3), 0.0f);
    }
    // A single turn about y: (2, 0) = sin ay.
    Matrix4 y;
    y.fromEuler(0.0f, 0.5f, 0.0f);
    EXPECT_FLOAT_EQ(y.get(2, 0), std::sin(0.5f));
    EXPECT_FLOAT_EQ(y.get(0, 2), -std::sin(0.5f));
}

TEST(Quaternion, UnitAndZeroQuaternionsGiveIdentity)
{
    Matrix4 m;
    m.set(0, 1, 5.0f);
    Quaternion(0, 0, 0, 1).toMatrix(m);
    expectMatrixNear(m, kIdentity, 0.0f);

    m.set(2, 2, 9.0f);
    Quaternion zero;
    zero.toMatrix(m);
    expectMatrixNear(m, kIdentity, 0.0f);
}

TEST(Quaternion, MatrixIgnoresLengthAndMatchesHalfAngle)
{
    // A quarter turn about z, given at twice unit length.
    float h = std::sqrt(0.5f);
    Matrix4 m;
    Quaternion(0, 0, 2 * h, 2 * h).toMatrix(m);
    const float expected[4][4] = {{0, -1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    expectMatrixNear(m, expected);
}

TEST(Quaternion, SlerpEndsAndMiddle)
{
    float h = std::sqrt(0.5f);
    Quaternion a(0, 0, 0, 1), b(0, 0, h, h); // 0 and 90 degrees about z
    Quaternion s0 = Quaternion::slerp(a, b, 0.0f);
    Quaternion s1 = Quaternion::slerp(a, b, 1.0f);
    EXPECT_NEAR(s0.w, 1.0f, 1e-6f);
    EXPECT_NEAR(s0.z, 0.0f, 1e-6f);
    EXPECT_NEAR(s1.z, h, 1e-6f);
    EXPECT_NEAR(s1.w, h, 1e-6f);
    // Halfway is 45 degrees: (0, 0, sin 22.5, cos 22.5), unit length.
    Quaternion mid = Quaternion::slerp(a, b, 0.5f);
    EXPECT_NEAR(mid.z, std::sin(0.39269908f), 1e-6f);
    EXPECT_NEAR(mid.w, std::cos(0.39269908f), 1e-6f);
}

TEST(Quaternion, SlerpTakesShortArcForNegativeDot)
{
    // -b is the same rotation as b; the path must not swing the long way.
    float h = std::sqrt(0.5f);
    Quaternion a(0, 0, 0, 1), negB(0, 0, -h, -h);
    Quaternion mid = Quaternion::slerp(a, negB, 0.5f);
    EXPECT_NEAR(mid.z, std::sin(0.39269908f), 1e-6f);
    EXPECT_NEAR(mid.w, std::cos(0.39269908f), 1e-6f);
}

TEST(Quaternion, SlerpOfNearlyEqualOrOppositeKeysIsLinearAndFinite)
{
    Quaternion a(0, 0, 0, 1);
    struct Case {
        Quaternion q1;
        float expectZ, expectW;
    };
    // dot = -1: linear weights with k1 negated: 0.75 * a + 0.25 * -(-a) = a.
    // dot = 1: plain lerp of equal keys.
    // dot just below 1 (1 - 5e-7): still linear, no 0 / 0.
    float tiny = std::sqrt(1.0f - (1.0f - 5e-7f) * (1.0f - 5e-7f));
    const Case cases[] = {
        {Quaternion(0, 0, 0, -1), 0.0f, 1.0f},
        {Quaternion(0, 0, 0, 1), 0.0f, 1.0f},
        {Quaternion(0, 0, tiny, 1.0f - 5e-7f), 0.25f * tiny, 0.75f + 0.25f * (1.0f - 5e-7f)},
    };
    for (const Case& c : cases) {
        Quaternion s = Quaternion::slerp(a, c.q1, 0.25f);
        EXPECT_TRUE(std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.z) && std::isfinite(s.w));
        EXPECT_NEAR(s.z, c.expectZ, 1e-6f);
        EXPECT_NEAR(s.w, c.expectW, 1e-6f);
    }
    // Exactly opposite at t = 0.5: 0.5 * a - 0.5 * (-a) = a, not the zero quaternion.
    Quaternion half = Quaternion::slerp(a, Quaternion(0, 0, 0, -1), 0.5f);
    EXPECT_NEAR(half.w, 1.0f, 1e-6f);
}
