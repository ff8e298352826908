// Renderables drawn on a real context: the transform order, the stages and hooks of visible and
// hidden objects, children, and camera-attached placement.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/IRenderHook.h"
#include "scene/k_Camera.h"
#include "scene/k_CameraAttachedRenderable.h"
#include "scene/k_EmptyRenderable.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"
#include "engine/k_World.h"

namespace {

using Journal = std::vector<std::string>;

// Journals its stages and keeps the modelview matrix current at the Geometry stage.
class Probe : public k_Renderable {
public:
    Probe(IEngine* engine, const std::string& name, Journal& journal) : k_Renderable(engine), name(name), journal(journal) {}
    void DrawStage(Stage stage) override
    {
        journal.push_back(name + " " + std::to_string(stage));
        if (stage == Geometry) glGetFloatv(GL_MODELVIEW_MATRIX, modelView.m);
    }
    std::string name;
    Journal& journal;
    Matrix modelView;
};

struct Hook : IRenderHook {
    Hook(const std::string& name, Journal& journal) : name(name), journal(journal) {}
    void BeforeRender(IRenderable*) override { journal.push_back(name + " before"); }
    void AfterRender(IRenderable*) override { journal.push_back(name + " after"); }
    std::string name;
    Journal& journal;
};

class RenderableDrawing : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        DrainErrors();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    static GLint StackDepth()
    {
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        return depth;
    }

    Journal journal;
};

