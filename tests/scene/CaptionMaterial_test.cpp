// The caption material of data/Common/DistortedQuad.mat on a picture quad in the after world:
// placed in screen space whatever the camera, straight-alpha blended, invisible when faded out.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "core/MaterialPass.h"
#include "scene/k_Camera.h"
#include "scene/k_DistortedQuad.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"
#include "support/ScratchFolder.h"
#include "engine/k_World.h"

namespace {

using Rgba = std::array<int, 4>;
const Rgba kBackground = {64, 64, 64, 255};
const Rgba kWhite = {255, 255, 255, 255};
const Rgba kRed = {255, 0, 0, 255};
const Rgba kBlue = {0, 0, 255, 255};

// The test picture's colour at (u, v), v = 0 being its bottom row.
Rgba PictureAt(double u, double v)
{
    return u < 0.125 ? kBlue : v < 0.5 ? kRed : kWhite;
}

class CaptionMaterial : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        // A 4:1 opaque picture like the demo's captions: white over red, with a blue left end.
        ASSERT_EQ(folder.Run("convert -size 256x64 xc:white -fill red -draw 'rectangle 0,32 255,63' "
                             "-fill blue -draw 'rectangle 0,0 31,63' PNG32:picture.png"),
                  0);
        engine->GetFileSystem()->UseDirectory(folder.Path().wstring());
        texture = engine->GetResourceFactory()->LoadTexture(L"picture.png", L"picture.png");
        ASSERT_NE(texture, nullptr);

        UseSourceData();
        LogCapture log;
        quad = std::make_unique<k_DistortedQuad>(engine.get(), texture);
        EXPECT_EQ(log.Count(Log::Level::Error) + log.Count(Log::Level::Warning), 0) << log.Lines().back();

        const float grey[4] = {64 / 255.0f, 64 / 255.0f, 64 / 255.0f, 1};
        // The after world keeps the terrain's perspective camera; the caption must not depend on it.
        camera = std::make_unique<k_Camera>(engine.get());
        world = std::make_unique<k_World>(engine.get(), "AfterWorld");
        world->SetClearColor(grey);
        world->SetCamera(camera.get());
        world->AddRenderable(quad.get());
        engine->AddWorld(world.get());
        DrainErrors();
    }

    // The quad's buffers go while the context that made them is still current.
    void TearDown() override
    {
        world.reset();
        camera.reset();
        quad.reset();
        GlTest::TearDown();
    }

    // Draws one frame of the after world; the demo winds front faces clockwise.
    void Draw(float alpha, float animPos, GLenum frontFace = GL_CW)
    {
        MaterialPass* pass = quad->GetMaterial()->FindPass(world.get());
        ASSERT_NE(pass, nullptr);
        ASSERT_NE(pass->program, nullptr);
        pass->program->SetFloat("alpha", alpha);
        pass->program->SetFloat("animPos", animPos);
        glFrontFace(frontFace);
        engine->Advance(0.01);
        EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
    }

    static int Covered(const std::vector<Rgba>& frame)
    {
        return static_cast<int>(std::count_if(frame.begin(), frame.end(), [](const Rgba& p) { return p != kBackground; }));
    }

    static std::vector<Rgba> Frame()
    {
        std::vector<unsigned char> bytes(kWidth * kHeight * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
        std::vector<Rgba> pixels(kWidth * kHeight);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = {bytes[4 * i], bytes[4 * i + 1], bytes[4 * i + 2], bytes[4 * i + 3]};
        return pixels;
    }

    ScratchFolder folder;
    ITexture* texture = nullptr;
    std::unique_ptr<k_DistortedQuad> quad;
    std::unique_ptr<k_Camera> camera;
    std::unique_ptr<k_World> world;
};

TEST_F(CaptionMaterial, AtRestThePictureIsCentredThreeQuartersWideWithItsOwnShape)
{
    for (const GLenum frontFace : {GL_CW, GL_CCW}) {
        SCOPED_TRACE(frontFace == GL_CW ? "clockwise front faces" : "counter-clockwise front faces");
        Draw(1, 1, frontFace);
        const std::vector<Rgba> frame = Frame();
        int left = kWidth, right = -1, bottom = kHeight, top = -1;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                if (frame[y * kWidth + x] == kBackground) continue;
                left = std::min(left, x), right = std::max(right, x);
                bottom = std::min(bottom, y), top = std::max(top, y);
            }
        // 3/4 of 320 wide; 240 / 4 tall on a 4:3 screen, so 60 of the 240 rows.
        EXPECT_NEAR(right - left + 1, 240, 2);
        EXPECT_NEAR(left, kWidth - 1 - right, 1) << "not centred horizontally";
        EXPECT_NEAR(top - bottom + 1, 60, 2);
        EXPECT_NEAR(bottom, kHeight - 1 - top, 1) << "not centred vertically";
        // Upright and unmirrored, shown as it is away from the filtered edges between colours.
        for (int x = left; x <= right; x += 3)
            for (int y = bottom; y <= top; y += 3) {
                const double u = (x + 0.5 - left) / (right + 1 - left), v = (y + 0.5 - bottom) / (top + 1 - bottom);
                if (std::abs(u - 0.125) < 0.02 || std::abs(v - 0.5) < 0.05) continue;
                ASSERT_EQ(frame[y * kWidth + x], PictureAt(u, v)) << x << "," << y;
            }
    }
}

// A caption whose event sets neither value (no fade in) is shown at rest, not left invisible.
TEST_F(CaptionMaterial, UntouchedItIsShownAtRest)
{
    glFrontFace(GL_CW);
    engine->Advance(0.01);
    const std::vector<Rgba> untouched = Frame();
    Draw(1, 1);
    EXPECT_GT(Covered(untouched), 0);
    EXPECT_TRUE(untouched == Frame());
}

TEST_F(CaptionMaterial, FadedOrNotYetEnteredItDrawsNothing)
{
    const struct {
        float alpha, animPos;
    } cases[] = {{0, 1}, {0, 0.5f}, {1, 0}};
    for (const auto& c : cases) {
        Draw(c.alpha, c.animPos);
        EXPECT_EQ(Covered(Frame()), 0) << "alpha " << c.alpha << ", animPos " << c.animPos;
    }
}

TEST_F(CaptionMaterial, AlphaBlendsThePictureOverWhatLiesBelow)
{
    Draw(0.5f, 1);
    const Rgba white = Pixel(kWidth / 2, kHeight / 2 + 15);
    for (int channel = 0; channel < 3; ++channel) EXPECT_NEAR(white[channel], (255 + 64) / 2, 2);
}

TEST_F(CaptionMaterial, MidEntranceThePictureIsOnTheWayButNotComplete)
{
    Draw(1, 0.5f);
    const int entering = Covered(Frame());
    Draw(1, 1);
    const int resting = Covered(Frame());
    EXPECT_GT(entering, 0);
    EXPECT_LT(entering, resting * 9 / 10);
}

TEST_F(CaptionMaterial, TheDriftWorldThatTakesOverAPictureUsesTheSamePass)
{
    k_World drift(engine.get(), "Drift");
    EXPECT_EQ(quad->GetMaterial()->FindPass(&drift), quad->GetMaterial()->FindPass(world.get()));
}

}  // namespace
