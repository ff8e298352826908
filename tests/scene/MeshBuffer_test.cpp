// Mesh buffers on a real context: every vertex element code binds its array as laid out,
// texture coordinates take units in order, generic attributes are found by name, dynamic
// buffers are mapped, the draw count is clamped, and no GL error is raised on the way.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "core/IMaterial.h"
#include "core/IShaderProgram.h"
#include "scene/k_MeshBuffer.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"

namespace {

using Rgba = std::array<int, 4>;

// A program that only answers attribute locations.
class FakeProgram : public IShaderProgram {
public:
    void SetMatrixArray(std::string_view, const float*, int) override {}
    void SetMatrix(std::string_view, const float*, int) override {}
    void SetVector(std::string_view, const float*, int) override {}
    void SetFloat(std::string_view, float) override {}
    void SetInt(std::string_view, int) override {}
    int GetInt(std::string_view) override { return 0; }
    float GetFloat(std::string_view) override { return 0; }
    Vector GetVector4(std::string_view) override { return {}; }
    Matrix GetMatrix4(std::string_view) override { return {}; }
    int GetAttributeLocation(std::string_view name) override
    {
        const auto found = locations.find(std::string(name));
        return found == locations.end() ? -1 : found->second;
    }
    int GetUniformLocation(std::string_view) override { return -1; }
    bool AddShaderCallback(const std::wstring&, void*) override { return false; }
    void Use() override {}
    bool IsLinked() override { return true; }
    const std::string& GetInfoLog() override { return infoLog; }
    std::map<std::string, int> locations;
    std::string infoLog;
};

// A material with one pass that sets no GL state; Apply answers as told.
class FakeMaterial : public IMaterial {
public:
    FakeMaterial() { passes.push_back(std::make_unique<MaterialPass>()); }
    bool Apply() override
    {
        ++applied;
        return applies;
    }
    void AddPass(std::unique_ptr<MaterialPass> pass) override { passes.push_back(std::move(pass)); }
    const std::vector<std::unique_ptr<MaterialPass>>& GetPasses() override { return passes; }
    MaterialPass* FindPass(IWorld*) override { return passes.front().get(); }
    std::vector<std::unique_ptr<MaterialPass>> passes;
    bool applies = true;
    int applied = 0;
};

struct ColouredVertex {
    float x, y, z;
    unsigned char rgba[4];
};

class MeshBuffer : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        program.locations = {{"Tangent", 3}, {"BlendIndices", 4}, {"BlendWeights", 5}};
        material.passes.front()->program = &program;
        ResetToPlainDrawing();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        DrainErrors();
    }

    // Two squares side by side: indices 0-3 the left half of the window, 4-7 the right half.
    void MakeTwoSquares(k_MeshBuffer& mesh, unsigned usage)
    {
        const ColouredVertex vertices[] = {
            {-1, -1, 0, {255, 0, 0, 255}}, {0, -1, 0, {255, 0, 0, 255}},
            {0, 1, 0, {255, 0, 0, 255}},   {-1, 1, 0, {255, 0, 0, 255}},
            {0, -1, 0, {0, 255, 0, 255}},  {1, -1, 0, {0, 255, 0, 255}},
            {1, 1, 0, {0, 255, 0, 255}},   {0, 1, 0, {0, 255, 0, 255}},
        };
        const unsigned indices[] = {0, 1, 2, 3, 4, 5, 6, 7};
        mesh.SetPrimitiveMode(GL_QUADS);
        mesh.SetVertices(vertices, 8, {IMeshBuffer::Position3, IMeshBuffer::ColourBytes4}, usage, true);
        mesh.SetIndices(indices, 8, GL_STATIC_DRAW_ARB, true);
        mesh.SetMaterial(&material);
    }

    Rgba Left() { return Pixel(kWidth / 4, kHeight / 2); }
    Rgba Right() { return Pixel(kWidth * 3 / 4, kHeight / 2); }

    FakeProgram program;
    FakeMaterial material;
};

const Rgba kBlack{0, 0, 0, 255};
const Rgba kRed{255, 0, 0, 255};
const Rgba kGreen{0, 255, 0, 255};

