// The distorted picture quad with a material file from a mounted folder: its own material per
// texture, the texture on unit 0 repeating, the unit quad, and the aspect ratio uniform.
#include <gtest/gtest.h>

#include "core/IRenderer.h"
#include "graphics/k_RenderTarget.h"
#include "core/IFileSystem.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "support/ScratchFolder.h"
#include "scene/k_DistortedQuad.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"
#include "engine/k_World.h"

namespace {

// Shows the picture's green and blue; red carries texAspectRatio / 4.
const char* const kMaterial = R"(vertexshader quad {{
varying vec2 uv;
void main()
{
    uv = gl_MultiTexCoord0.xy;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
}}
pixelshader picture {{
uniform sampler2D texture0;
uniform float texAspectRatio;
varying vec2 uv;
void main()
{
    vec4 texel = texture2D(texture0, uv);
    gl_FragColor = vec4(texAspectRatio * 0.25, texel.g, texel.b, 1.0);
}
}}
material {
    culling none
    depthfunc always
    depthwrite false
    reservetexture 0 clamp
    useshader quad
    useshader picture
}
)";

class DistortedQuad : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        folder.Write("Common/DistortedQuad.mat", kMaterial);
        engine->GetFileSystem()->UseDirectory(folder.Path().wstring());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_BLEND);
        glDisable(GL_LIGHTING);
        DrainErrors();
    }

    // A texture of the given size filled with one colour: a render target's attachment.
    ITexture* FilledTexture(k_RenderTarget& target, float g, float b)
    {
        ITexture* texture = target.AddTexture(2);
        k_World world(engine.get(), "Fill");
        const float colour[4] = {0, g, b, 1};
        world.SetClearColor(colour);
        engine->GetRenderer()->SetCurrentWorld(&world);
        target.Bind(IRenderTarget::ClearColour | IRenderTarget::DrawAll);
        target.Unbind();
        engine->GetRenderer()->SetCurrentWorld(nullptr);
        return texture;
    }

    ScratchFolder folder;
};

TEST_F(DistortedQuad, IsAUnitQuadWithItsTextureOnUnitZero)
{
    k_RenderTarget target(engine.get(), 64, 32);
    ITexture* texture = FilledTexture(target, 1, 0);
    k_DistortedQuad quad(engine.get(), texture);

    EXPECT_EQ(quad.GetPrimitiveMode(), static_cast<unsigned>(GL_QUADS));
    EXPECT_EQ(quad.GetVertexLayout(), (std::vector<int>{IMeshBuffer::Position3, IMeshBuffer::TexCoord2}));
    EXPECT_EQ(quad.GetStride(), 20);
    ASSERT_EQ(quad.GetVertexCount(), 4);
    const auto* v = static_cast<const float*>(quad.GetVertices());
    EXPECT_EQ(std::vector<float>(v, v + 20), (std::vector<float>{1, 1, 0.5f, 1, 1, 1, 0, 0.5f, 1, 0,
                                                                  0, 0, 0.5f, 0, 0, 0, 1, 0.5f, 0, 1}));
    ASSERT_EQ(quad.GetIndexCount(), 4);
    EXPECT_EQ(std::vector<unsigned>(quad.GetIndices(), quad.GetIndices() + 4), (std::vector<unsigned>{0, 1, 2, 3}));

    IMaterial* material = quad.GetMaterial();
    ASSERT_NE(material, nullptr);
    ASSERT_FALSE(material->GetPasses().empty());
    const TextureSlot& slot = material->GetPasses().front()->textures.at(0);
    EXPECT_EQ(slot.texture, texture);
    EXPECT_EQ(slot.wrapS, GL_REPEAT);
    EXPECT_EQ(slot.wrapT, GL_REPEAT);
    ExpectNoGlErrors();
}

TEST_F(DistortedQuad, EachTextureGetsItsOwnMaterialAndTheSameTextureSharesIt)
{
    k_RenderTarget target(engine.get(), 8, 8);
    ITexture* first = target.AddTexture(2);
    ITexture* second = target.AddTexture(2);
    k_DistortedQuad a(engine.get(), first), b(engine.get(), second), c(engine.get(), first);
    ASSERT_NE(a.GetMaterial(), nullptr);
    EXPECT_NE(a.GetMaterial(), b.GetMaterial());
    EXPECT_EQ(a.GetMaterial(), c.GetMaterial());
    ExpectNoGlErrors();
}

TEST_F(DistortedQuad, DrawsThePictureInTheUnitSquareWithItsAspectRatio)
{
    k_RenderTarget target(engine.get(), 64, 32);
    k_DistortedQuad quad(engine.get(), FilledTexture(target, 1, 0));
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    quad.Render();
    // The unit square is the top right quarter of the window; 64 / 32 / 4 = 0.5 in red.
    const auto inside = Pixel(kWidth * 3 / 4, kHeight * 3 / 4);
    EXPECT_NEAR(inside[0], 128, 1);
    EXPECT_EQ(inside[1], 255);
    EXPECT_EQ(inside[2], 0);
    EXPECT_EQ(Pixel(kWidth / 4, kHeight / 4), (std::array<int, 4>{0, 0, 0, 255}));
    glUseProgram(0);
    ExpectNoGlErrors();
}

TEST_F(DistortedQuad, WithoutItsMaterialFileItDrawsNothing)
{
    engine->GetFileSystem()->UseDirectory((folder.Path() / "missing").wstring());
    k_RenderTarget target(engine.get(), 8, 8);
    k_DistortedQuad quad(engine.get(), target.AddTexture(2));
    ASSERT_NE(quad.GetMaterial(), nullptr);  // a material without passes
    EXPECT_TRUE(quad.GetMaterial()->GetPasses().empty());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    quad.Render();
    EXPECT_EQ(Pixel(kWidth * 3 / 4, kHeight * 3 / 4), (std::array<int, 4>{0, 0, 0, 255}));
    k_DistortedQuad noTexture(engine.get(), nullptr);
    noTexture.Render();
    ExpectNoGlErrors();
}

}  // namespace
