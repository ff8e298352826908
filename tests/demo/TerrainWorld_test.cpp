// The terrain world through the HDR world, with the materials of data/: the reflection step puts
// the terrain back as it found it, and the frame shows sky above land and water that move with
// demo time.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/ITimeline.h"
#include "core/IRenderer.h"
#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "core/IShaderProgram.h"
#include "core/MaterialPass.h"
#include "core/IMeshBuffer.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"
#include "demo/FirstPass.h"
#include "demo/TerrainScene.h"

namespace {

using Rgb = std::array<double, 3>;

class TerrainWorld : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        UseSourceData();
        glFrontFace(GL_CW);  // as the demo draws
        DrainErrors();
        scene = AddTerrainScene(engine.get());
        terrain = dynamic_cast<IRenderable*>(scene.terrain->GetTerrain());
        ASSERT_NE(terrain, nullptr);
        pass = FirstPass(terrain);
        ASSERT_NE(pass, nullptr);
        ASSERT_NE(pass->program, nullptr);
    }

    // Plays up to demo time t in steps of a second at most, so the exposure adapts as it does
    // while the demo plays, the last few short.
    void PlayTo(double t)
    {
        for (double now = engine->GetTimeline()->GetTime(); now < t - 0.5; now = engine->GetTimeline()->GetTime())
            engine->Advance(std::min(1.0, t - 0.5 - now));
        for (int i = 0; i < 5; ++i) engine->Advance(0.1);
    }

    // Mean colour of the window's rows [y0, y1), 0..255 per channel.
    static Rgb MeanOfRows(int y0, int y1)
    {
        std::vector<unsigned char> bytes(kWidth * (y1 - y0) * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, y0, kWidth, y1 - y0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
        Rgb sum = {0, 0, 0};
        for (size_t i = 0; i < bytes.size(); i += 4)
            for (int c = 0; c < 3; ++c) sum[c] += bytes[i + c];
        const double count = static_cast<double>(bytes.size() / 4);
        return {sum[0] / count, sum[1] / count, sum[2] / count};
    }

    static double Difference(const Rgb& a, const Rgb& b)
    {
        return std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]);
    }

    TerrainScene scene;
    IRenderable* terrain = nullptr;
    MaterialPass* pass = nullptr;
};

TEST_F(TerrainWorld, ReflectionLeavesTheTerrainAsItFoundIt)
{
    engine->Advance(0.1);
    const Vector position = terrain->GetPosition();
    const Matrix local = terrain->GetLocalMatrix();
    {
        ScopedCurrentWorld current(engine->GetRenderer(), scene.terrain.get());
        scene.terrain->GetSecondStep()->Render();
    }
    const Vector after = terrain->GetPosition();
    EXPECT_EQ(std::vector<float>(after.Data(), after.Data() + 4), std::vector<float>(position.Data(), position.Data() + 4));
    const Matrix afterLocal = terrain->GetLocalMatrix();
    EXPECT_EQ(std::vector<float>(afterLocal.Data(), afterLocal.Data() + 16),
              std::vector<float>(local.Data(), local.Data() + 16));
    EXPECT_EQ(pass->cullFace, GL_BACK);
    EXPECT_EQ(pass->program->GetInt("fogEnabled"), 1);
    EXPECT_EQ(pass->program->GetInt("clipPlaneEnabled"), 1);
    // The refraction left the clear colour at zero; the reflection put the sky back.
    const float* clear = scene.terrain->GetClearColor();
    EXPECT_EQ(std::vector<float>(clear, clear + 4), (std::vector<float>{0.7f, 0.8f, 0.9f, 1.0f}));
}

TEST_F(TerrainWorld, SkyAboveLandAndWaterThatMoveWithDemoTime)
{
    LogCapture log;
    PlayTo(40);
    const Rgb sky = MeanOfRows(kHeight - 8, kHeight);
    const Rgb ground = MeanOfRows(0, kHeight / 5);
    PlayTo(55);
    const Rgb laterGround = MeanOfRows(0, kHeight / 5);

    // A light blue sky: blue over red, bright, and plainly not the land and water below it.
    EXPECT_GT(sky[2], sky[0] + 10) << sky[0] << " " << sky[1] << " " << sky[2];
    EXPECT_GT(sky[0] + sky[1] + sky[2], 3 * 120.0);
    EXPECT_GT(Difference(sky, ground), 60.0) << ground[0] << " " << ground[1] << " " << ground[2];
    // Land and water are darker than the sky and not grey: green or blue over red.
    EXPECT_LT(ground[0] + ground[1] + ground[2], sky[0] + sky[1] + sky[2]);
    EXPECT_GT(std::max(ground[1], ground[2]), ground[0] + 5);
    EXPECT_GT(Difference(ground, laterGround), 10.0);
    EXPECT_FALSE(log.Contains("OPENGL :: ERROR")) << log.Lines().back();
    ExpectNoGlErrors();
}

}  // namespace
