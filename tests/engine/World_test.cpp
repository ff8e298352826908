// The world base without drawing: defaults, the renderable and light lists, and ownership links.
#include <gtest/gtest.h>

#include "scene/k_EmptyRenderable.h"
#include "scene/k_Light.h"
#include "engine/k_World.h"

namespace {

class World : public ::testing::Test {
protected:
    k_World world{nullptr, "Terrain"};
    k_EmptyRenderable a{nullptr}, b{nullptr};
    k_Light l1{nullptr}, l2{nullptr};
};

TEST_F(World, StartsVisibleActiveAndEmptyWithBlackOpaqueDepth)
{
    EXPECT_EQ(world.GetName(), "Terrain");
    EXPECT_TRUE(world.IsVisible());
    EXPECT_TRUE(world.IsActive());
    EXPECT_TRUE(world.GetRenderables().empty());
    EXPECT_TRUE(world.GetLights().empty());
    EXPECT_EQ(world.GetCamera(), nullptr);
    EXPECT_EQ(world.GetRenderTarget(), nullptr);
    EXPECT_EQ(world.GetLinkedWorld(), nullptr);
    EXPECT_EQ(world.GetTargetFlags(), IRenderTarget::WorldDefault);
    const float* colour = world.GetClearColor();
    EXPECT_EQ((std::vector<float>(colour, colour + 4)), (std::vector<float>{0, 0, 0, 0}));
    EXPECT_EQ(world.GetClearDepth(), 1.0f);
}

TEST_F(World, SetClearColorCopiesTheFourFloats)
{
    float colour[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    world.SetClearColor(colour);
    colour[0] = 9;
    const float* stored = world.GetClearColor();
    EXPECT_EQ((std::vector<float>(stored, stored + 4)), (std::vector<float>{0.1f, 0.2f, 0.3f, 0.4f}));
}

TEST_F(World, AddingARenderableMakesThisWorldItsOwnerAndKeepsDuplicates)
{
    world.AddRenderable(&a);
    world.AddRenderable(&b);
    world.AddRenderable(&a);
    EXPECT_EQ(a.GetWorld(), &world);
    EXPECT_EQ(b.GetWorld(), &world);
    EXPECT_EQ(world.GetRenderables(), (std::vector<IRenderable*>{&a, &b, &a}));
    world.RemoveRenderable(&a);
    EXPECT_EQ(world.GetRenderables(), (std::vector<IRenderable*>{&b, &a}));
    EXPECT_EQ(a.GetWorld(), nullptr);
}

TEST_F(World, RemovingAStrangerClearsItsWorldAndLeavesTheList)
{
    k_World other(nullptr, "Other");
    other.AddRenderable(&b);
    world.AddRenderable(&a);
    world.RemoveRenderable(&b);
    EXPECT_EQ(b.GetWorld(), nullptr);
    EXPECT_EQ(world.GetRenderables(), std::vector<IRenderable*>{&a});
    EXPECT_EQ(other.GetRenderables(), std::vector<IRenderable*>{&b});
}

TEST_F(World, RenderablesAreLiveButLightsAreCopies)
{
    world.AddLight(&l1);
    std::vector<ILight*> earlier = world.GetLights();
    std::vector<ILight*> filled{&l2, &l2, &l2};
    world.CopyLights(filled);
    world.AddLight(&l2);
    world.AddLight(&l1);
    EXPECT_EQ(earlier, std::vector<ILight*>{&l1});
    EXPECT_EQ(filled, std::vector<ILight*>{&l1});
    EXPECT_EQ(world.GetLights(), (std::vector<ILight*>{&l1, &l2, &l1}));

    world.GetRenderables().push_back(&a);
    EXPECT_EQ(world.GetRenderables(), std::vector<IRenderable*>{&a});
}

TEST_F(World, StoresItsLinks)
{
    k_World linked(nullptr, "Reflection");
    world.SetLinkedWorld(&linked);
    const IRenderTarget::Flags flags =
        IRenderTarget::ClearColour | IRenderTarget::DrawAttachment0 | IRenderTarget::DrawAttachment2;
    world.SetTargetFlags(flags);
    world.SetClearDepth(0.25f);
    world.SetVisible(false);
    world.SetActive(false);
    EXPECT_EQ(world.GetLinkedWorld(), &linked);
    EXPECT_EQ(world.GetTargetFlags(), flags);
    EXPECT_EQ(world.GetClearDepth(), 0.25f);
    EXPECT_FALSE(world.IsVisible());
    EXPECT_FALSE(world.IsActive());
}

}  // namespace
