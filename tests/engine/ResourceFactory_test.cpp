// The resource factory's caches, logging, extension rule and callback registry.
#include <gtest/gtest.h>

#include <string>

#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShader.h"
#include "core/IShaderCallback.h"
#include "core/ITexture.h"
#include "support/ScratchFolder.h"
#include "core/IShaderProgram.h"
#include "resources/k_DeltaTimeShaderCallback.h"
#include "engine/k_ResourceFactory.h"
#include "resources/k_ShaderProgram.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"

namespace {

// A callback that throws what no handler of the system names, from inside a material's
// construction (the loader asks every attached callback whether it accepts the program).
class ThrowingCallback : public IShaderCallback {
public:
    std::wstring GetName() override { return L"throws"; }
    void Apply(IShaderProgram*, void*) override {}
    bool Accepts(IShaderProgram*) override { throw 42; }
};

// Notes, when the factory destroys it, whether the GL objects of a shader and a program still exist.
class ProbeCallback : public IShaderCallback {
public:
    ProbeCallback(unsigned shader, unsigned program, bool& shaderAlive, bool& programAlive)
        : m_shader(shader), m_program(program), m_shaderAlive(shaderAlive), m_programAlive(programAlive)
    {
    }
    ~ProbeCallback() override
    {
        m_shaderAlive = glIsShader(m_shader);
        m_programAlive = glIsProgram(m_program);
    }
    std::wstring GetName() override { return L"probe"; }
    void Apply(IShaderProgram*, void*) override {}
    bool Accepts(IShaderProgram*) override { return true; }

private:
    unsigned m_shader;
    unsigned m_program;
    bool& m_shaderAlive;
    bool& m_programAlive;
};

class ResourceFactoryTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        factory = engine->GetResourceFactory();
        engine->GetFileSystem()->UseDirectory(Text::FromUtf8(folder.Path().string()));
        ASSERT_EQ(folder.Run("convert -size 4x4 xc:orange -define png:color-type=2 x.png"), 0);
        ASSERT_EQ(folder.Run("convert -size 4x4 xc:orange y.jpg"), 0);
    }

    int Count(const LogCapture& log, const std::string& line)
    {
        int count = 0;
        for (const std::string& text : log.Lines()) count += text == line;
        return count;
    }

    ScratchFolder folder;
    IResourceFactory* factory = nullptr;
};

TEST_F(ResourceFactoryTest, TexturesAreCachedByNameAndLoggedOnEveryCall)
{
    LogCapture log;
    ITexture* first = factory->LoadTexture(L"x", L"x.png");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(factory->LoadTexture(L"x", L"x.png"), first);
    EXPECT_EQ(Count(log, "Loading x.png..."), 2);
    EXPECT_NE(factory->LoadTexture(L"X", L"x.png"), first) << "names compare case-sensitively";
}

TEST_F(ResourceFactoryTest, ACachedNameIgnoresTheNewFile)
{
    ITexture* png = factory->LoadTexture(L"picture", L"x.png");
    LogCapture log;
    EXPECT_EQ(factory->LoadTexture(L"picture", L"elsewhere.jpg"), png);
    EXPECT_FALSE(log.Contains("Cannot read from file"));
}

TEST_F(ResourceFactoryTest, TheDecoderFollowsTheExtensionInsideTheName)
{
    folder.Write("Photo.JPG", folder.Read("y.jpg"));
    folder.Write("archive.jpg.png", folder.Read("y.jpg"));
    folder.Write("archive.png.jpg", folder.Read("y.jpg"));
    folder.Write("x.png.bak", folder.Read("x.png"));
    folder.Write(".png", folder.Read("x.png"));
    folder.Write("noextension", folder.Read("x.png"));
    struct Case {
        const wchar_t* file;
        bool loads;
    } cases[] = {
        {L"Photo.JPG", false},      // the test is case-sensitive
        {L"archive.jpg.png", true},  // ".jpg" wins wherever it is: decoded as JPEG
        {L"archive.png.jpg", true},
        {L"x.png.bak", true},        // the extension need not end the name
        {L".png", false},            // nor may it start it
        {L"noextension", false},
    };
    for (const Case& c : cases) {
        LogCapture log;
        EXPECT_EQ(factory->LoadTexture(c.file, c.file) != nullptr, c.loads) << Text::ToUtf8(c.file);
        if (!c.loads) {
            EXPECT_EQ(log.Lines().size(), 1u) << "only the Loading line for " << Text::ToUtf8(c.file);
        }
    }
}

TEST_F(ResourceFactoryTest, FailedTexturesAreNotCached)
{
    LogCapture log;
    EXPECT_EQ(factory->LoadTexture(L"late", L"late.png"), nullptr);
    folder.Write("late.png", folder.Read("x.png"));
    EXPECT_NE(factory->LoadTexture(L"late", L"late.png"), nullptr);
    EXPECT_EQ(Count(log, "Cannot read from file: late.png"), 1);
}

