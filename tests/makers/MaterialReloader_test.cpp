// Live reloading from a data folder: a changed material is drawn anew through the same pass with
// the values code set kept, and a version that fails keeps the last good program.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/Text.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "makers/MaterialReloader.h"
#include "resources/k_ShaderProgram.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"
#include "support/ScratchFolder.h"

namespace {

// The colour times a level and a picture's green, which code sets once: lost values draw black.
std::string Tint(const char* colour)
{
    return std::string("pixelshader tint {{\n"
                       "uniform float level;\n"
                       "uniform sampler2D picture;\n"
                       "void main() { gl_FragColor = ") +
           colour +
           " * level * texture2D(picture, vec2(0.5)).g; }\n"
           "}}\n"
           "material {\n"
           "vertexshader Plain.vs\n"
           "useshader tint\n"
           "reservetexture 1 clamp\n"
           "culling none\n"
           "}\n";
}

class MaterialReloaderTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        engine->GetFileSystem()->UseDirectory(Text::FromUtf8(folder.Path().string()));
        ASSERT_EQ(folder.Run("convert -size 4x4 xc:white -define png:color-type=2 white.png"), 0);
    }

    // Written with a modification time of its own, so no check depends on the clock's resolution.
    void Write(const std::string& name, const std::string& text)
    {
        folder.Write(name, text);
        const std::filesystem::path path = folder / name;
        std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::hours(++m_edits));
    }

    std::array<int, 4> Drawn(IMaterial* material)
    {
        ResetToPlainDrawing();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        EXPECT_TRUE(material->Apply());
        glBegin(GL_QUADS);
        glVertex2f(-1, -1);
        glVertex2f(1, -1);
        glVertex2f(1, 1);
        glVertex2f(-1, 1);
        glEnd();
        glUseProgram(0);
        return Pixel(kWidth / 2, kHeight / 2);
    }

    ScratchFolder folder;
    int m_edits = 0;
};

TEST_F(MaterialReloaderTest, AChangedMaterialIsDrawnAnewAndABrokenStageKeepsTheLastGoodOne)
{
    Write("Plain.vs", "void main() { gl_Position = gl_Vertex; }\n");
    Write("Tint.mat", Tint("vec4(1.0, 0.0, 0.0, 1.0)"));
    IResourceFactory* factory = engine->GetResourceFactory();
    IMaterial* material = factory->LoadMaterial(L"Tint.mat", L"Tint.mat");
    ASSERT_NE(material, nullptr);
    MaterialPass* pass = material->FindPass(nullptr);
    ASSERT_TRUE(pass && pass->program);
    // What a world does once: fill the reserved slot, point the sampler at it, set a uniform.
    pass->textures[1].texture = factory->LoadTexture(L"white.png", L"white.png");
    pass->program->SetInt("picture", 1);
    pass->program->SetFloat("level", 0.5f);
    MaterialReloader reloader(engine.get());
    EXPECT_EQ(reloader.GetWatchedFileCount(), 2);
    EXPECT_EQ(reloader.CheckNow(), 0) << "nothing changed yet";
    const std::array<int, 4> red = Drawn(material);
    EXPECT_NEAR(red[0], 128, 2);
    EXPECT_EQ(red[1], 0);

    Write("Tint.mat", Tint("vec4(0.0, 1.0, 0.0, 1.0)"));
    EXPECT_EQ(reloader.CheckNow(), 1);
    EXPECT_TRUE(reloader.GetFailures().empty());
    ASSERT_EQ(material->FindPass(nullptr), pass) << "the pass worlds hold is updated in place";
    IShaderProgram* reloaded = pass->program;
    const std::array<int, 4> green = Drawn(material);
    EXPECT_EQ(green[0], 0);
    EXPECT_NEAR(green[1], 128, 2) << "the new colour, with the level, sampler and slot kept";
    EXPECT_EQ(pass->program->GetInt("picture"), 1);

    {
        LogCapture log;
        Write("Plain.vs", "void main() {\n    gl_Position = gl_Vertex * undeclared;\n}\n");
        EXPECT_EQ(reloader.CheckNow(), 1) << "a shader file the material names is watched too";
        EXPECT_TRUE(log.Has(Log::Level::Warning, "Reload of Tint.mat failed")) << "reported in the log";
    }
    EXPECT_EQ(pass->program, reloaded) << "the last good program stays";
    EXPECT_NEAR(Drawn(material)[1], 128, 2);
    ASSERT_EQ(reloader.GetFailures().size(), 1u);
    const MaterialReloader::Failure& failure = reloader.GetFailures().front();
    EXPECT_EQ(failure.material, "Tint.mat");
    EXPECT_NE(failure.errors.find("Error compiling vertexshader: Plain.vs"), std::string::npos) << failure.errors;
    EXPECT_NE(failure.errors.find("0:2("), std::string::npos) << "the driver's line: " << failure.errors;
    EXPECT_EQ(reloader.CheckNow(), 0) << "a failed version is not retried until it changes again";

    Write("Plain.vs", "void main() { gl_Position = gl_Vertex; }\n");
    EXPECT_EQ(reloader.CheckNow(), 1);
    EXPECT_TRUE(reloader.GetFailures().empty()) << "a clean version clears the error";
    EXPECT_NEAR(Drawn(material)[1], 128, 2);
    ExpectNoGlErrors();
}

