// Billboards: the batch's growth, the corners it writes for the camera and its draw through its
// material, the single billboard's size from its texture and its facing, drawn and read back.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "core/IFileSystem.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/ITexture.h"
#include "core/IBillboard.h"
#include "core/IMeshBuffer.h"
#include "scene/k_BillboardBatch.h"
#include "scene/k_Camera.h"
#include "support/GlTest.h"
#include "support/ScratchFolder.h"
#include "engine/k_World.h"

namespace {

class Billboards : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        factory = engine->GetResourceFactory();
        camera = factory->CreateCamera();
        camera->SetEye(Vector::Point(0, 0, 5));
        camera->SetTarget(Vector::Point(0, 0, 0));
        camera->SetUp(Vector::Direction(0, 1, 0));
        world = std::make_unique<k_World>(engine.get(), "BillboardWorld");
        world->SetCamera(camera);
        DrainErrors();
    }
    void TearDown() override
    {
        world.reset();
        GlTest::TearDown();
    }

    IBillboard* Billboard(Vector position, Vector scale, int mode = IBillboard::Fixed)
    {
        IBillboard* billboard = factory->CreateBillboard();
        IRenderable* renderable = dynamic_cast<IRenderable*>(billboard);
        renderable->SetPosition(position);
        renderable->SetScale(scale);
        billboard->SetMode(mode);
        return billboard;
    }

    k_BillboardBatch* Batch(int capacity)
    {
        auto* batch = dynamic_cast<k_BillboardBatch*>(factory->CreateBillboardBatch(capacity, nullptr));
        world->AddRenderable(batch);
        return batch;
    }

    // The positions the batch wrote for its first quads, after its stage-0 update.
    static std::vector<std::array<float, 5>> Vertices(k_BillboardBatch* batch, int quads)
    {
        batch->DrawStage(IRenderable::BeforeTransform);
        IMeshBuffer* mesh = batch->GetMesh();
        const float* mapped = static_cast<const float*>(mesh->LockVertices(GL_READ_ONLY));
        std::vector<std::array<float, 5>> vertices;
        for (int i = 0; mapped && i < quads * 4; ++i)
            vertices.push_back({mapped[5 * i], mapped[5 * i + 1], mapped[5 * i + 2], mapped[5 * i + 3], mapped[5 * i + 4]});
        mesh->UnlockVertices();
        return vertices;
    }

    IResourceFactory* factory = nullptr;
    ICamera* camera = nullptr;
    std::unique_ptr<k_World> world;
};

TEST_F(Billboards, BatchDoublesWhenItsCountReachesTheCapacity)
{
    k_BillboardBatch* batch = Batch(4);
    IMeshBuffer* mesh = batch->GetMesh();
    EXPECT_EQ(mesh->GetPrimitiveMode(), static_cast<unsigned>(GL_QUADS));
    for (int i = 0; i < 3; ++i) dynamic_cast<IRenderable*>(batch)->AddChild(dynamic_cast<IRenderable*>(Billboard({}, {})));
    EXPECT_EQ(batch->GetCapacity(), 4);
    EXPECT_EQ(mesh->GetVertexCount(), 16);
    EXPECT_EQ(mesh->GetDrawCount(), 12);
    batch->AddChild(dynamic_cast<IRenderable*>(Billboard({}, {})));
    EXPECT_EQ(batch->GetCapacity(), 8);
    EXPECT_EQ(mesh->GetVertexCount(), 32);
    EXPECT_EQ(mesh->GetIndexCount(), 32);
    EXPECT_EQ(mesh->GetDrawCount(), 16);
    EXPECT_EQ(mesh->GetIndices()[31], 31u);
    EXPECT_EQ(mesh->GetVertexLayout(), (std::vector<int>{IMeshBuffer::Position3, IMeshBuffer::TexCoord2}));
    // Billboards are not children; anything else is.
    IRenderable* group = factory->CreateEmptyRenderable();
    batch->AddChild(group);
    EXPECT_EQ(batch->GetChildren(), std::vector<IRenderable*>{group});
    EXPECT_EQ(Batch(0)->GetCapacity(), 1) << "a batch always has a buffer to map";
}