GLint Integer(GLenum name)
{
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

std::uintptr_t Pointer(GLenum name)
{
    void* pointer = nullptr;
    glGetPointerv(name, &pointer);
    return reinterpret_cast<std::uintptr_t>(pointer);
}

TEST_F(MeshBuffer, StartsEmptyWithTrianglesAndDrawsNothing)
{
    k_MeshBuffer mesh(engine.get());
    EXPECT_EQ(mesh.GetPrimitiveMode(), static_cast<unsigned>(GL_TRIANGLES));
    EXPECT_EQ(mesh.GetVertexCount(), 0);
    EXPECT_EQ(mesh.GetIndexCount(), 0);
    EXPECT_EQ(mesh.GetDrawCount(), 0);
    EXPECT_EQ(mesh.GetVertices(), nullptr);
    EXPECT_EQ(mesh.GetIndices(), nullptr);
    EXPECT_EQ(mesh.GetMaterial(), nullptr);
    EXPECT_TRUE(mesh.GetVertexLayout().empty());
    mesh.SetMaterial(&material);
    mesh.Render();
    EXPECT_EQ(material.applied, 0);  // no vertex data: the material is not even applied
    ExpectNoGlErrors();
}

TEST_F(MeshBuffer, EveryElementCodeBindsItsArrayAtItsOffsetAndIsDisabledAfterwards)
{
    // Each code follows a 4-byte colour, so its offset is 4 and the stride 4 + its size.
    enum Kind { Vertex, Normal, Colour, TexCoord, Attribute, Unbound };
    const struct { int code; int bytes; Kind kind; GLint components; GLenum type; GLuint location; } cases[] = {
        {0, 8, Vertex, 2, GL_FLOAT, 0},          {1, 12, Vertex, 3, GL_FLOAT, 0},
        {2, 16, Vertex, 4, GL_FLOAT, 0},         {3, 12, Normal, 3, GL_FLOAT, 0},
        {4, 3, Colour, 3, GL_UNSIGNED_BYTE, 0},  {5, 4, Colour, 4, GL_UNSIGNED_BYTE, 0},
        {6, 12, Colour, 3, GL_FLOAT, 0},         {7, 16, Colour, 4, GL_FLOAT, 0},
        {8, 8, TexCoord, 2, GL_FLOAT, 0},
        {9, 12, TexCoord, 3, GL_FLOAT, 0},       {10, 16, TexCoord, 4, GL_FLOAT, 0},
        {11, 12, Attribute, 3, GL_FLOAT, 3},     {12, 16, Attribute, 4, GL_FLOAT, 3},
        {13, 16, Attribute, 4, GL_FLOAT, 4},     {14, 16, Attribute, 4, GL_FLOAT, 5},
        {15, 1, Unbound, 0, 0, 0},               {-1, 1, Unbound, 0, 0, 0},
    };
    const unsigned indices[] = {0, 1, 2};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        k_MeshBuffer mesh(engine.get());
        mesh.SetPrimitiveMode(GL_POINTS);
        mesh.SetVertices(nullptr, 3, {IMeshBuffer::ColourBytes4, c.code}, GL_STATIC_DRAW_ARB, true);
        mesh.SetIndices(indices, 3, GL_STATIC_DRAW_ARB, true);
        mesh.SetMaterial(&material);
        const GLint stride = 4 + c.bytes;
        EXPECT_EQ(mesh.GetStride(), stride);
        mesh.Render();

        switch (c.kind) {
        case Vertex:
            EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
            EXPECT_EQ(Integer(GL_VERTEX_ARRAY_SIZE), c.components);
            EXPECT_EQ(Integer(GL_VERTEX_ARRAY_TYPE), static_cast<GLint>(c.type));
            EXPECT_EQ(Integer(GL_VERTEX_ARRAY_STRIDE), stride);
            EXPECT_EQ(Pointer(GL_VERTEX_ARRAY_POINTER), 4u);
            break;
        case Normal:
            EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
            EXPECT_EQ(Integer(GL_NORMAL_ARRAY_TYPE), static_cast<GLint>(c.type));
            EXPECT_EQ(Integer(GL_NORMAL_ARRAY_STRIDE), stride);
            EXPECT_EQ(Pointer(GL_NORMAL_ARRAY_POINTER), 4u);
            break;
        case Colour:
            EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
            EXPECT_EQ(Integer(GL_COLOR_ARRAY_SIZE), c.components);
            EXPECT_EQ(Integer(GL_COLOR_ARRAY_TYPE), static_cast<GLint>(c.type));
            EXPECT_EQ(Integer(GL_COLOR_ARRAY_STRIDE), stride);
            EXPECT_EQ(Pointer(GL_COLOR_ARRAY_POINTER), 4u);
            break;
        case TexCoord:
            EXPECT_EQ(Integer(GL_CLIENT_ACTIVE_TEXTURE), GL_TEXTURE0);
            EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
            EXPECT_EQ(Integer(GL_TEXTURE_COORD_ARRAY_SIZE), c.components);
            EXPECT_EQ(Integer(GL_TEXTURE_COORD_ARRAY_STRIDE), stride);
            EXPECT_EQ(Pointer(GL_TEXTURE_COORD_ARRAY_POINTER), 4u);
            break;
        case Attribute: {
            GLint enabled = -1, size = -1, attributeStride = -1, normalised = -1;
            glGetVertexAttribivARB(c.location, GL_VERTEX_ATTRIB_ARRAY_ENABLED_ARB, &enabled);
            glGetVertexAttribivARB(c.location, GL_VERTEX_ATTRIB_ARRAY_SIZE_ARB, &size);
            glGetVertexAttribivARB(c.location, GL_VERTEX_ATTRIB_ARRAY_STRIDE_ARB, &attributeStride);
            glGetVertexAttribivARB(c.location, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED_ARB, &normalised);
            void* pointer = nullptr;
            glGetVertexAttribPointervARB(c.location, GL_VERTEX_ATTRIB_ARRAY_POINTER_ARB, &pointer);
            EXPECT_EQ(enabled, 0);
            EXPECT_EQ(size, c.components);
            EXPECT_EQ(attributeStride, stride);
            EXPECT_EQ(normalised, 0);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(pointer), 4u);
            break;
        }
        case Unbound:
            break;
        }
        if (c.kind != Colour) {  // the leading colour, at offset 0 with the same stride
            EXPECT_EQ(Integer(GL_COLOR_ARRAY_SIZE), 4);
            EXPECT_EQ(Integer(GL_COLOR_ARRAY_STRIDE), stride);
            EXPECT_EQ(Pointer(GL_COLOR_ARRAY_POINTER), 0u);
        }
        EXPECT_EQ(Integer(GL_ARRAY_BUFFER_BINDING_ARB), 0);
        EXPECT_EQ(Integer(GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB), 0);
    }
    ExpectNoGlErrors();
}

