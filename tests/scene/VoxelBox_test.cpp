// The marching-cubes voxel box with its shaders from data/: the lock protocol, the initial
// field, and a sphere's surface drawn and measured.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "core/IResourceFactory.h"
#include "core/IVoxelBox.h"
#include "scene/k_VoxelBox.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"

namespace {

class VoxelBox : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        UseSourceData();
        DrainErrors();
    }

    k_VoxelBox* Make(int x, int y, int z)
    {
        LogCapture log;
        IVoxelBox* box = engine->GetResourceFactory()->CreateVoxelBox(x, y, z);
        EXPECT_EQ(log.Count(Log::Level::Error), 0) << (log.Lines().empty() ? "" : log.Lines().back());
        return dynamic_cast<k_VoxelBox*>(box);
    }
};

std::wstring Thrown(void (*action)(IVoxelBox*), IVoxelBox* box)
{
    try {
        action(box);
    } catch (const wchar_t* message) {
        return message;
    }
    return L"";
}

TEST_F(VoxelBox, LockAndUnlockAlternate)
{
    k_VoxelBox* box = Make(4, 5, 6);
    ASSERT_NE(box, nullptr);
    int x = 0, y = 0, z = 0;
    box->GetDimensions(&x, &y, &z);
    EXPECT_EQ((std::array<int, 3>{x, y, z}), (std::array<int, 3>{4, 5, 6}));

    EXPECT_EQ(Thrown([](IVoxelBox* b) { b->Unlock(); }, box), L"Voxel Box is already unlocked!");
    ASSERT_NE(box->Lock(), nullptr) << "the failed Unlock left it unlocked";
    EXPECT_EQ(Thrown([](IVoxelBox* b) { b->Lock(); }, box), L"Voxel Box is already locked!");
    EXPECT_NO_THROW(box->Unlock()) << "the failed Lock left it locked";
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));

    // Sizes without a cell, and the factory's null for them.
    LogCapture log;
    EXPECT_EQ(engine->GetResourceFactory()->CreateVoxelBox(1, 4, 4), nullptr);
    EXPECT_TRUE(log.Contains("Voxel Box sizes must lie between 2 and 1024!"));
}

TEST_F(VoxelBox, InitialFieldHoldsTheSaddleShape)
{
    ASSERT_NE(Make(2, 2, 2), nullptr);
    // The field texture stays bound on its unit after the upload.
    glActiveTexture(GL_TEXTURE6);
    float field[8] = {};
    glGetTexImage(GL_TEXTURE_3D, 0, GL_ALPHA, GL_FLOAT, field);
    glActiveTexture(GL_TEXTURE0);
    for (int i = 0; i < 8; ++i) {
        const float fx = (i & 1) ? 0.0f : -1.0f, fy = (i & 2) ? 0.0f : -1.0f, fz = (i & 4) ? 0.0f : -1.0f;
        EXPECT_EQ(field[i], 16 * fx * fy * fz + 4 * (fx * fx + fy * fy + fz * fz) - 1) << "sample " << i;
    }
    EXPECT_EQ(field[0], -5);
    EXPECT_EQ(field[7], -1);
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(VoxelBox, SphereCoversItsDiscInAnOrthographicView)
{
    constexpr int kSize = 48;
    constexpr float kRadius = 0.6f;
    k_VoxelBox* box = Make(kSize, kSize, kSize);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetCellCount(), 47 * 47 * 47);
    float* field = box->Lock();
    for (int z = 0; z < kSize; ++z)
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const float px = 2.0f * x / kSize - 1, py = 2.0f * y / kSize - 1, pz = 2.0f * z / kSize - 1;
                *field++ = std::sqrt(px * px + py * py + pz * pz) - kRadius;
            }
    box->Unlock();
    box->SetIsoLevel(0);

    // A square viewport, the box from -1 to 1 filling it.
    constexpr int kSide = 240;
    ResetToPlainDrawing();
    glViewport(0, 0, kSide, kSide);
    glMatrixMode(GL_PROJECTION);
    glOrtho(-1, 1, -1, 1, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0, 0, 0, 1);
    glClearDepth(1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // A depth state the box must replace with its own: nothing passes this one.
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_NEVER);
    glDepthMask(GL_FALSE);
    dynamic_cast<IRenderable*>(box)->Render();
    glUseProgram(0);
    ExpectNoGlErrors();

    std::vector<unsigned char> pixels(kSide * kSide * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kSide, kSide, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int covered = 0;
    for (int i = 0; i < kSide * kSide; ++i)
        if (pixels[4 * i] || pixels[4 * i + 1] || pixels[4 * i + 2]) ++covered;
    const double disc = 3.14159265 * std::pow(kRadius * kSide / 2, 2);
    EXPECT_NEAR(covered, disc, 0.03 * disc);
    // Nothing outside the sphere's outline, nothing missing inside it.
    EXPECT_EQ(Pixel(kSide / 2, kSide / 2)[3], 255);
    EXPECT_NE(Pixel(kSide / 2, kSide / 2), (std::array<int, 4>{0, 0, 0, 255}));
    EXPECT_EQ(Pixel(kSide / 2 + 80, kSide / 2), (std::array<int, 4>{0, 0, 0, 255}));
    glViewport(0, 0, kWidth, kHeight);
}

}  // namespace