// The program in use when the reload comes (the last one a frame drew) is one of those replaced,
// and a pass after it restores what it found in use: that name must not be handed back to GL
// once it is gone.
TEST_F(MaterialReloaderTest, ReplacingTheProgramInUseLeavesNoGlError)
{
    Write("Plain.vs", "void main() { gl_Position = gl_Vertex; }\n");
    const std::string twoPasses = Tint("vec4(1.0)") +
                                  "pixelshader flat {{\nvoid main() { gl_FragColor = vec4(1.0); }\n}}\n"
                                  "material {\ntarget Other\nvertexshader Plain.vs\nuseshader flat\n}\n";
    Write("Two.mat", twoPasses);
    IMaterial* material = engine->GetResourceFactory()->LoadMaterial(L"Two.mat", L"Two.mat");
    ASSERT_NE(material, nullptr);
    ASSERT_EQ(material->GetPasses().size(), 2u);
    MaterialReloader reloader(engine.get());
    ExpectNoGlErrors();
    material->GetPasses().front()->program->Use();

    Write("Two.mat", twoPasses + "\n");
    {
        LogCapture log;
        EXPECT_EQ(reloader.CheckNow(), 1);
        EXPECT_FALSE(log.Contains("OPENGL :: ERROR")) << "the reload checks GL's errors and logs them";
    }
    EXPECT_TRUE(reloader.GetFailures().empty());
    ExpectNoGlErrors();
    glUseProgram(0);
}

// Runs once, on the first log line that holds a text: a save that lands at that point of a reload.
std::function<void()> g_onLine;
std::string g_trigger;
Log::Sink g_passOn = nullptr;

void Trigger(Log::Level level, const std::string& text)
{
    if (g_onLine && text.find(g_trigger) != std::string::npos) {
        const std::function<void()> once = std::move(g_onLine);
        g_onLine = nullptr;
        once();
    }
    if (g_passOn) g_passOn(level, text);
}

// Many instances of one material file (the pictures each have one): a reload compiles and links
// once for all of them, each keeps the values code set on it, and a save that lands while the
// file is being loaded is not lost on any of them.
TEST_F(MaterialReloaderTest, InstancesOfOneFileReloadOnceAndAllEndOnTheNewestVersion)
{
    Write("Plain.vs", "void main() { gl_Position = gl_Vertex; }\n");
    Write("Tint.mat", Tint("vec4(1.0, 0.0, 0.0, 1.0)"));
    IResourceFactory* factory = engine->GetResourceFactory();
    ITexture* white = factory->LoadTexture(L"white.png", L"white.png");
    const float levels[3] = {0.25f, 0.5f, 1.0f};
    IMaterial* instances[3] = {};
    for (int i = 0; i < 3; ++i) {
        instances[i] = factory->LoadMaterial(L"Tint" + std::to_wstring(i), L"Tint.mat");
        ASSERT_NE(instances[i], nullptr);
        MaterialPass* pass = instances[i]->FindPass(nullptr);
        ASSERT_TRUE(pass && pass->program);
        pass->textures[1].texture = white;
        pass->program->SetInt("picture", 1);
        pass->program->SetFloat("level", levels[i]);
    }
    const auto object = [&](int i) {
        return dynamic_cast<k_ShaderProgram&>(*instances[i]->FindPass(nullptr)->program).GetProgramObject();
    };
    EXPECT_EQ(object(0), object(1)) << "one link for the instances of one file";
    EXPECT_EQ(object(0), object(2));
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(Drawn(instances[i])[0], 255 * levels[i], 2) << "instance " << i;

    MaterialReloader reloader(engine.get());
    Write("Tint.mat", Tint("vec4(0.0, 1.0, 0.0, 1.0)"));
    {
        LogCapture log;
        g_passOn = Log::SetSink(Trigger);
        // The next save lands once the file has been read for the first instance.
        g_trigger = "MaterialLoader: Finished loading material.";
        g_onLine = [&] { Write("Tint.mat", Tint("vec4(0.0, 0.0, 1.0, 1.0)")); };
        EXPECT_EQ(reloader.CheckNow(), 3);
        Log::SetSink(g_passOn);
        EXPECT_FALSE(g_onLine) << "the save was made during the reload";
        int reloads = 0, links = 0;
        for (const std::string& line : log.Lines()) {
            reloads += line.rfind("Reloading material Tint.mat", 0) == 0;
            links += line == "Creating shader program...";
        }
        EXPECT_EQ(reloads, 1) << "one load for the three instances";
        EXPECT_EQ(links, 1);
    }
    EXPECT_EQ(object(0), object(1));
    EXPECT_EQ(reloader.CheckNow(), 3) << "the save made during the reload is seen";
    EXPECT_EQ(reloader.CheckNow(), 0);
    EXPECT_TRUE(reloader.GetFailures().empty());
    for (int i = 0; i < 3; ++i) {
        const std::array<int, 4> drawn = Drawn(instances[i]);
        EXPECT_EQ(drawn[1], 0) << "instance " << i << " is on the newest version";
        EXPECT_NEAR(drawn[2], 255 * levels[i], 2) << "instance " << i << " keeps its own level";
    }
    ExpectNoGlErrors();
}

}  // namespace
