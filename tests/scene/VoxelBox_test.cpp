// The marching-cubes voxel box with its shaders from data/: the lock protocol, the initial
// field, a sphere's surface drawn and measured, and planes in a box of unequal sides.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

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

TEST_F(VoxelBox, PlanesOfAnUnequalBoxLieAtTheIsoLevelAndReachItsFaces)
{
    constexpr int kSizes[3] = {12, 20, 8};
    k_VoxelBox* box = Make(kSizes[0], kSizes[1], kSizes[2]);
    ASSERT_NE(box, nullptr);
    // Each row fills the field with one axis's coordinate, so the surface is the plane where that
    // coordinate equals the level: in the axis's first or last cell. The view looks down the axis.
    const struct {
        int axis;
        float level;
    } cases[] = {{0, 0.75f}, {0, -0.9f}, {1, -0.95f}, {2, 0.625f}};
    constexpr int kSide = 240;
    for (const auto& c : cases) {
        float* field = box->Lock();
        for (int z = 0; z < kSizes[2]; ++z)
            for (int y = 0; y < kSizes[1]; ++y)
                for (int x = 0; x < kSizes[0]; ++x) {
                    const int at[3] = {x, y, z};
                    *field++ = 2.0f * at[c.axis] / kSizes[c.axis] - 1;
                }
        box->Unlock();
        box->SetIsoLevel(c.level);

        // A cyclic swap of the axes: the next one runs across the view, the one after it up, and
        // the field's axis along the view's z.
        const int across = (c.axis + 1) % 3, up = (c.axis + 2) % 3;
        float swap[16] = {};
        swap[4 * across + 0] = swap[4 * up + 1] = swap[4 * c.axis + 2] = swap[15] = 1;
        ResetToPlainDrawing();
        glViewport(0, 0, kSide, kSide);
        glMatrixMode(GL_PROJECTION);
        glOrtho(-1, 1, -1, 1, -2, 2);
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(swap);
        glDepthMask(GL_TRUE);
        glClearDepth(1);
        glClear(GL_DEPTH_BUFFER_BIT);
        dynamic_cast<IRenderable*>(box)->Render();
        glUseProgram(0);

        std::vector<float> depth(kSide * kSide);
        glReadPixels(0, 0, kSide, kSide, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        int right = -1, top = -1, left = kSide, bottom = kSide;
        float worst = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                if (depth[y * kSide + x] == 1.0f) continue;
                left = std::min(left, x), right = std::max(right, x);
                bottom = std::min(bottom, y), top = std::max(top, y);
                // This projection puts view z at depth 0.5 - z / 4.
                worst = std::max(worst, std::fabs(depth[y * kSide + x] - (0.5f - c.level / 4)));
            }
        // The cells between samples run from the low face of the box to its last sample.
        EXPECT_EQ(left, 0) << "axis " << c.axis << " level " << c.level;
        EXPECT_EQ(bottom, 0) << "axis " << c.axis << " level " << c.level;
        EXPECT_NEAR(right + 1, kSide * (1 - 1.0 / kSizes[across]), 1) << "axis " << c.axis << " level " << c.level;
        EXPECT_NEAR(top + 1, kSide * (1 - 1.0 / kSizes[up]), 1) << "axis " << c.axis << " level " << c.level;
        EXPECT_LT(worst, 2e-3f) << "axis " << c.axis << " level " << c.level;
    }
    glViewport(0, 0, kWidth, kHeight);
    ExpectNoGlErrors();
}

}  // namespace
