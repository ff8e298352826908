// Vector, matrix and quaternion behaviour the rest of the engine relies on.
#include <gtest/gtest.h>

#include <cstdint>

#include "math/Matrix.h"
#include "math/Quaternion.h"
#include "math/Vector.h"

namespace {

void ExpectNear(const Vector& actual, const Vector& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
    EXPECT_NEAR(actual.w, expected.w, tolerance);
}

TEST(Vector, IsSixteenByteAlignedAndFourLanesWide)
{
    EXPECT_EQ(alignof(Vector), 16u);
    EXPECT_EQ(sizeof(Vector), 16u);
    Vector* heap = new Vector[3];
    EXPECT_EQ(reinterpret_cast<uintptr_t>(heap + 1) % 16, 0u);
    delete[] heap;
}

TEST(Vector, DotAndLengthUseAllFourLanes)
{
    const Vector v(1, 2, 2, 4);
    EXPECT_FLOAT_EQ(v.Dot(v), 25.0f);
    EXPECT_FLOAT_EQ(v.Length(), 5.0f);
}

TEST(Vector, NormalisedIsApproximatelyUnitLength)
{
    struct Case { Vector in; Vector out; } cases[] = {
        {{3, 0, 4, 0}, {0.6f, 0, 0.8f, 0}},
        {{0, -2, 0, 0}, {0, -1, 0, 0}},
        {{0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) ExpectNear(c.in.Normalized(), c.out, 1e-3f);
}

TEST(Vector, CrossFollowsTheRightHandRule)
{
    ExpectNear(Vector(1, 0, 0).Cross(Vector(0, 1, 0)), Vector(0, 0, 1, 0));
}

TEST(Matrix, TranslationLivesInElementsTwelveToFourteen)
{
    const Matrix t = Matrix::Translation(1, 2, 3);
    EXPECT_EQ(t[12], 1.0f);
    EXPECT_EQ(t[13], 2.0f);
    EXPECT_EQ(t[14], 3.0f);
    ExpectNear(t * Vector::Point(1, 1, 1), Vector(2, 3, 4, 1));
    ExpectNear(t * Vector::Direction(1, 1, 1), Vector(1, 1, 1, 0));
}

TEST(Matrix, TheLeftFactorIsAppliedLast)
{
    const Matrix m = Matrix::Translation(10, 0, 0) * Matrix::Scale(2, 2, 2);
    ExpectNear(m * Vector::Point(1, 0, 0), Vector(12, 0, 0, 1));
}

TEST(Matrix, InverseUndoesTheMatrix)
{
    const Matrix m = Matrix::Translation(1, -2, 3) * Quaternion::FromAxisAngle({1, 1, 0}, 33).ToMatrix() *
                     Matrix::Scale(2, 3, 4);
    const Matrix product = m * m.Inverse();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(product[i], Matrix()[i], 1e-5f) << i;
}

TEST(Matrix, SingularMatrixIsLeftUnchanged)
{
    const Matrix flat = Matrix::Scale(1, 0, 1) * Matrix::Translation(5, 6, 7);
    EXPECT_EQ(flat.Determinant(), 0.0f);
    EXPECT_EQ(flat.Inverse(), flat);
}

TEST(Quaternion, NinetyDegreesAboutZTurnsXIntoMinusY)
{
    const Matrix m = Quaternion::FromAxisAngle({0, 0, 1}, 90).ToMatrix();
    ExpectNear(m * Vector::Direction(1, 0, 0), Vector(0, -1, 0, 0), 1e-3f);  // approximate normalising
}

TEST(Quaternion, AxisIsNormalisedAndAngleIsHalved)
{
    const Quaternion q = Quaternion::FromAxisAngle({0, 0, 5}, 180);
    EXPECT_NEAR(q.z, 1.0f, 1e-3f);
    EXPECT_NEAR(q.w, 0.0f, 1e-6f);
}

TEST(Quaternion, MatrixElementsStandInTheGivenOrder)
{
    const Quaternion q(0.1f, 0.2f, 0.3f, 0.9f);
    const Matrix m = q.ToMatrix();
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    EXPECT_FLOAT_EQ(m[1], 2 * (x * y - w * z));
    EXPECT_FLOAT_EQ(m[2], 2 * (x * z + w * y));
    EXPECT_FLOAT_EQ(m[4], 2 * (x * y + w * z));
    EXPECT_FLOAT_EQ(m[6], 2 * (y * z - w * x));
    EXPECT_FLOAT_EQ(m[8], 2 * (x * z - w * y));
    EXPECT_FLOAT_EQ(m[9], 2 * (y * z + w * x));
    EXPECT_FLOAT_EQ(m[15], 1.0f);
}

}  // namespace