TEST_F(ResourceFactoryTest, AMissingMaterialFileGivesOneEmptyMaterial)
{
    LogCapture log;
    IMaterial* material = factory->LoadMaterial(L"nothing", L"missing.mat");
    ASSERT_NE(material, nullptr);
    EXPECT_TRUE(material->GetPasses().empty());
    EXPECT_EQ(factory->LoadMaterial(L"nothing", L"missing.mat"), material);
    EXPECT_EQ(Count(log, "Creating material 'nothing' from missing.mat"), 2);
    EXPECT_EQ(Count(log, "MaterialLoader: Loading material: missing.mat..."), 1);
}

TEST_F(ResourceFactoryTest, OneFileUnderTwoNamesGivesTwoMaterialsSharingShaders)
{
    folder.Write("m.mat", "pixelshader p {{\nvoid main() { gl_FragColor = vec4(1.0); }\n}}\n"
                          "material {\nuseshader p\n}\n");
    IMaterial* a = factory->LoadMaterial(L"a", L"m.mat");
    IMaterial* b = factory->LoadMaterial(L"b", L"m.mat");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    ASSERT_EQ(a->GetPasses().size(), 1u);
    ASSERT_EQ(b->GetPasses().size(), 1u);
    EXPECT_NE(a->GetPasses()[0]->program, b->GetPasses()[0]->program);
}

TEST_F(ResourceFactoryTest, ShadersShareOneCacheAndLogEveryCall)
{
    folder.Write("s.vs", "void main() { gl_Position = gl_Vertex; }\n");
    LogCapture log;
    IShader* created =
        factory->CreateShader(L"s.vs", IShader::Vertex, L"embedded", "void main() { gl_Position = gl_Vertex; }\n");
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(factory->LoadShader(L"s.vs", IShader::Vertex, L"s.vs"), created);
    EXPECT_EQ(factory->CreateShader(L"s.vs", IShader::Pixel, L"other", "garbage"), created);
    EXPECT_EQ(Count(log, "Creating embedded..."), 1);
    EXPECT_EQ(Count(log, "Loading s.vs..."), 1);
    EXPECT_EQ(Count(log, "Creating other..."), 1);
    EXPECT_FALSE(log.Contains("Error compiling")) << "the cached shader was returned, nothing compiled";
}

TEST_F(ResourceFactoryTest, ProgramsAreNeverShared)
{
    IShader* shader = factory->CreateShader(L"v", IShader::Vertex, L"v", "void main() { gl_Position = gl_Vertex; }\n");
    LogCapture log;
    IShaderProgram* first = factory->CreateShaderProgram({shader});
    IShaderProgram* second = factory->CreateShaderProgram({shader});
    EXPECT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(Count(log, "Creating shader program..."), 2);
}

TEST_F(ResourceFactoryTest, CallbackRegistry)
{
    EXPECT_NE(factory->GetShaderCallback(L"bones"), nullptr) << "registered by the constructor";
    EXPECT_EQ(factory->RegisterShaderCallback(nullptr), nullptr);
    auto first = std::make_unique<k_DeltaTimeShaderCallback>(engine.get());
    IShaderCallback* registered = first.get();
    EXPECT_EQ(factory->RegisterShaderCallback(std::move(first)), nullptr) << "taken over";
    auto second = std::make_unique<k_DeltaTimeShaderCallback>(engine.get());
    IShaderCallback* refused = second.get();
    EXPECT_EQ(factory->RegisterShaderCallback(std::move(second)).get(), refused) << "a refused callback comes back";
    EXPECT_EQ(factory->GetShaderCallback(L"deltatime"), registered);
    EXPECT_EQ(factory->GetShaderCallback(L"DeltaTime"), nullptr);
}

TEST_F(ResourceFactoryTest, AnythingThrownDuringConstructionGivesNull)
{
    ASSERT_EQ(factory->RegisterShaderCallback(std::make_unique<ThrowingCallback>()), nullptr);
    folder.Write("t.mat", "pixelshader p {{\nvoid main() { gl_FragColor = vec4(1.0); }\n}}\n"
                          "material {\nuseshader p\nshadercallback throws\n}\n");
    EXPECT_EQ(factory->LoadMaterial(L"t", L"t.mat"), nullptr);
    LogCapture log;
    EXPECT_EQ(factory->LoadMaterial(L"t", L"t.mat"), nullptr);
    EXPECT_TRUE(log.Contains("MaterialLoader: Loading material: t.mat...")) << "nothing was cached";
}

TEST_F(ResourceFactoryTest, CallbacksAreReleasedAfterShadersAndPrograms)
{
    bool shaderAlive = true, programAlive = true;
    {
        k_ResourceFactory own(engine.get());
        IShader* shader = own.CreateShader(L"v", IShader::Vertex, L"v", "void main() { gl_Position = gl_Vertex; }\n");
        auto* program = static_cast<k_ShaderProgram*>(own.CreateShaderProgram({shader}));
        ASSERT_NE(program, nullptr);
        ASSERT_EQ(own.RegisterShaderCallback(std::make_unique<ProbeCallback>(
                      shader->GetShaderObject(), program->GetProgramObject(), shaderAlive, programAlive)),
                  nullptr);
    }
    EXPECT_FALSE(shaderAlive);
    EXPECT_FALSE(programAlive);
}

}  // namespace
