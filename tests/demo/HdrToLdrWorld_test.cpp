// The HDR-to-LDR world with the materials of data/: the chain sizes, the adapted luminance read
// back from its 1 x 1 target, the tone map's inputs and values, and scenes too small for a
// luminance chain.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/IRenderTarget.h"
#include "core/IRenderer.h"
#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "core/MaterialPass.h"
#include "core/ITexture.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"
#include "demo/k_HdrToLdrWorld.h"
#include "engine/k_World.h"

namespace {

class HdrToLdrWorld : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        UseSourceData();
        DrainErrors();
    }

    // A float scene target of the given size; null if not made.
    ITexture* Scene(int width, int height)
    {
        sceneTarget = engine->GetResourceFactory()->CreateRenderTarget(width, height);
        return sceneTarget ? sceneTarget->AddTexture(ITexture::RgbaFloat) : nullptr;
    }

    // Fills a scene target with one grey level (its luminance).
    void FillScene(float grey) { Fill(sceneTarget, grey); }
    void Fill(IRenderTarget* target, float grey)
    {
        k_World fill(engine.get(), "Fill");
        const float colour[4] = {grey, grey, grey, 1};
        fill.SetClearColor(colour);
        ScopedCurrentWorld current(engine->GetRenderer(), &fill);
        target->Bind(IRenderTarget::WorldDefault);
        target->Unbind();
    }

    static float Red(ITexture* texture)
    {
        float rgb[3] = {-1, -1, -1};
        texture->Bind(0);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, rgb);
        return rgb[0];
    }

    static std::vector<int> Sizes(const std::vector<k_HdrToLdrWorld::Level>& chain)
    {
        std::vector<int> sizes;
        for (const k_HdrToLdrWorld::Level& level : chain) {
            EXPECT_EQ(level.target->GetWidth(), level.target->GetHeight());
            sizes.push_back(level.target->GetWidth());
        }
        return sizes;
    }

    IRenderTarget* sceneTarget = nullptr;
};

TEST_F(HdrToLdrWorld, ChainsFollowTheSmallerSideOfTheScene)
{
    struct Case {
        int width, height;
        std::vector<int> luminance, glow;
    };
    const Case cases[] = {
        {1024, 768, {48, 12, 3, 1}, {768, 384, 192}},
        {1920, 1080, {67, 16, 4, 1}, {1080, 540, 270}},
        {64, 40, {2, 1}, {40, 20, 10}},
        // Below 8 pixels there is no chain; glow targets never shrink below 1 x 1.
        {6, 6, {}, {6, 3, 1}},
        {2, 3, {}, {2, 1, 1}},
    };
    for (const Case& c : cases) {
        k_HdrToLdrWorld world(engine.get(), Scene(c.width, c.height));
        world.Initialize();
        EXPECT_EQ(Sizes(world.GetLuminanceChain()), c.luminance) << c.width << "x" << c.height;
        EXPECT_EQ(Sizes(world.GetGlowChain()), c.glow) << c.width << "x" << c.height;
    }
    ExpectNoGlErrors();
}

TEST_F(HdrToLdrWorld, AdaptedLuminanceMovesTowardsTheScene)
{
    k_HdrToLdrWorld world(engine.get(), Scene(96, 64));
    LogCapture log;
    engine->AddWorld(&world);
    FillScene(0.25f);
    // The first frame starts from an eye adapted to the dark (the tone map's floor of 0.02), and
    // ten seconds settle it on the scene's log-average luminance.
    engine->Advance(0.1);
    EXPECT_NEAR(Red(world.GetAdaptedLuminance().texture), 0.0224f, 0.001f);
    for (int frame = 0; frame < 100; ++frame) engine->Advance(0.1);
    const float settled = Red(world.GetAdaptedLuminance().texture);
    EXPECT_NEAR(settled, 0.25f, 0.01f);

    // Three seconds of a scene three stops brighter: the adaption rises every frame and ends
    // past half way (in stops) without overshooting.
    FillScene(2.0f);
    std::vector<float> adapted{settled};
    for (int frame = 0; frame < 30; ++frame) {
        engine->Advance(0.1);
        adapted.push_back(Red(world.GetAdaptedLuminance().texture));
    }
    for (size_t i = 1; i < adapted.size(); ++i) {
        EXPECT_GT(adapted[i], adapted[i - 1] + 0.01f) << "frame " << i;
        EXPECT_LT(adapted[i], 2.0f) << "frame " << i;
    }
    EXPECT_GT(adapted.back(), 1.0f);
    EXPECT_FALSE(log.Contains("OPENGL :: ERROR")) << log.Lines().back();
    ExpectNoGlErrors();
}