// Quaternions from an axis normalise it with an approximate reciprocal square root.
void ExpectNear(const Vector& actual, const Vector& expected, float tolerance = 2e-3f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST_F(RenderableDrawing, AFreshRenderableDrawsWithTheIdentity)
{
    Probe probe(engine.get(), "p", journal);
    probe.Render();
    EXPECT_EQ(probe.modelView, Matrix());
    EXPECT_EQ(StackDepth(), 1);
    ExpectNoGlErrors();
}

TEST_F(RenderableDrawing, RotationActsBeforeScaleSoTheTurnedVertexLandsOnMinusY)
{
    Probe probe(engine.get(), "p", journal);
    probe.SetRotation(Quaternion::FromAxisAngle({0, 0, 1, 0}, 90));
    probe.SetScale({2, 1, 1, 1});
    probe.Render();
    ExpectNear(probe.modelView * Vector(1, 0, 0, 1), {0, -1, 0});
    ExpectNear(probe.modelView * Vector(0, 1, 0, 1), {2, 0, 0});  // the scale acts along the parent's x
    ExpectNoGlErrors();
}

TEST_F(RenderableDrawing, TheTurnedVertexIsDrawnWhereExpected)
{
    // One point at (1, 0, 0) in the object's frame, seen through a 4 x 4 unit orthographic window.
    struct Point : k_Renderable {
        using k_Renderable::k_Renderable;
        void DrawStage(Stage stage) override
        {
            if (stage != Geometry) return;
            glPointSize(3);
            glBegin(GL_POINTS);
            glVertex3f(1, 0, 0);
            glEnd();
        }
    } point(engine.get());
    point.SetRotation(Quaternion::FromAxisAngle({0, 0, 1, 0}, 90));
    point.SetScale({2, 1, 1, 1});
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    point.Render();
    // (0, -1) lies half-way between the centre and the bottom edge.
    EXPECT_EQ(Pixel(kWidth / 2, kHeight / 4)[0], 255);
    EXPECT_EQ(Pixel(kWidth / 2, kHeight / 2)[0], 0);
    EXPECT_EQ(Pixel(kWidth * 3 / 4, kHeight / 2)[0], 0);  // where an unturned vertex would be
    ExpectNoGlErrors();
}

TEST_F(RenderableDrawing, LocalMatrixThenRotationThenScaleThenTranslation)
{
    Probe probe(engine.get(), "p", journal);
    probe.SetLocalMatrix(Matrix::Translation(1, 0, 0).Data());
    probe.SetRotation(Quaternion::FromAxisAngle({0, 0, 1, 0}, 90));
    probe.SetScale({2, 1, 1, 1});
    probe.SetPosition({10, 0, 0, 1});
    probe.Render();
    ExpectNear(probe.modelView * Vector(0, 0, 0, 1), {10, -1, 0});
    ExpectNear(probe.modelView * Vector(0, 1, 0, 1), {12, -1, 0});
    ExpectNoGlErrors();
}

TEST_F(RenderableDrawing, ChildrenInheritTheWholeTransform)
{
    k_EmptyRenderable parent(engine.get());
    Probe child(engine.get(), "c", journal);
    parent.SetPosition({0, 5, 0, 1});
    parent.SetScale({3, 3, 3, 1});
    child.SetPosition({1, 0, 0, 1});
    parent.AddChild(&child);
    parent.Render();
    ExpectNear(child.modelView * Vector(0, 0, 0, 1), {3, 5, 0});
    EXPECT_EQ(StackDepth(), 1);
    ExpectNoGlErrors();
}

TEST_F(RenderableDrawing, VisibleObjectsRunStagesHooksAndChildrenInOrder)
{
    Probe parent(engine.get(), "parent", journal), child(engine.get(), "child", journal);
    Hook h1("h1", journal), h2("h2", journal);
    parent.AddRenderHook(&h1);
    parent.AddRenderHook(&h2);
    parent.AddChild(nullptr);  // skipped
    parent.AddChild(&child);
    parent.Render();
    EXPECT_EQ(journal, (Journal{"parent 0", "h1 before", "h2 before", "parent 1", "child 0", "child 1", "child 2",
                                "parent 2", "h1 after", "h2 after"}));
    ExpectNoGlErrors();
}

TEST_F(RenderableDrawing, HiddenObjectsStillRunStagesZeroAndTwoAndTheirHooks)
{
    Probe parent(engine.get(), "parent", journal), child(engine.get(), "child", journal);
    Hook hook("hook", journal);
    parent.AddRenderHook(&hook);
    parent.AddChild(&child);
    parent.SetVisible(false);
    parent.Render();
    EXPECT_EQ(journal, (Journal{"parent 0", "hook before", "parent 2", "hook after"}));
    EXPECT_EQ(StackDepth(), 1);
    ExpectNoGlErrors();
}

TEST_F(RenderableDrawing, StageZeroRunsBeforeTheTransformIsApplied)
{
    struct Mover : Probe {
        using Probe::Probe;
        void DrawStage(Stage stage) override
        {
            if (stage == BeforeTransform) {
                glGetFloatv(GL_MODELVIEW_MATRIX, atStageZero.m);
                SetPosition({0, 7, 0, 1});
            }
            Probe::DrawStage(stage);
        }
        Matrix atStageZero;
    } mover(engine.get(), "m", journal);
    mover.SetPosition({1, 1, 1, 1});
    mover.Render();
    EXPECT_EQ(mover.atStageZero, Matrix());
    ExpectNear(mover.modelView * Vector(0, 0, 0, 1), {0, 7, 0});
    ExpectNoGlErrors();
}

// Camera-attached placement: whatever the camera's frame, the first child sits at
// (horizontal, vertical, -distance) in eye space, facing the camera.
TEST_F(RenderableDrawing, CameraAttachedChildSitsInFrontOfTheEyeFacingIt)
{
    const struct { Vector eye, target; } frames[] = {
        {{0, 0, 5, 0}, {0, 0, 0, 0}},
        {{3, 1, 4, 0}, {0, 0, 0, 0}},
        {{-2, 6, -1, 0}, {1, 0, 2, 0}},
    };
    k_World world(engine.get(), "World");
    k_Camera camera(engine.get());
    world.SetCamera(&camera);
    k_CameraAttachedRenderable attached(engine.get(), {0.5f, 0.25f, 2, 0});
    world.AddRenderable(&attached);
    Probe text(engine.get(), "text", journal), second(engine.get(), "second", journal);
    attached.AddChild(&text);
    attached.AddChild(&second);
    for (const auto& frame : frames) {
        SCOPED_TRACE(testing::Message() << frame.eye.x << "," << frame.eye.y << "," << frame.eye.z);
        camera.SetEye(frame.eye);
        camera.SetTarget(frame.target);
        camera.Apply();
        attached.Render();
        ExpectNear(text.modelView * Vector(0, 0, 0, 1), {0.5f, 0.25f, -2});
        // Facing the camera: the child's axes are the eye's axes.
        ExpectNear(text.modelView * Vector(1, 0, 0, 0), {1, 0, 0});
        ExpectNear(text.modelView * Vector(0, 1, 0, 0), {0, 1, 0});
        // Only the first child is shifted.
        ExpectNear(second.modelView * Vector(0, 0, 0, 1), {0, 0, -2});
    }
    ExpectNoGlErrors();
}

TEST_F(RenderableDrawing, CameraAttachedWithoutWorldOrCameraDrawsItsChildrenUnplaced)
{
    k_CameraAttachedRenderable attached(engine.get(), {0.5f, 0.25f, 2, 0});
    Probe text(engine.get(), "text", journal);
    attached.AddChild(&text);
    attached.Render();
    EXPECT_EQ(text.modelView, Matrix());
    k_World world(engine.get(), "World");
    world.AddRenderable(&attached);
    attached.Render();
    EXPECT_EQ(text.modelView, Matrix());
    k_CameraAttachedRenderable empty(engine.get(), {0, 0, 1, 0});
    world.AddRenderable(&empty);
    k_Camera camera(engine.get());
    world.SetCamera(&camera);
    empty.Render();  // no child: nothing to shift
    ExpectNoGlErrors();
}

}  // namespace
