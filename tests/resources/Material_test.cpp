// Materials: pass choice by world name, the whole state of a pass, texture slots and the
// automatic uniforms, checked against the GL state and the program's uniforms.
#include <gtest/gtest.h>

#include <string>

#include "core/ITimeline.h"
#include "core/IRenderer.h"
#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "core/ITexture.h"
#include "support/ScratchFolder.h"
#include "engine/k_World.h"
#include "scene/k_Camera.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"

namespace {

// Uses every automatic uniform and twelve samplers, so none is optimised away.
const char* const kShaders = R"(vertexshader v {{
void main() { gl_Position = gl_Vertex; }
}}
pixelshader p {{
uniform sampler2D texture0, texture1, texture2, texture3, texture4, texture5;
uniform sampler2D texture6, texture7, texture8, texture9, texture10, texture11;
uniform vec4 texture0Ddxy, texture1Ddxy, texture10Ddxy, texture11Ddxy;
uniform int numOfLights;
uniform float demoTime, aspectRatio;
uniform vec3 eyePosition, eyeDirection;
uniform mat4 viewMatrix, viewMatrixInverse;
void main() {
    vec4 sum = texture2D(texture0, vec2(0.0)) + texture2D(texture1, vec2(0.0)) + texture2D(texture2, vec2(0.0))
             + texture2D(texture3, vec2(0.0)) + texture2D(texture4, vec2(0.0)) + texture2D(texture5, vec2(0.0))
             + texture2D(texture6, vec2(0.0)) + texture2D(texture7, vec2(0.0)) + texture2D(texture8, vec2(0.0))
             + texture2D(texture9, vec2(0.0)) + texture2D(texture10, vec2(0.0)) + texture2D(texture11, vec2(0.0));
    sum += texture0Ddxy + texture1Ddxy + texture10Ddxy + texture11Ddxy;
    sum += vec4(float(numOfLights) + demoTime + aspectRatio) + vec4(eyePosition + eyeDirection, 1.0);
    gl_FragColor = sum + viewMatrix[0] + viewMatrixInverse[1];
}
}}
)";

class MaterialTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        engine->GetFileSystem()->UseDirectory(Text::FromUtf8(folder.Path().string()));
        ASSERT_EQ(folder.Run("convert -size 256x128 xc:gold -define png:color-type=2 wide.png"), 0);
        ASSERT_EQ(folder.Run("convert -size 4x4 xc:gold small.jpg"), 0);
    }

    IMaterial* Load(const std::string& text)
    {
        const std::string name = "m" + std::to_string(++m_count) + ".mat";
        folder.Write(name, std::string(kShaders) + text);
        const std::wstring wide = Text::FromUtf8(name);
        IMaterial* material = engine->GetResourceFactory()->LoadMaterial(wide, wide);
        EXPECT_NE(material, nullptr);
        return material;
    }

    void MakeCurrent(IWorld* world) { engine->GetRenderer()->SetCurrentWorld(world); }

    static GLint Integer(GLenum name)
    {
        GLint value = 0;
        glGetIntegerv(name, &value);
        return value;
    }

    ScratchFolder folder;
    k_World plasma{nullptr, "Plasma"};
    k_World hdr{nullptr, "Hdr"};
    int m_count = 0;
};

TEST_F(MaterialTest, ThePassFollowsTheCurrentWorldsName)
{
    IMaterial* material = Load("material {\nuseshader v\nshininess 1\n}\n"
                               "material {\ntarget Plasma\nuseshader v\nshininess 2\n}\n");
    const auto& passes = material->GetPasses();
    ASSERT_EQ(passes.size(), 2u);
    MakeCurrent(&plasma);
    EXPECT_EQ(material->FindPass(nullptr), passes[1].get());
    EXPECT_EQ(material->FindPass(&hdr), passes[0].get()) << "an explicit world wins";
    MakeCurrent(&hdr);
    EXPECT_EQ(material->FindPass(nullptr), passes[0].get());
    MakeCurrent(nullptr);
    EXPECT_EQ(material->FindPass(nullptr), passes[0].get()) << "no world: only the default pass";
    k_World lowercase(nullptr, "plasma");
    EXPECT_EQ(material->FindPass(&lowercase), passes[0].get()) << "names compare exactly";
}

