// The overlay worlds drawn over a grey frame, with the real content of data.pak: the plasma and
// its fade colour, the drift feedback buffer, and the logo of the after world.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/ITimeline.h"
#include "core/IRenderTarget.h"
#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "core/ITexture.h"
#include "scene/k_Renderable.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"
#include "demo/k_AfterWorld.h"
#include "demo/k_DriftWorld.h"
#include "demo/k_PlasmaWorld.h"

namespace {

using Rgba = std::array<int, 4>;
const Rgba kGrey = {64, 64, 64, 255};

// Fills the whole viewport with one colour, without a material, and counts its draws.
class FlatQuad : public k_Renderable {
public:
    FlatQuad(IEngine* engine, float r, float g, float b) : k_Renderable(engine), m_colour{r, g, b} {}

    void DrawStage(Stage stage) override
    {
        if (stage != Geometry) return;
        ++draws;
        glUseProgram(0);
        ResetToPlainDrawing();
        glDepthMask(GL_TRUE);
        glColor4f(m_colour[0], m_colour[1], m_colour[2], 1);
        glBegin(GL_QUADS);
        glVertex2f(-1, -1), glVertex2f(1, -1), glVertex2f(1, 1), glVertex2f(-1, 1);
        glEnd();
    }

    int draws = 0;

private:
    float m_colour[3];
};

class Overlays : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        UseBuiltArchive();
        const float grey[4] = {64 / 255.0f, 64 / 255.0f, 64 / 255.0f, 1};
        beneath = std::make_unique<k_World>(engine.get(), "Beneath");
        beneath->SetClearColor(grey);
        engine->AddWorld(beneath.get());
    }

    void TearDown() override
    {
        ExpectNoGlErrors();
        EXPECT_EQ(log.Count(Log::Level::Error) + log.Count(Log::Level::Warning), 0) << log.Lines().front();
        GlTest::TearDown();
    }

    // Adds the world to the engine; every world here must load its content cleanly.
    template <typename World>
    World* Add(std::unique_ptr<World> world)
    {
        World* added = world.get();
        worlds.push_back(std::move(world));
        engine->AddWorld(added);
        return added;
    }

    void Frame()
    {
        glFrontFace(GL_CW);
        engine->Advance(0.04);
    }

    static bool AllPixelsAre(const Rgba& colour, int tolerance = 1)
    {
        for (int y = 4; y < kHeight; y += 16)
            for (int x = 4; x < kWidth; x += 16) {
                const Rgba p = Pixel(x, y);
                for (int c = 0; c < 3; ++c)
                    if (std::abs(p[c] - colour[c]) > tolerance) return false;
            }
        return true;
    }

    LogCapture log;
    std::unique_ptr<k_World> beneath;
    std::vector<std::unique_ptr<IWorld>> worlds;
};

TEST_F(Overlays, PlasmaShowsThroughWhenOffAndTransparentCoversWithItsFadeColourAndDrawsAPatternWhenOn)
{
    k_PlasmaWorld* plasma = Add(std::make_unique<k_PlasmaWorld>(engine.get()));
    IShaderProgram* program = plasma->GetProgram();
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->GetInt("disablePlasma"), 1);
    EXPECT_FLOAT_EQ(program->GetVector4("fadeColor").w, 0.5f);

    const float transparent[4] = {0, 0, 0, 0};
    program->SetVector("fadeColor", transparent, 4);
    Frame();
    EXPECT_TRUE(AllPixelsAre(kGrey)) << "the frame beneath changed";

    const float white[4] = {1, 1, 1, 1};
    program->SetVector("fadeColor", white, 4);
    Frame();
    EXPECT_TRUE(AllPixelsAre({255, 255, 255, 255}));

    program->SetVector("fadeColor", transparent, 4);
    program->SetInt("disablePlasma", 0);
    Frame();
    int lowest = 255, highest = 0;
    for (int y = 10; y < kHeight; y += 20)
        for (int x = 10; x < kWidth; x += 20) {
            const Rgba p = Pixel(x, y);
            lowest = std::min(lowest, p[0] + p[1] + p[2]);
            highest = std::max(highest, p[0] + p[1] + p[2]);
        }
    EXPECT_GT(highest - lowest, 60) << "no pattern";
}

TEST_F(Overlays, DriftStampsANewRenderableOnceAndKeepsItsTraceWithoutClearingAgain)
{
    auto drift = std::make_unique<k_DriftWorld>(engine.get());
    IRenderTarget* target = engine->GetResourceFactory()->CreateRenderTargetWithOption(64, 64, ITexture::RgbaFloat);
    drift->SetRenderTarget(target);
    FlatQuad stamp(engine.get(), 1, 0.8f, 0.2f);
    drift->AddRenderable(&stamp);
    k_DriftWorld* world = Add(std::move(drift));
    target->Unbind();
    EXPECT_EQ(world->GetTargetFlags(), IRenderTarget::WorldDefault);

    Frame();
    EXPECT_EQ(stamp.draws, 1);
    EXPECT_FALSE(stamp.IsVisible());
    EXPECT_EQ(world->GetTargetFlags(), IRenderTarget::ClearDepth | IRenderTarget::DrawAll);
    const Rgba first = Pixel(kWidth / 2, kHeight / 2);
    EXPECT_GT(first[0], kGrey[0] + 100) << "the stamp is not shown";

    for (int i = 0; i < 3; ++i) Frame();
    EXPECT_EQ(stamp.draws, 1) << "a stamped renderable was drawn again";
    const Rgba later = Pixel(kWidth / 2, kHeight / 2);
    EXPECT_GT(later[0], kGrey[0] + 20) << "the buffer was cleared";
    EXPECT_LT(later[0], first[0]) << "the trace does not fade";
    world->RemoveRenderable(&stamp);
}

TEST_F(Overlays, TheLogoIsInvisibleAtAlphaZeroAndBrightAboveTheMiddleAtOne)
{
    k_AfterWorld* after = Add(std::make_unique<k_AfterWorld>(engine.get()));
    ASSERT_NE(after->GetLogo(), nullptr);
    ASSERT_EQ(after->GetRenderables().size(), 1u);
    Frame();
    EXPECT_TRUE(AllPixelsAre(kGrey));

    after->GetLogoProgram()->SetFloat("alpha", 1);
    Frame();
    int brightAbove = 0, brightBelow = 0;
    for (int y = 0; y < kHeight; y += 2)
        for (int x = 0; x < kWidth; x += 2) {
            const Rgba p = Pixel(x, y);
            if (p[0] > 150) ++(y > kHeight / 2 ? brightAbove : brightBelow);
        }
    EXPECT_GT(brightAbove, 20);
    EXPECT_GT(brightAbove, brightBelow * 4);
}

}  // namespace
