// Renderable lists and flags without drawing: children, hooks, worlds and the initial transform.
#include <gtest/gtest.h>

#include "core/IRenderHook.h"
#include "scene/k_EmptyRenderable.h"
#include "engine/k_World.h"

namespace {

struct NullHook : IRenderHook {
    void BeforeRender(IRenderable*) override {}
    void AfterRender(IRenderable*) override {}
};

class Renderable : public ::testing::Test {
protected:
    k_World world{nullptr, "World"};
    k_EmptyRenderable parent{nullptr}, a{nullptr}, b{nullptr};
};

TEST_F(Renderable, StartsWithTheIdentityTransformVisibleAndShared)
{
    const Quaternion q = parent.GetRotation();
    EXPECT_EQ((std::vector<float>{q.x, q.y, q.z, q.w}), (std::vector<float>{0, 0, 0, 0}));
    EXPECT_EQ(parent.GetScale(), Vector(1, 1, 1, 1));
    EXPECT_EQ(parent.GetPosition(), Vector(0, 0, 0, 1));
    EXPECT_EQ(parent.GetLocalMatrix(), Matrix());
    EXPECT_EQ(q.ToMatrix(), Matrix());  // the zero quaternion turns nothing
    EXPECT_TRUE(parent.IsVisible());
    EXPECT_TRUE(parent.IsShared());
    EXPECT_EQ(parent.GetWorld(), nullptr);
    EXPECT_TRUE(parent.GetChildren().empty());
    EXPECT_TRUE(parent.GetRenderHooks().empty());
}

TEST_F(Renderable, SettersCopyAllFourValuesAndTheMatrix)
{
    parent.SetRotation({1, 2, 3, 4});
    parent.SetScale({2, 3, 4, 5});
    parent.SetPosition({6, 7, 8, 9});
    const Matrix translation = Matrix::Translation(1, 2, 3);
    parent.SetLocalMatrix(translation.Data());
    const Quaternion q = parent.GetRotation();
    EXPECT_EQ((std::vector<float>{q.x, q.y, q.z, q.w}), (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(parent.GetScale(), Vector(2, 3, 4, 5));
    EXPECT_EQ(parent.GetPosition(), Vector(6, 7, 8, 9));
    EXPECT_EQ(parent.GetLocalMatrix(), translation);
}

TEST_F(Renderable, AChildTakesItsParentsWorldAtTheMomentItIsAdded)
{
    parent.AddChild(&a);  // before the parent joins a world
    world.AddRenderable(&parent);
    parent.AddChild(&b);
    EXPECT_EQ(parent.GetWorld(), &world);
    EXPECT_EQ(a.GetWorld(), nullptr);
    EXPECT_EQ(b.GetWorld(), &world);
    EXPECT_EQ(parent.GetChildren(), (std::vector<IRenderable*>{&a, &b}));
}

TEST_F(Renderable, RemoveChildClearsTheWorldEvenOfAStranger)
{
    world.AddRenderable(&parent);
    parent.AddChild(&a);
    parent.AddChild(&b);
    parent.AddChild(&a);
    b.SetWorld(&world);
    k_EmptyRenderable stranger(nullptr);
    stranger.SetWorld(&world);
    parent.RemoveChild(&stranger);
    EXPECT_EQ(stranger.GetWorld(), nullptr);
    EXPECT_EQ(parent.GetChildren(), (std::vector<IRenderable*>{&a, &b, &a}));
    parent.RemoveChild(&a);
    EXPECT_EQ(a.GetWorld(), nullptr);
    EXPECT_EQ(parent.GetChildren(), (std::vector<IRenderable*>{&b, &a}));
}

TEST_F(Renderable, GetChildrenIsACopy)
{
    parent.AddChild(&a);
    std::vector<IRenderable*> children = parent.GetChildren();
    parent.AddChild(&b);
    children.push_back(&parent);
    EXPECT_EQ(children.size(), 2u);
    EXPECT_EQ(parent.GetChildren(), (std::vector<IRenderable*>{&a, &b}));
}

TEST_F(Renderable, HooksAllowDuplicatesAndLoseOnlyTheFirstOccurrence)
{
    NullHook h1, h2, absent;
    parent.AddRenderHook(&h1);
    parent.AddRenderHook(&h2);
    parent.AddRenderHook(&h1);
    parent.RemoveRenderHook(&absent);
    EXPECT_EQ(parent.GetRenderHooks(), (std::vector<IRenderHook*>{&h1, &h2, &h1}));
    parent.RemoveRenderHook(&h1);
    EXPECT_EQ(parent.GetRenderHooks(), (std::vector<IRenderHook*>{&h2, &h1}));
    parent.GetRenderHooks().clear();  // the live list
    EXPECT_TRUE(parent.GetRenderHooks().empty());
}

}  // namespace