TEST_F(Billboards, BatchCornersFollowTheCamera)
{
    k_BillboardBatch* batch = Batch(2);
    batch->AddChild(dynamic_cast<IRenderable*>(Billboard(Vector::Point(0, 0, 0), Vector::UnitScale())));
    batch->AddChild(dynamic_cast<IRenderable*>(
        Billboard(Vector::Point(5, 0, 0), Vector(2, 3, 1, 1), IBillboard::Upright)));
    const std::vector<std::array<float, 5>> expected = {
        {1, 1, 0, 1, 1}, {-1, 1, 0, 0, 1}, {-1, -1, 0, 0, 0}, {1, -1, 0, 1, 0},
        // Upright: 4 wide from the scale, 2 high whatever the scale.
        {7, 1, 0, 1, 1}, {3, 1, 0, 0, 1}, {3, -1, 0, 0, 0}, {7, -1, 0, 1, 0}};
    const auto vertices = Vertices(batch, 2);
    ASSERT_EQ(vertices.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        for (int k = 0; k < 5; ++k) EXPECT_NEAR(vertices[i][k], expected[i][k], 1e-3f) << "vertex " << i;

    // Seen from +x the batch turns its right vector to -z; the upright one stays upright.
    camera->SetEye(Vector::Point(10, 0, 0));
    const auto turned = Vertices(batch, 2);
    ASSERT_EQ(turned.size(), expected.size());
    EXPECT_NEAR(turned[0][2], -1, 1e-3f);
    EXPECT_NEAR(turned[4][1], 1, 1e-3f);
    EXPECT_NEAR(turned[4][2], -2, 1e-3f);

    // Looking down at 45 degrees: the full one leans back with the camera's up, the upright one
    // keeps the world's.
    camera->SetEye(Vector::Point(0, 5, 5));
    const float lean = 0.70710678f;
    const std::vector<std::array<float, 5>> tilted = {
        {1, lean, -lean, 1, 1}, {-1, lean, -lean, 0, 1}, {-1, -lean, lean, 0, 0}, {1, -lean, lean, 1, 0},
        {7, 1, 0, 1, 1}, {3, 1, 0, 0, 1}, {3, -1, 0, 0, 0}, {7, -1, 0, 1, 0}};
    const auto looking = Vertices(batch, 2);
    ASSERT_EQ(looking.size(), tilted.size());
    for (size_t i = 0; i < tilted.size(); ++i)
        for (int k = 0; k < 5; ++k) EXPECT_NEAR(looking[i][k], tilted[i][k], 1e-3f) << "tilted vertex " << i;
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Billboards, BatchWhoseBufferCannotBeMappedKeepsItsCorners)
{
    k_BillboardBatch* batch = Batch(1);
    batch->AddChild(dynamic_cast<IRenderable*>(Billboard(Vector::Point(0, 0, 0), Vector::UnitScale())));
    Vertices(batch, 1);
    // Held mapped elsewhere: the batch's own lock yields nothing and the update is skipped.
    IMeshBuffer* mesh = batch->GetMesh();
    const float* held = static_cast<const float*>(mesh->LockVertices(GL_READ_ONLY));
    ASSERT_NE(held, nullptr);
    camera->SetEye(Vector::Point(10, 0, 0));
    dynamic_cast<IRenderable*>(batch)->Render();
    EXPECT_NEAR(held[0], 1, 1e-3f);
    EXPECT_NEAR(held[2], 0, 1e-3f);
    mesh->UnlockVertices();
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Billboards, SingleBillboardIsAsWideAsItsTexture)
{
    ScratchFolder folder;
    ASSERT_EQ(folder.Run("convert -size 256x128 xc:red PNG32:wide.png"), 0);
    engine->GetFileSystem()->UseDirectory(folder.Path().wstring());
    ITexture* texture = factory->LoadTexture(L"wide.png", L"wide.png");
    ASSERT_NE(texture, nullptr);

    // x and y from -2 to 2 over the window: one unit is 80 pixels across and 60 up.
    const struct {
        int mode;
        float turn;  // degrees about y applied before the billboard
        float tilt;  // then degrees about x: a camera that looks down
        float halfWidth, halfHeight;
    } cases[] = {{IBillboard::Fixed, 0, 0, 1, 0.5f},     {IBillboard::Full, 60, 0, 1, 0.5f},
                 {IBillboard::Upright, 60, 0, 1, 0.5f},  {IBillboard::Fixed, 60, 0, 0.5f, 0.5f},
                 {IBillboard::Full, 60, 60, 1, 0.5f},    {IBillboard::Upright, 0, 60, 1, 0.25f},
                 {IBillboard::Upright, 60, 60, 1, 0.25f}};
    for (const auto& c : cases) {
        IBillboard* billboard = Billboard(Vector::Point(0, 0, 0), Vector::UnitScale(), c.mode);
        billboard->SetTexture(texture);
        ResetToPlainDrawing();
        glMatrixMode(GL_PROJECTION);
        glOrtho(-2, 2, -2, 2, -4, 4);
        glMatrixMode(GL_MODELVIEW);
        glRotatef(c.tilt, 1, 0, 0);
        glRotatef(c.turn, 0, 1, 0);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        dynamic_cast<IRenderable*>(billboard)->Render();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_LIGHTING);

        const int inner = static_cast<int>(160 + 80 * c.halfWidth) - 3, outer = inner + 6;
        const int below = static_cast<int>(120 + 60 * c.halfHeight) - 3, above = below + 6;
        const std::array<int, 4> red = {255, 0, 0, 255}, black = {0, 0, 0, 255};
        EXPECT_EQ(Pixel(inner, 120), red) << "mode " << c.mode << " tilt " << c.tilt;
        EXPECT_EQ(Pixel(320 - inner, 120), red) << "mode " << c.mode << " tilt " << c.tilt;
        EXPECT_EQ(Pixel(outer, 120), black) << "mode " << c.mode << " tilt " << c.tilt;
        EXPECT_EQ(Pixel(160, below), red) << "mode " << c.mode << " tilt " << c.tilt;
        EXPECT_EQ(Pixel(160, above), black) << "mode " << c.mode << " tilt " << c.tilt;
    }
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Billboards, BatchIsDrawnThroughItsMaterial)
{
    // Red follows the texture's s, blue its t: the colour shows the material and the corners.
    ScratchFolder folder;
    folder.Write("Spark.mat", R"(vertexshader place {{
varying vec2 uv;
void main()
{
    uv = gl_MultiTexCoord0.xy;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
}}
pixelshader paint {{
varying vec2 uv;
void main() { gl_FragColor = vec4(uv.x, 1.0, uv.y, 1.0); }
}}
material {
    culling none
    useshader place
    useshader paint
}
)");
    engine->GetFileSystem()->UseDirectory(folder.Path().wstring());
    IMaterial* material = factory->LoadMaterial(L"Spark.mat", L"Spark.mat");
    ASSERT_NE(material, nullptr);
    auto* batch = dynamic_cast<k_BillboardBatch*>(factory->CreateBillboardBatch(1, material));
    world->AddRenderable(batch);
    EXPECT_EQ(batch->GetMaterial(), material);
    batch->AddChild(dynamic_cast<IRenderable*>(Billboard(Vector::Point(0, 0, 0), Vector(0.5f, 0.5f, 1, 1))));

    // x and y from -2 to 2 over the window: the quad covers x 120..200 and y 90..150.
    ResetToPlainDrawing();
    glMatrixMode(GL_PROJECTION);
    glOrtho(-2, 2, -2, 2, -4, 4);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    dynamic_cast<IRenderable*>(batch)->Render();
    glUseProgram(0);
    const auto near = [](std::array<int, 4> pixel, std::array<int, 4> expected) {
        for (int k = 0; k < 4; ++k)
            if (std::abs(pixel[k] - expected[k]) > 3) return false;
        return true;
    };
    EXPECT_TRUE(near(Pixel(122, 92), {8, 255, 11, 255})) << "bottom left";
    EXPECT_TRUE(near(Pixel(197, 147), {247, 255, 244, 255})) << "top right";
    EXPECT_EQ(Pixel(116, 120), (std::array<int, 4>{0, 0, 0, 255})) << "left of the quad";
    EXPECT_EQ(Pixel(160, 154), (std::array<int, 4>{0, 0, 0, 255})) << "above the quad";
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