TEST_F(MaterialTest, WithoutAMatchingPassNothingIsApplied)
{
    IMaterial* material = Load("material {\ntarget Plasma\nuseshader v\nalphablend true\nculling none\n}\n");
    MakeCurrent(&hdr);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glUseProgram(0);
    EXPECT_FALSE(material->Apply());
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(Integer(GL_CURRENT_PROGRAM), 0);
    MakeCurrent(&plasma);
    EXPECT_TRUE(material->Apply());
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(MaterialTest, EveryApplySetsTheWholeState)
{
    IMaterial* custom = Load("material {\nuseshader p\nculling front\ndepthwrite false\ndepthfunc greater\n"
                             "alphablend true\nsrcblendmode srcalpha\ndestblendmode one\n"
                             "alphatestfunc lessequal\nalphatestvalue 0.5\n"
                             "ambient 0.1 0.2 0.3 0.4\ndiffuse 0.5 0.5 0.5 1\nspecular 1 0 0 1\n"
                             "emissive 0 1 0 1\nshininess 64\n}\n");
    IMaterial* plain = Load("material {\n}\n");
    MakeCurrent(&hdr);

    ASSERT_TRUE(custom->Apply());
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(Integer(GL_CULL_FACE_MODE), GL_FRONT);
    EXPECT_EQ(Integer(GL_DEPTH_WRITEMASK), GL_FALSE);
    EXPECT_EQ(Integer(GL_DEPTH_FUNC), GL_GREATER);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(Integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(Integer(GL_ALPHA_TEST_FUNC), GL_LEQUAL);
    float value[4] = {};
    glGetFloatv(GL_ALPHA_TEST_REF, value);
    EXPECT_FLOAT_EQ(value[0], 0.5f);
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, value);
    EXPECT_EQ(Vector(value[0], value[1], value[2], value[3]), Vector(0.1f, 0.2f, 0.3f, 0.4f));
    glGetMaterialfv(GL_BACK, GL_EMISSION, value);
    EXPECT_EQ(Vector(value[0], value[1], value[2], value[3]), Vector(0, 1, 0, 1));
    glGetMaterialfv(GL_BACK, GL_SHININESS, value);
    EXPECT_EQ(value[0], 64);
    EXPECT_NE(Integer(GL_CURRENT_PROGRAM), 0);
    const GLint customProgram = Integer(GL_CURRENT_PROGRAM);

    ASSERT_TRUE(plain->Apply());
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(Integer(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_EQ(Integer(GL_DEPTH_WRITEMASK), GL_TRUE);
    EXPECT_EQ(Integer(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, value);
    EXPECT_EQ(Vector(value[0], value[1], value[2], value[3]), Vector(0, 0, 0, 0));
    glGetMaterialfv(GL_FRONT, GL_SHININESS, value);
    EXPECT_EQ(value[0], 8);
    EXPECT_EQ(Integer(GL_CURRENT_PROGRAM), customProgram) << "a pass without a program leaves the current one";
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MaterialTest, DepthFunctionDisabledLetsEveryFragmentThrough)
{
    IMaterial* material = Load("material {\nuseshader v\ndepthfunc disabled\n}\n");
    MakeCurrent(&hdr);
    ASSERT_TRUE(material->Apply());
    EXPECT_EQ(Integer(GL_DEPTH_FUNC), GL_ALWAYS);
    EXPECT_EQ(Integer(GL_DEPTH_WRITEMASK), GL_TRUE) << "depth is still written";
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MaterialTest, ApplyUnbindsEveryTextureUnitFirst)
{
    IMaterial* material = Load("material {\nuseshader p\nloadtexture 1 small.jpg\n}\n");
    GLuint stray = 0;
    glGenTextures(1, &stray);
    glActiveTexture(GL_TEXTURE5);
    glBindTexture(GL_TEXTURE_2D, stray);
    MakeCurrent(&hdr);
    ASSERT_TRUE(material->Apply());
    glActiveTexture(GL_TEXTURE5);
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), 0);
    glActiveTexture(GL_TEXTURE0);
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), 0);
    glActiveTexture(GL_TEXTURE1);
    EXPECT_NE(Integer(GL_TEXTURE_BINDING_2D), 0);
    glDeleteTextures(1, &stray);
}

TEST_F(MaterialTest, SamplersCountSlotsNotUnits)
{
    IMaterial* material = Load("material {\nuseshader p\nreservetexture 0 clamp\nloadtexture 1 wide.png\n"
                               "loadtexture 3 small.jpg mirror clamp\nloadtexture 6 missing.png\n}\n");
    MakeCurrent(&hdr);
    ASSERT_TRUE(material->Apply());
    IShaderProgram* program = material->GetPasses()[0]->program;
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->GetInt("texture0"), 0) << "a reserved slot sets nothing";
    EXPECT_EQ(program->GetInt("texture1"), 1);
    EXPECT_EQ(program->GetInt("texture2"), 3);
    EXPECT_EQ(program->GetInt("texture3"), 0) << "a texture that failed to load sets nothing";
    EXPECT_EQ(program->GetVector4("texture1Ddxy"), Vector(0.00390625f, 0.0078125f, 256, 128));

    glActiveTexture(GL_TEXTURE3);
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D) != 0, true);
    GLint wrapS = 0, wrapT = 0, minFilter = 0, magFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(wrapS, GL_MIRRORED_REPEAT);
    EXPECT_EQ(wrapT, GL_CLAMP_TO_EDGE);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
}