TEST_F(HdrToLdrWorld, ToneMapReadsTheSceneTheNewAdaptedLuminanceAndTheSmallestGlow)
{
    ITexture* scene = Scene(96, 64);
    k_HdrToLdrWorld world(engine.get(), scene);
    engine->AddWorld(&world);
    IResourceFactory* factory = engine->GetResourceFactory();
    MaterialPass* toneMap = factory->LoadMaterial(L"Hdr/HdrToLdr.mat", L"Hdr/HdrToLdr.mat")->FindPass(&world);
    MaterialPass* glow = factory->LoadMaterial(L"Hdr/Glow.mat", L"Hdr/Glow.mat")->FindPass(&world);
    ASSERT_TRUE(toneMap && toneMap->program && glow && glow->program);
    const struct {
        IShaderProgram* program;
        const char* uniform;
        float value;
    } uniforms[] = {{toneMap->program, "Exposure", 1.0f}, {glow->program, "Exposure", 1.0f},
                    {glow->program, "GlowStrength", 0.25f}};

    FillScene(0.25f);
    std::vector<ITexture*> adapted;
    for (int frame = 0; frame < 3; ++frame) {
        engine->Advance(0.1);
        EXPECT_EQ(toneMap->textures[0].texture, scene) << "frame " << frame;
        EXPECT_EQ(toneMap->textures[1].texture, world.GetAdaptedLuminance().texture) << "frame " << frame;
        // This frame's result, not last frame's: the first has left the cleared target's black.
        if (frame == 0) {
            EXPECT_GT(Red(toneMap->textures[1].texture), 0.02f);
        }
        ASSERT_NE(toneMap->textures[2].texture, nullptr);
        EXPECT_EQ(toneMap->textures[2].texture, world.GetGlowChain().back().texture) << "frame " << frame;
        EXPECT_EQ(toneMap->textures[2].texture->GetWidth(), 16) << "a quarter of the smaller side, blurred";
        for (const auto& u : uniforms) EXPECT_EQ(u.program->GetFloat(u.uniform), u.value) << u.uniform;
        adapted.push_back(toneMap->textures[1].texture);
    }
    EXPECT_NE(adapted[0], adapted[1]);
    EXPECT_EQ(adapted[0], adapted[2]);
    ExpectNoGlErrors();
}

TEST_F(HdrToLdrWorld, TinyScenesDrawWithoutErrors)
{
    k_HdrToLdrWorld two(engine.get(), Scene(2, 2));
    IRenderTarget* twoTarget = sceneTarget;
    k_HdrToLdrWorld six(engine.get(), Scene(6, 6));
    LogCapture log;
    engine->AddWorld(&two);
    engine->AddWorld(&six);
    Fill(twoTarget, 0.5f);
    FillScene(0.5f);
    for (int frame = 0; frame < 3; ++frame) engine->Advance(0.1);
    EXPECT_FALSE(log.Contains("OPENGL :: ERROR")) << log.Lines().back();
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
    for (k_HdrToLdrWorld* world : {&two, &six}) {
        const int side = world == &two ? 2 : 6;
        for (const k_HdrToLdrWorld::Level& level : world->GetGlowChain()) {
            level.target->Bind(IRenderTarget::None);
            EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT))
                << side << " px";
            level.target->Unbind();
        }
        // Without a current luminance the adaption keeps a finite value.
        EXPECT_TRUE(std::isfinite(Red(world->GetAdaptedLuminance().texture))) << side << " px";
    }
}

}  // namespace
