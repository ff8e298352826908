// The world's clear on a real context: colour and depth through the virtual getters.
#include <gtest/gtest.h>

#include "support/GlTest.h"
#include "support/LogCapture.h"
#include "engine/k_World.h"

namespace {

using WorldClear = GlTest;

TEST_F(WorldClear, ClearsColourAndDepthWithDepthWritesOn)
{
    DrainErrors();
    k_World world(engine.get(), "World");
    const float colour[4] = {0, 0, 1, 1};
    world.SetClearColor(colour);
    world.SetClearDepth(0.25f);
    glDepthMask(GL_FALSE);
    world.Clear();
    EXPECT_EQ(Pixel(5, 5), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_NEAR(DepthAt(5, 5), 0.25f, 1e-6f);
    ExpectNoGlErrors();
}

TEST_F(WorldClear, ASubclassChangesWhatIsClearedThroughTheGetters)
{
    struct Tinted : k_World {
        using k_World::k_World;
        const float* GetClearColor() override { return tint; }
        float GetClearDepth() override { return 0.75f; }
        float tint[4] = {1, 0, 0, 1};
    } world(engine.get(), "Tinted");
    world.Clear();
    EXPECT_EQ(Pixel(5, 5), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_NEAR(DepthAt(5, 5), 0.75f, 1e-6f);
    ExpectNoGlErrors();
}

}  // namespace