TEST_F(MaterialTest, SlotsOnUnitsOneAndTwo)
{
    IMaterial* material = Load("material {\nuseshader p\nloadtexture 2 small.jpg\nloadtexture 1 wide.png\n}\n");
    MakeCurrent(&hdr);
    ASSERT_TRUE(material->Apply());
    IShaderProgram* program = material->GetPasses()[0]->program;
    EXPECT_EQ(program->GetInt("texture0"), 1);
    EXPECT_EQ(program->GetInt("texture1"), 2);
    EXPECT_EQ(program->GetVector4("texture0Ddxy"), Vector(1.0f / 256, 1.0f / 128, 256, 128));
}

TEST_F(MaterialTest, MoreThanTenSlotsAreNamedInFull)
{
    std::string slots;
    for (int unit = 0; unit < 12; ++unit)
        slots += "loadtexture " + std::to_string(unit) + (unit == 11 ? " wide.png\n" : " small.jpg\n");
    IMaterial* material = Load("material {\nuseshader p\n" + slots + "}\n");
    MakeCurrent(&hdr);
    ASSERT_TRUE(material->Apply());
    IShaderProgram* program = material->GetPasses()[0]->program;
    EXPECT_EQ(program->GetInt("texture10"), 10);
    EXPECT_EQ(program->GetInt("texture11"), 11);
    EXPECT_EQ(program->GetVector4("texture10Ddxy"), Vector(0.25f, 0.25f, 4, 4));
    EXPECT_EQ(program->GetVector4("texture11Ddxy"), Vector(1.0f / 256, 1.0f / 128, 256, 128));
    EXPECT_EQ(program->GetInt("texture1"), 1) << "texture1 is not confused with texture10 or texture11";
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MaterialTest, AutomaticUniformsComeFromTheWorldTimelineAndCamera)
{
    IMaterial* material = Load("material {\nuseshader p\n}\n");
    k_Camera camera(engine.get());
    camera.SetEye(Vector::Point(1, 2, 3));
    camera.SetTarget(Vector::Point(1, 2, -7));
    camera.Apply();
    plasma.SetCamera(&camera);
    plasma.AddLight(nullptr);
    plasma.AddLight(nullptr);
    engine->GetTimeline()->Advance(1.5);
    MakeCurrent(&plasma);
    ASSERT_TRUE(material->Apply());
    IShaderProgram* program = material->GetPasses()[0]->program;
    EXPECT_EQ(program->GetInt("numOfLights"), 2);
    EXPECT_FLOAT_EQ(program->GetFloat("demoTime"), 1.5f);
    EXPECT_FLOAT_EQ(program->GetFloat("aspectRatio"), 320.0f / 240.0f);
    const Vector eye = program->GetVector4("eyePosition");
    EXPECT_EQ(Vector(eye.x, eye.y, eye.z, 0), Vector(1, 2, 3, 0));
    const Vector direction = program->GetVector4("eyeDirection");
    const Vector expectedDirection = camera.GetDirection();
    EXPECT_EQ(Vector(direction.x, direction.y, direction.z, 0),
              Vector(expectedDirection.x, expectedDirection.y, expectedDirection.z, 0));
    EXPECT_NEAR(direction.z, -1, 1e-3);
    const Matrix view(camera.GetViewMatrix());
    EXPECT_EQ(program->GetMatrix4("viewMatrix"), view);
    const Matrix inverse = program->GetMatrix4("viewMatrixInverse");
    const Matrix expected = view.Inverse();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(inverse[i], expected[i], 1e-5) << i;
    EXPECT_NEAR(inverse[12], 1, 1e-4) << "the inverse view carries the eye";
}

TEST_F(MaterialTest, WithoutACameraOnlyTheCameraUniformsStayUnset)
{
    IMaterial* material = Load("material {\nuseshader p\n}\n");
    engine->GetTimeline()->Advance(0.75);
    MakeCurrent(&hdr);
    ASSERT_TRUE(material->Apply());
    IShaderProgram* program = material->GetPasses()[0]->program;
    EXPECT_FLOAT_EQ(program->GetFloat("demoTime"), 0.75f);
    EXPECT_FLOAT_EQ(program->GetFloat("aspectRatio"), 320.0f / 240.0f);
    EXPECT_EQ(program->GetVector4("eyePosition"), Vector(0, 0, 0, 0));
    const float zeros[16] = {};
    EXPECT_EQ(program->GetMatrix4("viewMatrix"), Matrix(zeros));
}

TEST_F(MaterialTest, PassesCanBeAddedAndReplacedByCode)
{
    IMaterial* material = Load("");
    auto pass = std::make_unique<MaterialPass>();
    pass->target = "Hdr";
    MaterialPass* first = pass.get();
    material->AddPass(std::move(pass));
    auto other = std::make_unique<MaterialPass>();
    material->AddPass(std::move(other));
    auto replacement = std::make_unique<MaterialPass>();
    replacement->target = "Hdr";
    MaterialPass* second = replacement.get();
    material->AddPass(std::move(replacement));
    ASSERT_EQ(material->GetPasses().size(), 2u);
    EXPECT_EQ(material->GetPasses()[0].get(), second);
    EXPECT_NE(material->GetPasses()[0].get(), first);
}

}  // namespace
