// The camera frame: every setter leaves eye, target, direction, right, up and up point consistent,
// and the frustum follows the frame only when asked for.
#include <gtest/gtest.h>

#include "engine/k_Engine.h"
#include "core/IGraphics.h"
#include "core/IFrustum.h"
#include "scene/k_Camera.h"

namespace {

// The frame is normalised with an approximate reciprocal square root.
constexpr float kTolerance = 2e-3f;

void ExpectNear(const Vector& actual, const Vector& expected)
{
    EXPECT_NEAR(actual.x, expected.x, kTolerance);
    EXPECT_NEAR(actual.y, expected.y, kTolerance);
    EXPECT_NEAR(actual.z, expected.z, kTolerance);
    EXPECT_NEAR(actual.w, expected.w, kTolerance);
}

class Camera : public ::testing::Test {
protected:
    // The camera takes the frustum's aspect ratio from the graphics device when it is built.
    static k_Engine* EngineWithAspect(k_Engine* engine)
    {
        engine->GetGraphics()->SetAspectRatio(4.0f / 3.0f);
        return engine;
    }
    k_Engine engine{L"."};
    k_Camera camera{EngineWithAspect(&engine)};
};

TEST_F(Camera, StartsFiveUnitsBehindTheOriginLookingAtIt)
{
    EXPECT_EQ(camera.GetEye(), Vector(0, 0, -5, 0));
    EXPECT_EQ(camera.GetTarget(), Vector(0, 0, 0, 0));
    EXPECT_EQ(camera.GetDirection(), Vector(0, 0, -1, 0));
    EXPECT_EQ(camera.GetRight(), Vector(1, 0, 0, 0));
    EXPECT_EQ(camera.GetUp(), Vector(0, 1, 0, 0));
    EXPECT_EQ(camera.GetUpPoint(), Vector(0, 1, -5, 0));
    EXPECT_EQ(camera.GetFieldOfView(), 45.0f);
    EXPECT_EQ(camera.GetTag(), 0);
    const float* view = camera.GetViewMatrix();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(view[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
}

TEST_F(Camera, SetEyeReaimsAtTheTarget)
{
    camera.SetEye({0, 0, 5, 0});
    ExpectNear(camera.GetDirection(), {0, 0, -1, 0});
    ExpectNear(camera.GetRight(), {1, 0, 0, 0});
    ExpectNear(camera.GetUp(), {0, 1, 0, 0});
    ExpectNear(camera.GetUpPoint(), {0, 1, 5, 0});
    EXPECT_EQ(camera.GetTarget(), Vector(0, 0, 0, 0));
}

TEST_F(Camera, SetTargetReaimsFromTheEye)
{
    camera.SetEye({0, 0, 0, 0});
    camera.SetTarget({3, 0, 0, 0});
    ExpectNear(camera.GetDirection(), {1, 0, 0, 0});
    ExpectNear(camera.GetRight(), {0, 0, 1, 0});
    ExpectNear(camera.GetUp(), {0, 1, 0, 0});
    ExpectNear(camera.GetUpPoint(), {0, 1, 0, 0});
}

TEST_F(Camera, SetDirectionMovesTheTargetByTheUnnormalisedVector)
{
    camera.SetEye({0, 0, 5, 0});
    camera.SetDirection({0, 0, -2, 0});
    ExpectNear(camera.GetTarget(), {0, 0, 3, 0});
    ExpectNear(camera.GetDirection(), {0, 0, -1, 0});
    ExpectNear(camera.GetUpPoint(), {0, 1, 5, 0});
}

TEST_F(Camera, SetUpKeepsATiltedUpVectorAsGiven)
{
    camera.SetEye({0, 0, 5, 0});
    // The up vector leans along the view and is not re-orthogonalised.
    camera.SetUp({0, 2, -2, 0});
    ExpectNear(camera.GetUpPoint(), {0, 2, 3, 0});
    ExpectNear(camera.GetUp(), {0, 0.70710678f, -0.70710678f, 0});
    ExpectNear(camera.GetRight(), {1, 0, 0, 0});
    ExpectNear(camera.GetDirection(), {0, 0, -1, 0});
}

TEST_F(Camera, SetUpPointTakesUpFromTheEye)
{
    camera.SetUpPoint({1, 0, -5, 0});
    ExpectNear(camera.GetUp(), {1, 0, 0, 0});
    ExpectNear(camera.GetRight(), {0, -1, 0, 0});
    EXPECT_EQ(camera.GetUpPoint(), Vector(1, 0, -5, 0));
}

TEST_F(Camera, FrustumFollowsTheFrameWhenAskedFor)
{
    // Default frame: the eye at z = -5 looks towards +z.
    IFrustum* frustum = camera.GetFrustum();
    EXPECT_EQ(frustum->TestPoint({0, 0, 0, 1}), IFrustum::Inside);
    EXPECT_EQ(frustum->TestPoint({0, 0, -10, 1}), IFrustum::Outside);
    camera.SetEye({0, 0, 5, 0});
    EXPECT_EQ(camera.GetFrustum(), frustum);
    EXPECT_EQ(frustum->TestPoint({0, 0, -10, 1}), IFrustum::Inside);
    EXPECT_EQ(frustum->TestPoint({0, 0, 10, 1}), IFrustum::Outside);
}

TEST_F(Camera, EverySetterMakesTheFrustumFollowTheNewFrame)
{
    // From the eye at z = 5 looking along -z (4:3, 45 degrees: 10 units ahead the frustum is
    // 8.28 high and 11.05 wide), each setter moves the frame so that the probe changes sides.
    const struct { const char* setter; void (*change)(ICamera&); Vector probe; } cases[] = {
        {"SetEye", [](ICamera& c) { c.SetEye({0, 0, -5, 0}); }, {0, 0, 5, 1}},
        {"SetTarget", [](ICamera& c) { c.SetTarget({0, 0, 10, 0}); }, {0, 0, 8, 1}},
        {"SetDirection", [](ICamera& c) { c.SetDirection({1, 0, 0, 0}); }, {8, 0, 5, 1}},
        // Rolled a quarter turn, the wide side of the frustum runs along y.
        {"SetUp", [](ICamera& c) { c.SetUp({1, 0, 0, 0}); }, {0, 5, -5, 1}},
        {"SetUpPoint", [](ICamera& c) { c.SetUpPoint({1, 0, 5, 0}); }, {0, 5, -5, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setter);
        k_Camera fresh(&engine);
        fresh.SetEye({0, 0, 5, 0});
        IFrustum* frustum = fresh.GetFrustum();
        EXPECT_EQ(frustum->TestPoint(c.probe), IFrustum::Outside);
        c.change(fresh);
        EXPECT_EQ(fresh.GetFrustum()->TestPoint(c.probe), IFrustum::Inside);
    }
}

TEST_F(Camera, FrustumReachesFurtherThanTheProjectionAndKeepsItsAngle)
{
    camera.SetEye({0, 0, 5, 0});  // looking along -z
    camera.SetFieldOfView(10);
    IFrustum* frustum = camera.GetFrustum();
    EXPECT_EQ(frustum->TestPoint({0, 0, 5 - 900, 1}), IFrustum::Inside);
    EXPECT_EQ(frustum->TestPoint({0, 0, 5 - 1100, 1}), IFrustum::Outside);
    EXPECT_EQ(frustum->TestPoint({0, 0, 5 - 0.05f, 1}), IFrustum::Outside);
    // Still 45 degrees: 10 units ahead the frustum is 2 * 10 * tan(22.5) = 8.28 units high.
    EXPECT_EQ(frustum->TestPoint({0, 4, -5, 1}), IFrustum::Inside);
    EXPECT_EQ(frustum->TestPoint({0, 4.3f, -5, 1}), IFrustum::Outside);
}

TEST_F(Camera, AnEyeOnTheTargetOrAnUpAlongTheViewKeepsTheLastOrientation)
{
    camera.SetEye({0, 0, 5, 0});
    camera.SetEye({0, 0, 0, 0});  // on the target: no direction to take
    ExpectNear(camera.GetDirection(), {0, 0, -1, 0});
    ExpectNear(camera.GetUp(), {0, 1, 0, 0});
    ExpectNear(camera.GetRight(), {1, 0, 0, 0});
    ExpectNear(camera.GetUpPoint(), {0, 1, 0, 0});
    camera.SetUp({0, 0, 3, 0});   // along the view: no right vector
    ExpectNear(camera.GetUp(), {0, 1, 0, 0});
    ExpectNear(camera.GetRight(), {1, 0, 0, 0});
    camera.SetDirection({0, 5, 0, 0});  // along the up vector: the old frame stays
    ExpectNear(camera.GetDirection(), {0, 1, 0, 0});
    ExpectNear(camera.GetUp(), {0, 1, 0, 0});
    ExpectNear(camera.GetRight(), {1, 0, 0, 0});
    // The frame recovers as soon as the vectors make sense again.
    camera.SetEye({0, 0, 0, 0});
    camera.SetTarget({0, 0, -4, 0});
    ExpectNear(camera.GetDirection(), {0, 0, -1, 0});
    ExpectNear(camera.GetUp(), {0, 1, 0, 0});
    ExpectNear(camera.GetRight(), {1, 0, 0, 0});
}

}  // namespace