TEST_F(MeshBuffer, TwoTextureCoordinateElementsTakeUnitsZeroAndOne)
{
    // Unit 0 shows [red | green] and replaces; unit 1 adds [black | blue]. Coordinates 0.25 on
    // unit 0 and 0.75 on unit 1 give red + blue; swapped or shared units give something else.
    auto makeTexture = [](GLenum unit, const unsigned char (&texels)[8], GLint environment) {
        GLuint texture = 0;
        glActiveTexture(unit);
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, environment);
        glEnable(GL_TEXTURE_2D);
        return texture;
    };
    const unsigned char redGreen[8] = {255, 0, 0, 255, 0, 255, 0, 255};
    const unsigned char blackBlue[8] = {0, 0, 0, 255, 0, 0, 255, 255};
    GLuint textures[2] = {makeTexture(GL_TEXTURE0, redGreen, GL_REPLACE), makeTexture(GL_TEXTURE1, blackBlue, GL_ADD)};

    struct Vertex { float x, y, z, s0, t0, s1, t1; };
    const Vertex vertices[] = {
        {-1, -1, 0, 0.25f, 0.5f, 0.75f, 0.5f}, {1, -1, 0, 0.25f, 0.5f, 0.75f, 0.5f},
        {1, 1, 0, 0.25f, 0.5f, 0.75f, 0.5f},   {-1, 1, 0, 0.25f, 0.5f, 0.75f, 0.5f},
    };
    const unsigned indices[] = {0, 1, 2, 3};
    k_MeshBuffer mesh(engine.get());
    mesh.SetPrimitiveMode(GL_QUADS);
    mesh.SetVertices(vertices, 4, {IMeshBuffer::Position3, IMeshBuffer::TexCoord2, IMeshBuffer::TexCoord2},
                     GL_STATIC_DRAW_ARB, true);
    mesh.SetIndices(indices, 4, GL_STATIC_DRAW_ARB, true);
    mesh.SetMaterial(&material);
    mesh.Render();
    EXPECT_EQ(Pixel(kWidth / 2, kHeight / 2), (Rgba{255, 0, 255, 255}));

    for (GLenum unit : {GL_TEXTURE0, GL_TEXTURE1}) {
        glClientActiveTexture(unit);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY)) << unit - GL_TEXTURE0;
        EXPECT_EQ(Pointer(GL_TEXTURE_COORD_ARRAY_POINTER), unit == GL_TEXTURE0 ? 12u : 20u);
        glActiveTexture(unit);
        glDisable(GL_TEXTURE_2D);
    }
    glClientActiveTexture(GL_TEXTURE0);
    glActiveTexture(GL_TEXTURE0);
    glDeleteTextures(2, textures);
    ExpectNoGlErrors();
}

