// The view frustum: corners, inward planes, and the point and sphere classifications.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "scene/k_Frustum.h"

namespace {

constexpr float kTolerance = 2e-3f;

// Relative to the size of the value: normalising uses an approximate reciprocal square root.
void ExpectNear(const Vector& actual, const Vector& expected)
{
    EXPECT_NEAR(actual.x, expected.x, kTolerance * std::max(1.0f, std::fabs(expected.x)));
    EXPECT_NEAR(actual.y, expected.y, kTolerance * std::max(1.0f, std::fabs(expected.y)));
    EXPECT_NEAR(actual.z, expected.z, kTolerance * std::max(1.0f, std::fabs(expected.z)));
}

// 90 degrees, square, near 1, far 10, at the origin looking along -z with up +y.
class Frustum : public ::testing::Test {
protected:
    void SetUp() override
    {
        frustum.SetPerspective(90, 1, 1, 10);
        frustum.SetView({0, 0, 0, 1}, {0, 0, -1, 1}, {0, 1, 0, 0});
    }
    k_Frustum frustum;
};

TEST_F(Frustum, CornersSpanTheNearAndFarRectangles)
{
    const struct { int corner; Vector at; } cases[] = {
        {k_Frustum::NearTopLeft, {-1, 1, -1}},      {k_Frustum::NearTopRight, {1, 1, -1}},
        {k_Frustum::NearBottomLeft, {-1, -1, -1}},  {k_Frustum::NearBottomRight, {1, -1, -1}},
        {k_Frustum::FarTopLeft, {-10, 10, -10}},    {k_Frustum::FarTopRight, {10, 10, -10}},
        {k_Frustum::FarBottomLeft, {-10, -10, -10}}, {k_Frustum::FarBottomRight, {10, -10, -10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.corner);
        ExpectNear(frustum.GetCorner(c.corner), c.at);
    }
}

TEST_F(Frustum, PlanesFaceInwardsInTheirFixedOrder)
{
    const float h = 0.70710678f;
    const struct { int plane; Vector normal; float d; } cases[] = {
        {k_Frustum::Top, {0, -h, -h}, 0},  {k_Frustum::Bottom, {0, h, -h}, 0},
        {k_Frustum::Left, {h, 0, -h}, 0},  {k_Frustum::Right, {-h, 0, -h}, 0},
        {k_Frustum::Near, {0, 0, -1}, -1}, {k_Frustum::Far, {0, 0, 1}, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plane);
        ExpectNear(frustum.GetPlane(c.plane).normal, c.normal);
        EXPECT_EQ(frustum.GetPlane(c.plane).normal.w, 0.0f);
        EXPECT_NEAR(frustum.GetPlane(c.plane).d, c.d, kTolerance * 10);
    }
}

TEST_F(Frustum, ClassifiesPoints)
{
    const struct { Vector point; int expected; } cases[] = {
        {{0, 0, -5, 1}, IFrustum::Inside},
        {{0, 0, 5, 1}, IFrustum::Outside},
        {{0, 0, -0.5f, 1}, IFrustum::Outside},   // before the near plane
        {{0, 0, -11, 1}, IFrustum::Outside},     // beyond the far plane
        {{4, 4, -5, 1}, IFrustum::Inside},
        {{6, 0, -5, 1}, IFrustum::Outside},      // right of the right plane
        {{0, -6, -5, 1}, IFrustum::Outside},     // under the bottom plane
        {{0, 0, -5, 0}, IFrustum::Inside},       // w plays no part
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y << "," << c.point.z);
        EXPECT_EQ(frustum.TestPoint(c.point), c.expected);
    }
}

TEST_F(Frustum, ClassifiesSpheres)
{
    const struct { Vector centre; float radius; int expected; } cases[] = {
        {{0, 0, -10, 1}, 1, IFrustum::Intersecting},  // centred on the far plane
        {{0, 0, -5, 1}, 1, IFrustum::Inside},
        {{0, 0, -12, 1}, 1, IFrustum::Outside},
        {{0, 0, -11.5f, 1}, 2, IFrustum::Intersecting},
        {{0, 0, 3, 1}, 2, IFrustum::Outside},
        {{0, 0, -5, 1}, 100, IFrustum::Intersecting},  // crosses every plane
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.centre.z << " r " << c.radius);
        EXPECT_EQ(frustum.TestSphere(c.centre, c.radius), c.expected);
    }
}

TEST(FrustumPerspective, NarrowerAngleAndWiderRatioMoveTheSides)
{
    k_Frustum frustum;
    frustum.SetPerspective(60, 2, 1, 100);
    frustum.SetView({0, 0, 0, 1}, {0, 0, -1, 1}, {0, 1, 0, 0});
    // tan(30) = 0.577: at distance 10 half height 5.77, half width 11.5.
    EXPECT_EQ(frustum.TestPoint({0, 5.5f, -10, 1}), IFrustum::Inside);
    EXPECT_EQ(frustum.TestPoint({0, 6.0f, -10, 1}), IFrustum::Outside);
    EXPECT_EQ(frustum.TestPoint({11.3f, 0, -10, 1}), IFrustum::Inside);
    EXPECT_EQ(frustum.TestPoint({11.8f, 0, -10, 1}), IFrustum::Outside);
}

}  // namespace