TEST_F(MeshBuffer, AttributesTheProgramDoesNotUseAreSkipped)
{
    program.locations.clear();
    const unsigned indices[] = {0};
    k_MeshBuffer mesh(engine.get());
    mesh.SetPrimitiveMode(GL_POINTS);
    mesh.SetVertices(nullptr, 1, {IMeshBuffer::Position3, IMeshBuffer::Tangent3, IMeshBuffer::BlendWeights4},
                     GL_STATIC_DRAW_ARB, true);
    mesh.SetIndices(indices, 1, GL_STATIC_DRAW_ARB, true);
    mesh.SetMaterial(&material);
    mesh.Render();
    material.passes.front()->program = nullptr;
    mesh.Render();
    ExpectNoGlErrors();
}

TEST_F(MeshBuffer, DrawCountIsClampedAndResetByNewIndices)
{
    k_MeshBuffer mesh(engine.get());
    MakeTwoSquares(mesh, GL_STATIC_DRAW_ARB);
    EXPECT_EQ(mesh.GetDrawCount(), 8);
    mesh.SetDrawCount(100);
    EXPECT_EQ(mesh.GetDrawCount(), 8);
    mesh.SetDrawCount(4);
    EXPECT_EQ(mesh.GetDrawCount(), 4);
    mesh.Render();
    EXPECT_EQ(Left(), kRed);
    EXPECT_EQ(Right(), kBlack);

    const unsigned rightOnly[] = {4, 5, 6, 7};
    mesh.SetIndices(rightOnly, 4, GL_STATIC_DRAW_ARB, false);
    EXPECT_EQ(mesh.GetDrawCount(), 4);
    EXPECT_EQ(mesh.GetIndices(), rightOnly);  // not copied: the caller's array
    glClear(GL_COLOR_BUFFER_BIT);
    mesh.Render();
    EXPECT_EQ(Left(), kBlack);
    EXPECT_EQ(Right(), kGreen);
    ExpectNoGlErrors();
}

TEST_F(MeshBuffer, ANegativeDrawCountDrawsNothing)
{
    k_MeshBuffer mesh(engine.get());
    MakeTwoSquares(mesh, GL_STATIC_DRAW_ARB);
    mesh.SetDrawCount(-4);
    EXPECT_EQ(mesh.GetDrawCount(), 0);
    mesh.Render();
    EXPECT_EQ(Left(), kBlack);
    EXPECT_EQ(Right(), kBlack);
    ExpectNoGlErrors();
}

TEST_F(MeshBuffer, ALockedBufferCannotBeLockedAgainAndStillUnlocks)
{
    k_MeshBuffer mesh(engine.get());
    MakeTwoSquares(mesh, GL_DYNAMIC_DRAW_ARB);
    const unsigned indices[] = {4, 5, 6, 7};
    mesh.SetIndices(indices, 4, GL_DYNAMIC_DRAW_ARB, true);
    auto* vertices = static_cast<ColouredVertex*>(mesh.LockVertices(GL_WRITE_ONLY_ARB));
    ASSERT_NE(vertices, nullptr);
    ASSERT_NE(mesh.LockIndices(GL_WRITE_ONLY_ARB), nullptr);
    EXPECT_EQ(mesh.LockVertices(GL_WRITE_ONLY_ARB), nullptr);
    EXPECT_EQ(mesh.LockIndices(GL_WRITE_ONLY_ARB), nullptr);
    const ColouredVertex squares[] = {
        {0, 0, 0, {}}, {0, 0, 0, {}}, {0, 0, 0, {}}, {0, 0, 0, {}},
        {0, -1, 0, {0, 0, 255, 255}}, {1, -1, 0, {0, 0, 255, 255}},
        {1, 1, 0, {0, 0, 255, 255}},  {0, 1, 0, {0, 0, 255, 255}},
    };
    std::copy(squares, squares + 8, vertices);
    // The first locks are still open and are closed by one unlock each.
    mesh.UnlockVertices();
    mesh.UnlockIndices();
    mesh.Render();
    EXPECT_EQ(Left(), kBlack);
    EXPECT_EQ(Right(), (Rgba{0, 0, 255, 255}));
    ExpectNoGlErrors();
}

TEST_F(MeshBuffer, StaticBuffersCannotBeLocked)
{
    k_MeshBuffer mesh(engine.get());
    EXPECT_EQ(mesh.LockVertices(GL_WRITE_ONLY_ARB), nullptr);  // nothing there yet
    mesh.UnlockVertices();
    MakeTwoSquares(mesh, GL_STATIC_DRAW_ARB);
    EXPECT_EQ(mesh.LockVertices(GL_WRITE_ONLY_ARB), nullptr);
    EXPECT_EQ(mesh.LockIndices(GL_WRITE_ONLY_ARB), nullptr);
    mesh.UnlockVertices();
    mesh.UnlockIndices();
    ExpectNoGlErrors();
}

TEST_F(MeshBuffer, DynamicVerticesAreRewrittenThroughTheLockOnTheGpuOnly)
{
    k_MeshBuffer mesh(engine.get());
    MakeTwoSquares(mesh, GL_DYNAMIC_DRAW_ARB);
    auto* vertices = static_cast<ColouredVertex*>(mesh.LockVertices(GL_WRITE_ONLY_ARB));
    ASSERT_NE(vertices, nullptr);
    EXPECT_EQ(Integer(GL_ARRAY_BUFFER_BINDING_ARB), 0);
    const unsigned char blue[4] = {0, 0, 255, 255};
    const ColouredVertex squares[] = {
        {-1, -1, 0, {}}, {0, -1, 0, {}}, {0, 1, 0, {}}, {-1, 1, 0, {}},
        {0, -1, 0, {}},  {1, -1, 0, {}}, {1, 1, 0, {}}, {0, 1, 0, {}},
    };
    for (int i = 0; i < 8; ++i) {
        vertices[i] = squares[i];
        std::copy(blue, blue + 4, vertices[i].rgba);
    }
    mesh.Render();  // still mapped: nothing may be drawn from it
    EXPECT_EQ(Left(), kBlack);
    mesh.UnlockVertices();
    mesh.UnlockVertices();  // a second unlock does nothing
    mesh.Render();
    EXPECT_EQ(Left(), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(Right(), (Rgba{0, 0, 255, 255}));
    const auto* cpu = static_cast<const ColouredVertex*>(mesh.GetVertices());
    EXPECT_EQ(cpu[0].rgba[0], 255);  // the CPU copy keeps what SetVertices gave
    ExpectNoGlErrors();
}

TEST_F(MeshBuffer, DynamicIndicesAreRewrittenThroughTheLock)
{
    k_MeshBuffer mesh(engine.get());
    MakeTwoSquares(mesh, GL_STATIC_DRAW_ARB);
    const unsigned indices[] = {0, 1, 2, 3};
    mesh.SetIndices(indices, 4, GL_DYNAMIC_DRAW_ARB, true);
    auto* mapped = static_cast<unsigned*>(mesh.LockIndices(GL_WRITE_ONLY_ARB));
    ASSERT_NE(mapped, nullptr);
    for (unsigned i = 0; i < 4; ++i) mapped[i] = 4 + i;
    mesh.UnlockIndices();
    mesh.Render();
    EXPECT_EQ(Left(), kBlack);
    EXPECT_EQ(Right(), kGreen);
    EXPECT_EQ(mesh.GetIndices()[0], 0u);
    ExpectNoGlErrors();
}

TEST_F(MeshBuffer, NothingIsDrawnWithoutAMaterialAPassIndicesOrALayout)
{
    k_MeshBuffer mesh(engine.get());
    MakeTwoSquares(mesh, GL_STATIC_DRAW_ARB);
    material.applies = false;
    mesh.Render();
    EXPECT_EQ(material.applied, 1);
    EXPECT_EQ(Left(), kBlack);

    material.applies = true;
    mesh.SetMaterial(nullptr);
    mesh.Render();
    EXPECT_EQ(Left(), kBlack);

    k_MeshBuffer noIndices(engine.get());
    const float point[3] = {0, 0, 0};
    noIndices.SetVertices(point, 1, {IMeshBuffer::Position3}, GL_STATIC_DRAW_ARB, true);
    noIndices.SetMaterial(&material);
    noIndices.Render();  // would read indices from client address 0

    k_MeshBuffer noLayout(engine.get());
    noLayout.SetVertices(point, 1, {}, GL_STATIC_DRAW_ARB, true);
    noLayout.SetMaterial(&material);
    EXPECT_EQ(noLayout.GetVertexBuffer(), 0u);
    noLayout.Render();
    EXPECT_EQ(Left(), kBlack);
    ExpectNoGlErrors();
}

TEST_F(MeshBuffer, ItsOwnDataAndLayoutCanBeGivenBackToIt)
{
    // Re-uploading with another usage: the arguments are the mesh's own copies and live layout.
    k_MeshBuffer mesh(engine.get());
    MakeTwoSquares(mesh, GL_STATIC_DRAW_ARB);
    mesh.SetVertices(mesh.GetVertices(), mesh.GetVertexCount(), mesh.GetVertexLayout(), GL_DYNAMIC_DRAW_ARB, true);
    mesh.SetIndices(mesh.GetIndices(), 4, GL_DYNAMIC_DRAW_ARB, true);
    EXPECT_EQ(mesh.GetVertexLayout(), (std::vector<int>{IMeshBuffer::Position3, IMeshBuffer::ColourBytes4}));
    EXPECT_EQ(mesh.GetStride(), 16);
    EXPECT_EQ(mesh.GetIndices()[3], 3u);
    mesh.Render();
    EXPECT_EQ(Left(), kRed);
    EXPECT_EQ(Right(), kBlack);
    ExpectNoGlErrors();
}

TEST_F(MeshBuffer, NewDataReplacesTheBuffersAndTheDestructorDeletesThem)
{
    unsigned vertexBuffer = 0, indexBuffer = 0;
    {
        k_MeshBuffer mesh(engine.get());
        MakeTwoSquares(mesh, GL_STATIC_DRAW_ARB);
        const unsigned first = mesh.GetVertexBuffer();
        EXPECT_TRUE(glIsBufferARB(first));
        const float points[6] = {};
        mesh.SetVertices(points, 2, {IMeshBuffer::Position3}, GL_STATIC_DRAW_ARB, false);
        EXPECT_EQ(mesh.GetVertices(), points);
        EXPECT_EQ(mesh.GetVertexCount(), 2);
        EXPECT_EQ(mesh.GetVertexLayout(), std::vector<int>{IMeshBuffer::Position3});
        EXPECT_EQ(mesh.GetStride(), 12);
        EXPECT_FALSE(glIsBufferARB(first));
        vertexBuffer = mesh.GetVertexBuffer();
        indexBuffer = mesh.GetIndexBuffer();
        EXPECT_TRUE(glIsBufferARB(vertexBuffer));
        EXPECT_TRUE(glIsBufferARB(indexBuffer));
    }
    EXPECT_FALSE(glIsBufferARB(vertexBuffer));
    EXPECT_FALSE(glIsBufferARB(indexBuffer));
    ExpectNoGlErrors();
}

}  // namespace
