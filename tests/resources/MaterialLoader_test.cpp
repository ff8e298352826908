// Material files: grammar, keys and value tables, embedded shaders, includes and the warnings
// for lines that cannot be used.
#include <gtest/gtest.h>

#include <string>

#include "core/ITimeline.h"
#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShader.h"
#include "core/IShaderProgram.h"
#include "support/ScratchFolder.h"
#include "resources/k_DeltaTimeShaderCallback.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"

namespace {

const char* const kPixelSection = "pixelshader p {{\nvoid main() { gl_FragColor = vec4(1.0); }\n}}\n";

std::string Joined(const LogCapture& log)
{
    std::string all;
    for (const std::string& line : log.Lines()) all += line + "\n";
    return all;
}

class MaterialLoaderTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        factory = engine->GetResourceFactory();
        engine->GetFileSystem()->UseDirectory(Text::FromUtf8(folder.Path().string()));
    }

    // Loads text as the file name and returns the material (null if loading failed).
    IMaterial* Load(const std::string& name, const std::string& text)
    {
        folder.Write(name, text);
        const std::wstring wide = Text::FromUtf8(name);
        return factory->LoadMaterial(wide, wide);
    }

    // The only pass of a material made of one section around body.
    const MaterialPass& OnlyPass(const std::string& body)
    {
        IMaterial* material = Load("pass" + std::to_string(++m_count) + ".mat", "material {\n" + body + "\n}\n");
        EXPECT_NE(material, nullptr);
        static const MaterialPass empty;
        if (!material || material->GetPasses().size() != 1) {
            ADD_FAILURE() << "expected one pass";
            return empty;
        }
        return *material->GetPasses()[0];
    }

    static int CountLines(const LogCapture& log, const std::string& fragment)
    {
        int count = 0;
        for (const std::string& line : log.Lines()) count += line.find(fragment) != std::string::npos;
        return count;
    }

    static bool HasLine(const LogCapture& log, Log::Level level, const std::string& text)
    {
        for (const auto& entry : log.entries())
            if (entry.level == level && entry.text == text) return true;
        return false;
    }

    ScratchFolder folder;
    IResourceFactory* factory = nullptr;
    int m_count = 0;
};

TEST_F(MaterialLoaderTest, NewPassDefaults)
{
    LogCapture log;
    const MaterialPass& pass = OnlyPass("");
    EXPECT_TRUE(pass.target.empty());
    EXPECT_TRUE(pass.textures.empty());
    EXPECT_EQ(pass.program, nullptr);
    EXPECT_EQ(pass.ambient, Colour(0, 0, 0, 0));
    EXPECT_EQ(pass.shininess, 8);
    EXPECT_TRUE(pass.depthWrite);
    EXPECT_EQ(pass.depthFunction, GL_LESS);
    EXPECT_EQ(pass.alphaTestFunction, 0);
    EXPECT_FALSE(pass.blending);
    EXPECT_EQ(pass.sourceBlendFactor, GL_ONE);
    EXPECT_EQ(pass.destinationBlendFactor, GL_ZERO);
    EXPECT_EQ(pass.cullFace, GL_BACK);
    EXPECT_TRUE(HasLine(log, Log::Level::Error, "MaterialLoader: No shaders definied. (pass1.mat:3)"));
}

TEST_F(MaterialLoaderTest, LoadingIsLogged)
{
    LogCapture log;
    Load("logged.mat", "include {\n}\n");
    const std::vector<std::string> expected = {
        "Creating material 'logged.mat' from logged.mat",
        "MaterialLoader: Loading material: logged.mat...",
        "MaterialLoader: Finished loading material.",
        "MaterialLoader: Loading material includes...",
        "MaterialLoader: Finished loading material.",
    };
    EXPECT_EQ(log.Lines(), expected);
}

TEST_F(MaterialLoaderTest, KeysSetThePass)
{
    const MaterialPass& pass = OnlyPass(
        "target Terrain\n"
        "depthfunc greaterequal\n"
        "alphatestfunc greater\n"
        "alphatestvalue 0.25\n"
        "culling front\n"
        "depthwrite false\n"
        "alphablend true\n"
        "srcblendmode srcalpha\n"
        "destblendmode oneminussrcalpha\n"
        "ambient 0.1 0.2 0.3 0.4\n"
        "diffuse(0.5, 0.6, 0.7, 0.8)\n"
        "specular\t1,1,1,1\n"
        "emissive 0 0 0.5 1\n"
        "shininess 32.5\n");
    EXPECT_EQ(pass.target, "Terrain");
    EXPECT_EQ(pass.depthFunction, GL_GEQUAL);
    EXPECT_EQ(pass.alphaTestFunction, GL_GREATER);
    EXPECT_FLOAT_EQ(pass.alphaReference, 0.25f);
    EXPECT_EQ(pass.cullFace, GL_FRONT);
    EXPECT_FALSE(pass.depthWrite);
    EXPECT_TRUE(pass.blending);
    EXPECT_EQ(pass.sourceBlendFactor, GL_SRC_ALPHA);
    EXPECT_EQ(pass.destinationBlendFactor, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(pass.ambient, Colour(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(pass.diffuse, Colour(0.5f, 0.6f, 0.7f, 0.8f));
    EXPECT_EQ(pass.specular, Colour(1, 1, 1, 1));
    EXPECT_EQ(pass.emissive, Colour(0, 0, 0.5f, 1));
    EXPECT_FLOAT_EQ(pass.shininess, 32.5f);
}

TEST_F(MaterialLoaderTest, ColourWithParenthesesAndCommasReadsLikeSpaces)
{
    EXPECT_EQ(OnlyPass("ambient (0.2, 0.2, 0.2, 1)").ambient, OnlyPass("ambient 0.2 0.2 0.2 1").ambient);
}

TEST_F(MaterialLoaderTest, ValueTables)
{
    struct Row {
        const char* key;
        const char* word;
        int value;
    } rows[] = {
        {"depthfunc", "never", GL_NEVER},           {"depthfunc", "disabled", 0},
        {"depthfunc", "less", GL_LESS},             {"depthfunc", "equal", GL_EQUAL},
        {"depthfunc", "lessequal", GL_LEQUAL},      {"depthfunc", "greater", GL_GREATER},
        {"depthfunc", "notequal", GL_NOTEQUAL},     {"depthfunc", "greaterequal", GL_GEQUAL},
        {"depthfunc", "always", GL_ALWAYS},         {"depthfunc", "Less", 0},
        {"alphatestfunc", "lequal", 0},             {"culling", "none", 0},
        {"culling", "front", GL_FRONT},             {"culling", "back", GL_BACK},
        {"culling", "all", GL_BACK},                {"culling", "both", 0},
        {"srcblendmode", "zero", GL_ZERO},          {"srcblendmode", "one", GL_ONE},
        {"srcblendmode", "srccolor", GL_SRC_COLOR}, {"srcblendmode", "oneminussrccolor", GL_ONE_MINUS_SRC_COLOR},
        {"srcblendmode", "destcolor", GL_DST_COLOR}, {"srcblendmode", "oneminusdestcolor", GL_ONE_MINUS_DST_COLOR},
        {"srcblendmode", "srcalpha", GL_SRC_ALPHA}, {"srcblendmode", "oneminussrcalpha", GL_ONE_MINUS_SRC_ALPHA},
        {"srcblendmode", "destalpha", GL_DST_ALPHA}, {"srcblendmode", "oneminusdestalpha", GL_ONE_MINUS_DST_ALPHA},
        {"destblendmode", "srcalphasaturate", GL_SRC_ALPHA_SATURATE}, {"destblendmode", "One", GL_ZERO},
        {"depthwrite", "true", 1},                  {"depthwrite", "True", 0},
        {"alphablend", "yes", 0},
    };
    for (const Row& row : rows) {
        LogCapture log;
        const MaterialPass& pass = OnlyPass(std::string(row.key) + " " + row.word);
        const std::string key = row.key;
        const int value = key == "depthfunc"       ? pass.depthFunction
                          : key == "alphatestfunc" ? pass.alphaTestFunction
                          : key == "culling"       ? pass.cullFace
                          : key == "srcblendmode"  ? pass.sourceBlendFactor
                          : key == "destblendmode" ? pass.destinationBlendFactor
                          : key == "depthwrite"    ? pass.depthWrite
                                                   : pass.blending;
        EXPECT_EQ(value, row.value) << row.key << " " << row.word;
        const bool known = log.Contains("Unknown value");
        EXPECT_EQ(known, value != row.value || std::string(row.word) == "Less" || std::string(row.word) == "lequal" ||
                             std::string(row.word) == "both" || std::string(row.word) == "One" ||
                             std::string(row.word) == "True" || std::string(row.word) == "yes")
            << "unknown words warn: " << row.word;
    }
}

TEST_F(MaterialLoaderTest, TextureSlotsAndWrapModes)
{
    ASSERT_EQ(folder.Run("convert -size 4x4 xc:teal -define png:color-type=2 t.png"), 0);
    LogCapture log;
    const MaterialPass& pass = OnlyPass(
        "loadtexture 0 t.png\n"
        "loadtexture 2 t.png clamp\n"
        "loadtexture 3 t.png mirror repeat\n"
        "reservetexture 5 mirror\n"
        "reservetexture 6 clamp repeat\n"
        "loadtexture 7 missing.png clamp\n"
        "loadtexture 4 t.png sideways\n"
        "loadtexture 1\n"
        "reservetexture 8\n");
    ASSERT_EQ(pass.textures.size(), 7u);
    ITexture* t = pass.textures.at(0).texture;
    ASSERT_NE(t, nullptr);
    struct Slot {
        int unit;
        ITexture* texture;
        int wrapS, wrapT;
    } expected[] = {
        {0, t, GL_REPEAT, GL_REPEAT},
        {2, t, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE},
        {3, t, GL_MIRRORED_REPEAT, GL_REPEAT},
        {4, t, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE},
        {5, nullptr, GL_MIRRORED_REPEAT, GL_MIRRORED_REPEAT},
        {6, nullptr, GL_CLAMP_TO_EDGE, GL_REPEAT},
        {7, nullptr, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE},
    };
    for (const Slot& slot : expected) {
        ASSERT_EQ(pass.textures.count(slot.unit), 1u) << slot.unit;
        const TextureSlot& actual = pass.textures.at(slot.unit);
        EXPECT_EQ(actual.texture, slot.texture) << slot.unit;
        EXPECT_EQ(actual.wrapS, slot.wrapS) << slot.unit;
        EXPECT_EQ(actual.wrapT, slot.wrapT) << slot.unit;
    }
    EXPECT_TRUE(HasLine(log, Log::Level::Warning, "MaterialLoader: Unknown contenttype: loadtexture (pass1.mat:9)"));
    EXPECT_TRUE(HasLine(log, Log::Level::Warning, "MaterialLoader: Unknown contenttype: reservetexture (pass1.mat:10)"));
    EXPECT_TRUE(log.Contains("Cannot read from file: missing.png"));
    EXPECT_TRUE(HasLine(log, Log::Level::Error, "MaterialLoader: Texture missing.png not loaded (pass1.mat:7)"));
}

TEST_F(MaterialLoaderTest, TextureUnitsTheDriverLacksAreWarnedAndIgnored)
{
    ASSERT_EQ(folder.Run("convert -size 4x4 xc:teal -define png:color-type=2 t.png"), 0);
    GLint units = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    ASSERT_GT(units, 0);
    const std::string last = std::to_string(units - 1);
    const std::string rejected[] = {"-1", "2147483647", std::to_string(units)};
    LogCapture log;
    const MaterialPass& pass = OnlyPass("loadtexture " + rejected[0] + " t.png\nloadtexture " + rejected[1] +
                                        " t.png\nreservetexture " + rejected[2] + " clamp\nloadtexture " + last +
                                        " t.png\n");
    ASSERT_EQ(pass.textures.size(), 1u);
    EXPECT_NE(pass.textures.count(units - 1), 0u) << "the last unit the driver has is taken";
    int line = 2;
    for (const std::string& unit : rejected)
        EXPECT_TRUE(HasLine(log, Log::Level::Warning,
                            "MaterialLoader: Texture unit " + unit + " is not between 0 and " + last +
                                ", line ignored (pass1.mat:" + std::to_string(line++) + ")"))
            << unit << "\n" << Joined(log);
}

TEST_F(MaterialLoaderTest, ALaterSlotOfTheSameUnitReplacesTheEarlier)
{
    const MaterialPass& pass = OnlyPass("reservetexture 1 clamp\nreservetexture 1 mirror\n");
    ASSERT_EQ(pass.textures.size(), 1u);
    EXPECT_EQ(pass.textures.at(1).wrapS, GL_MIRRORED_REPEAT);
}

TEST_F(MaterialLoaderTest, HeaderWithoutBraceLoadsTheSame)
{
    LogCapture log;
    IMaterial* material = Load("bare.mat", "material\ntarget Hdr\n}\nmaterial\n{\ntarget Plasma\n}\n");
    ASSERT_NE(material, nullptr);
    ASSERT_EQ(material->GetPasses().size(), 2u);
    EXPECT_EQ(material->GetPasses()[0]->target, "Hdr");
    EXPECT_EQ(material->GetPasses()[1]->target, "Plasma");
    EXPECT_TRUE(HasLine(log, Log::Level::Warning, "MaterialLoader: Unknown contenttype: { (bare.mat:5)"));
}

TEST_F(MaterialLoaderTest, EmbeddedShadersAreNamedByFileAndSection)
{
    LogCapture log;
    IMaterial* material = Load("Common/Blur.mat", std::string(kPixelSection) +
                                                      "vertexshader blur {{\n"
                                                      "void main() {\n"
                                                      "    gl_Position = gl_Vertex;\n"
                                                      "}\n"
                                                      "}}\n"
                                                      "material {\nuseshader blur\nuseshader p\n}\n");
    ASSERT_NE(material, nullptr);
    EXPECT_TRUE(log.Contains("Creating Common/Blur.mat:blur..."));
    EXPECT_TRUE(log.Contains("Creating Common/Blur.mat:p..."));
    EXPECT_FALSE(log.Contains("Error compiling")) << "the closing brace of main stays in the source";
    ASSERT_EQ(material->GetPasses().size(), 1u);
    EXPECT_NE(material->GetPasses()[0]->program, nullptr);
}

TEST_F(MaterialLoaderTest, CompileErrorsNameTheMaterialFilesLines)
{
    // Header on line 12; the faulty statement on line 15, after a blank line the reader skips.
    LogCapture log;
    std::string text(11, '\n');
    text += "pixelshader broken {{\n"     // 12
            "void main() {\n"             // 13
            "\n"                          // 14
            "    gl_FragColor = nothing;\n"  // 15
            "}\n"                          // 16
            "}}\n";
    ASSERT_NE(Load("Broken.mat", text), nullptr);
    EXPECT_TRUE(HasLine(log, Log::Level::Error, "Error compiling pixelshader: Broken.mat:broken"));
    EXPECT_TRUE(log.Contains("0:15(")) << "the driver names line 15 of the material file";
}

TEST_F(MaterialLoaderTest, GlslLinesOfSeparatorsAloneReachTheShader)
{
    // A lone "," and a lone ")" are GLSL; dropped, the call below no longer compiles.
    LogCapture log;
    IMaterial* material = Load("Separators.mat", "pixelshader p {{\n"
                                                 "void main() {\n"
                                                 "    gl_FragColor = vec4(1.0\n"
                                                 "    ,\n"
                                                 "        0.5, 0.25, 1.0\n"
                                                 "    )\n"
                                                 "    ;\n"
                                                 "\n"
                                                 "    gl_FragColor.x = nothing;\n"  // line 9
                                                 "}\n"
                                                 "}}\n"
                                                 "material {\nuseshader p\n}\n");
    ASSERT_NE(material, nullptr);
    EXPECT_TRUE(log.Contains("0:9(")) << "only the deliberate error, on its own line of the file:\n" << Joined(log);
    EXPECT_FALSE(log.Contains("0:7(")) << Joined(log);
    EXPECT_FALSE(log.Contains("0:6(")) << Joined(log);
}

TEST_F(MaterialLoaderTest, ShaderSectionOpenedWithOneBraceEndsAtTheFirstClosingBrace)
{
    LogCapture log;
    IMaterial* material = Load("one-brace.mat", "pixelshader p {\n"
                                                "void main() {\n"
                                                "    gl_FragColor = vec4(1.0);\n"
                                                "}\n"
                                                "material {\n"
                                                "useshader p\n"
                                                "}\n");
    ASSERT_NE(material, nullptr);
    EXPECT_TRUE(HasLine(log, Log::Level::Error, "Error compiling pixelshader: one-brace.mat:p"));
    EXPECT_EQ(material->GetPasses().size(), 1u);
}

TEST_F(MaterialLoaderTest, UseOfAnUndefinedShaderIsAnError)
{
    LogCapture log;
    const MaterialPass& pass = OnlyPass("useshader later");
    EXPECT_EQ(pass.program, nullptr);
    EXPECT_TRUE(HasLine(log, Log::Level::Error, "MaterialLoader: Shader not definied: later (pass1.mat:2)"));
}

TEST_F(MaterialLoaderTest, PassesReplaceEarlierPassesOfTheSameTarget)
{
    IMaterial* material = Load("targets.mat", "material {\ntarget Plasma\nshininess 1\n}\n"
                                              "material {\nshininess 2\n}\n"
                                              "material {\ntarget Plasma\nshininess 3\n}\n"
                                              "material {\nshininess 4\n}\n");
    ASSERT_NE(material, nullptr);
    const auto& passes = material->GetPasses();
    ASSERT_EQ(passes.size(), 2u);
    EXPECT_EQ(passes[0]->target, "Plasma");
    EXPECT_EQ(passes[0]->shininess, 3);
    EXPECT_EQ(passes[1]->target, "");
    EXPECT_EQ(passes[1]->shininess, 4);
}

TEST_F(MaterialLoaderTest, IncludesLoadAfterTheWholeFile)
{
    folder.Write("inc.mat", "material {\ntarget Plasma\nshininess 9\n}\n");
    LogCapture log;
    IMaterial* material = Load("main.mat", "include {\ninc.mat\n}\n"
                                           "material {\ntarget Plasma\nshininess 1\n}\n"
                                           "material {\ntarget Hdr\n}\n");
    ASSERT_NE(material, nullptr);
    const auto& passes = material->GetPasses();
    ASSERT_EQ(passes.size(), 2u);
    EXPECT_EQ(passes[0]->target, "Plasma");
    EXPECT_EQ(passes[0]->shininess, 9) << "the include's pass replaced the includer's";
    EXPECT_TRUE(log.Contains("MaterialLoader: Loading material: inc.mat..."));
}

TEST_F(MaterialLoaderTest, IncludeCyclesAreReportedOnceAndNotFollowed)
{
    folder.Write("b.mat", "include {\nA.MAT\n}\nmaterial {\ntarget B\n}\n");
    LogCapture log;
    IMaterial* material = Load("a.mat", "include {\nb.mat\na.mat\n}\nmaterial {\ntarget A\n}\n");
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(material->GetPasses().size(), 2u);
    int cycles = 0;
    for (const auto& entry : log.entries()) cycles += entry.text.find("Include cycle") != std::string::npos;
    EXPECT_EQ(cycles, 2) << "b.mat naming a.mat and a.mat naming itself";
    EXPECT_TRUE(HasLine(log, Log::Level::Warning,
                        "MaterialLoader: Include cycle: A.MAT is already being loaded (b.mat:2)"));
}

TEST_F(MaterialLoaderTest, UnknownSectionStopsTheFileButKeepsWhatCameBefore)
{
    folder.Write("inc.mat", "material {\ntarget Included\n}\n");
    LogCapture log;
    IMaterial* material = Load("unknown.mat", "include {\ninc.mat\n}\nmaterial {\ntarget First\n}\n"
                                              "texture {\n}\nmaterial {\ntarget Never\n}\n");
    ASSERT_NE(material, nullptr);
    const auto& passes = material->GetPasses();
    ASSERT_EQ(passes.size(), 2u);
    EXPECT_EQ(passes[0]->target, "First");
    EXPECT_EQ(passes[1]->target, "Included");
    EXPECT_TRUE(HasLine(log, Log::Level::Warning, "MaterialLoader: Unknown section texture (unknown.mat:7)"));
}

TEST_F(MaterialLoaderTest, AFileEndingInsideASectionDropsItWithAWarning)
{
    LogCapture log;
    IMaterial* material = Load("open.mat", "material {\ntarget Done\n}\nmaterial {\ntarget Open\n");
    ASSERT_NE(material, nullptr);
    ASSERT_EQ(material->GetPasses().size(), 1u);
    EXPECT_EQ(material->GetPasses()[0]->target, "Done");
    EXPECT_TRUE(HasLine(log, Log::Level::Warning,
                        "MaterialLoader: Section material opened on line 4 is never closed, ignored (open.mat:5)"));
    Load("shader.mat", "pixelshader p {{\nvoid main() {}\n}\n");
    EXPECT_TRUE(HasLine(log, Log::Level::Warning,
                        "MaterialLoader: Section pixelshader opened on line 1 is never closed, ignored (shader.mat:3)"));
}

TEST_F(MaterialLoaderTest, EmptyFilesAndMissingIncludesAreReported)
{
    LogCapture log;
    folder.Write("blank.mat", "\n \t\n");
    IMaterial* material = Load("empty.mat", "");
    ASSERT_NE(material, nullptr);
    EXPECT_TRUE(HasLine(log, Log::Level::Warning, "MaterialLoader: The file holds no section (empty.mat)"));
    Load("includer.mat", "include {\nblank.mat\ngone.mat\n}\nmaterial {\n}\n");
    EXPECT_TRUE(HasLine(log, Log::Level::Warning, "MaterialLoader: The file holds no section (blank.mat)"));
    EXPECT_TRUE(HasLine(log, Log::Level::Error, "MaterialLoader: Include not found: gone.mat (includer.mat:3)"));
}

TEST_F(MaterialLoaderTest, DeepIncludeChainsAreCutOnceWithFileAndLine)
{
    // Each file includes the next; a chain of some 15,000 overflowed the stack.
    ASSERT_EQ(folder.Python("chain.py", "for i in range(40):\n"
                                        "    open('c%d.mat' % i, 'w').write('include {\\nc%d.mat\\n}\\n"
                                        "material {\\ntarget T%d\\n}\\n' % (i + 1, i))\n"),
              0);
    LogCapture log;
    IMaterial* material = factory->LoadMaterial(L"c0.mat", L"c0.mat");
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(material->GetPasses().size(), 17u) << "the material's file and 16 levels of includes";
    EXPECT_TRUE(HasLine(log, Log::Level::Error,
                        "MaterialLoader: Include c17.mat and any further ones left out: includes nest deeper "
                        "than 16 files (c16.mat:2)"));
    EXPECT_EQ(CountLines(log, "left out"), 1);
}

TEST_F(MaterialLoaderTest, IncludesFanningOutAreCutAtAFixedNumberOfLoads)
{
    // Each file includes the next twice: 2^15 loads before, hours at 30 levels.
    ASSERT_EQ(folder.Python("fan.py", "for i in range(15):\n"
                                      "    open('f%d.mat' % i, 'w').write('include {\\nf%d.mat\\nf%d.mat\\n}\\n'"
                                      " % (i + 1, i + 1))\n"
                                      "open('f15.mat', 'w').write('material {\\ntarget Leaf\\n}\\n')\n"),
              0);
    LogCapture log;
    IMaterial* material = factory->LoadMaterial(L"f0.mat", L"f0.mat");
    ASSERT_NE(material, nullptr);
    int loads = 0;
    for (const std::string& line : log.Lines()) loads += line.rfind("MaterialLoader: Loading material: ", 0) == 0;
    EXPECT_EQ(loads, 257) << "the material's own file and 256 includes";
    EXPECT_EQ(CountLines(log, "left out"), 1);
    EXPECT_TRUE(log.Has(Log::Level::Error, "the material loads more than 256 includes"));
    ASSERT_EQ(material->GetPasses().size(), 1u) << "the leaves reached still give their pass";
}

TEST_F(MaterialLoaderTest, ShaderCallbacksAreAttached)
{
    factory->RegisterShaderCallback(std::make_unique<k_DeltaTimeShaderCallback>(engine.get()));
    IMaterial* material = Load("callback.mat", "pixelshader p {{\nuniform float deltatime;\n"
                                               "void main() { gl_FragColor = vec4(deltatime); }\n}}\n"
                                               "material {\nuseshader p\nshadercallback deltatime\n"
                                               "shadercallback unknown\n}\n");
    ASSERT_NE(material, nullptr);
    IShaderProgram* program = material->GetPasses()[0]->program;
    ASSERT_NE(program, nullptr);
    engine->GetTimeline()->Advance(0.5);
    program->Use();
    EXPECT_FLOAT_EQ(program->GetFloat("deltatime"), 0.5f);
}

TEST_F(MaterialLoaderTest, ShaderFilesAndGeometryParameters)
{
    folder.Write("s.vs", "#version 150 compatibility\nvoid main() { gl_Position = gl_Vertex; }\n");
    folder.Write("s.gs", "#version 150 compatibility\nvoid main() {\n"
                         "  for (int i = 0; i < 3; ++i) { gl_Position = gl_in[i].gl_Position; EmitVertex(); }\n}\n");
    folder.Write("s.ps", "#version 150 compatibility\nvoid main() { gl_FragColor = vec4(1.0); }\n");
    LogCapture log;
    IMaterial* material = Load("files.mat", "material {\nvertexshader s.vs\ngeometryshader s.gs Triangle TriangleStrip 3\n"
                                            "pixelshader s.ps\n}\n");
    ASSERT_NE(material, nullptr);
    EXPECT_NE(material->GetPasses()[0]->program, nullptr);
    EXPECT_FALSE(log.Contains("Error/Warning linking shaders.")) << "the parameters reached the driver: " << Joined(log);
    IShader* geometry = factory->LoadShader(L"s.gs", IShader::Geometry, L"s.gs");
    int in = 0, out = 0, max = 0;
    geometry->GetGeometryParameters(in, out, max);
    EXPECT_EQ(in, GL_TRIANGLES);
    EXPECT_EQ(out, GL_TRIANGLE_STRIP);
    EXPECT_EQ(max, 3);
}

TEST_F(MaterialLoaderTest, MissingShaderFileIsLeftOutOfTheProgram)
{
    folder.Write("ok.ps", "void main() { gl_FragColor = vec4(1.0); }\n");
    LogCapture log;
    const MaterialPass& pass = OnlyPass("vertexshader gone.vs\npixelshader ok.ps");
    EXPECT_NE(pass.program, nullptr);
    EXPECT_TRUE(log.Contains("Cannot read from file: gone.vs"));
    EXPECT_TRUE(HasLine(log, Log::Level::Error,
                        "MaterialLoader: Shader file gone.vs cannot be read, stage left out (pass1.mat:2)"));
    EXPECT_FALSE(log.Contains("OPENGL :: ERROR"));
}

TEST_F(MaterialLoaderTest, InvalidGeometrySettingsFailTheMaterial)
{
    const std::string geometry = "#version 150\nvoid main() {}\n";
    struct Case {
        const char* name;
        std::string text;
        const char* error;
    } cases[] = {
        {"topology.mat", "geometryshader g Triangle Strip 3 {{\n" + geometry + "}}\n",
         "Invalid value passed to r_PrimitiveTopology::Parse! Unknown topology: Strip (topology.mat:1)"},
        {"output.mat", "geometryshader g Triangle Triangle 3 {{\n" + geometry + "}}\n",
         "You can only use Point, TriangleStrip or LineStrip as geometry shader output primitive topology! "
         "(output.mat:4)"},
        {"key.mat", "material {\ngeometryshader g.gs Point Quad 4\n}\n",
         "You can only use Point, TriangleStrip or LineStrip as geometry shader output primitive topology! "
         "(key.mat:2)"},
        {"keytopology.mat", "material {\ngeometryshader g.gs point Point 4\n}\n",
         "Invalid value passed to r_PrimitiveTopology::Parse! Unknown topology: point (keytopology.mat:2)"},
    };
    folder.Write("g.gs", geometry);
    for (const Case& c : cases) {
        LogCapture log;
        EXPECT_EQ(Load(c.name, c.text), nullptr) << c.name;
        EXPECT_TRUE(HasLine(log, Log::Level::Error, c.error)) << c.name;
    }
}

TEST_F(MaterialLoaderTest, ANulByteInALineShowsInTheWarningInsteadOfCuttingItShort)
{
    LogCapture log;
    // Not "nul.mat": Windows keeps that name for its null device.
    Load("zero.mat", std::string("material {\nbl\0end\x1b[2J true\n}\n", 29));
    EXPECT_TRUE(HasLine(log, Log::Level::Warning, "MaterialLoader: Unknown contenttype: bl\\x00end\\x1b[2J (zero.mat:2)"))
        << Joined(log);
}

TEST_F(MaterialLoaderTest, KnownKeysWithoutTheirValuesAreWarnedAndIgnored)
{
    struct Case {
        const char* line;
        const char* key;
    } cases[] = {
        {"ambient 1 1 1", "ambient"},   {"diffuse", "diffuse"},          {"specular(1, 1)", "specular"},
        {"emissive 1", "emissive"},     {"target", "target"},            {"depthfunc", "depthfunc"},
        {"culling", "culling"},         {"geometryshader g.gs Point Point", "geometryshader"},
        {"vertexshader", "vertexshader"}, {"useshader", "useshader"},    {"shadercallback", "shadercallback"},
        {"shininess", "shininess"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        const MaterialPass& pass = OnlyPass(std::string("ambient 0.5 0.5 0.5 0.5\n") + c.line);
        EXPECT_EQ(pass.ambient, Colour(0.5f, 0.5f, 0.5f, 0.5f)) << c.line;
        EXPECT_TRUE(HasLine(log, Log::Level::Warning,
                            "MaterialLoader: Missing values for " + std::string(c.key) + ", line ignored (pass" +
                                std::to_string(m_count) + ".mat:3)"))
            << c.line;
    }
}

TEST_F(MaterialLoaderTest, ShaderSectionsWithoutNamesAreWarnedAndSkipped)
{
    struct Case {
        const char* header;
        const char* file;
    } cases[] = {
        {"pixelshader {{", "noname.mat"},
        {"vertexshader", "bare.mat"},
        {"geometryshader g Point Point {{", "short.mat"},
        {"geometryshader {{", "empty.mat"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        IMaterial* material = Load(c.file, std::string("\n") + c.header + "\nvoid main() {}\n}}\nmaterial {\n}\n");
        ASSERT_NE(material, nullptr) << c.header;
        bool warned = false;
        for (const auto& entry : log.entries())
            warned |= entry.level == Log::Level::Warning &&
                      entry.text.find("Shader section needs") != std::string::npos &&
                      entry.text.find(std::string("(") + c.file + ":2)") != std::string::npos;
        EXPECT_TRUE(warned) << c.header;
        EXPECT_FALSE(log.Contains("Creating " + std::string(c.file))) << "no shader made for " << c.header;
    }
}

TEST_F(MaterialLoaderTest, BadTextureLinesAreRefusedSayingWhy)
{
    ASSERT_EQ(folder.Run("convert -size 4x4 xc:teal -define png:color-type=2 t.png"), 0);
    GLint units = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    const std::string last = std::to_string(units - 1);
    struct Case {
        const char* line;
        std::string warning;
    } cases[] = {
        // read as atoi reads it, this wrapped round to unit 0
        {"loadtexture 4294967296 t.png", "MaterialLoader: Texture unit 4294967296 is not between 0 and " + last},
        {"reservetexture 99999999999999999999 clamp",
         "MaterialLoader: Texture unit 99999999999999999999 is not between 0 and " + last},
        {"reservetexture", "MaterialLoader: reservetexture needs a texture unit and a wrap mode"},
        {"loadtexture", "MaterialLoader: loadtexture needs a texture unit and an image file"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        const MaterialPass& pass = OnlyPass(c.line);
        EXPECT_TRUE(pass.textures.empty()) << c.line;
        EXPECT_TRUE(HasLine(log, Log::Level::Warning,
                            c.warning + ", line ignored (pass" + std::to_string(m_count) + ".mat:2)"))
            << c.line << "\n" << Joined(log);
    }
}

TEST_F(MaterialLoaderTest, AMaterialFileLargerThanTheBoundIsNotRead)
{
    // A material of 1 GB took 9 GB before failing; the bound is checked before a byte is parsed.
    const std::string pass = "material {\ntarget Big\n}\n";
    const size_t bound = 1 << 20;
    LogCapture log;
    IMaterial* material = Load("big.mat", pass + std::string(bound + 1 - pass.size(), '\n'));
    ASSERT_NE(material, nullptr);
    EXPECT_TRUE(material->GetPasses().empty());
    EXPECT_TRUE(HasLine(log, Log::Level::Error,
                        "MaterialLoader: The file holds 1048577 bytes, more than the 1048576 a material file may hold; "
                        "not read (big.mat)"))
        << Joined(log);
    material = Load("edge.mat", pass + std::string(bound - pass.size(), '\n'));
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(material->GetPasses().size(), 1u) << "a file of exactly the bound is read";
}

TEST_F(MaterialLoaderTest, PassesAreBoundedOverTheMaterialAndItsIncludes)
{
    // 100,000 passes took 4 GB; the count runs on through the includes.
    std::string included, main = "include {\ninc.mat\n}\n";
    for (int i = 0; i < 200; ++i) main += "material {\ntarget M" + std::to_string(i) + "\n}\n";
    for (int i = 0; i < 100; ++i) included += "material {\ntarget I" + std::to_string(i) + "\n}\n";
    folder.Write("inc.mat", included);
    LogCapture log;
    IMaterial* material = Load("main.mat", main);
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(material->GetPasses().size(), 256u);
    EXPECT_EQ(CountLines(log, "left out"), 1);
    EXPECT_TRUE(HasLine(log, Log::Level::Error,
                        "MaterialLoader: The material holds more than 256 passes; this one and any further ones left "
                        "out (inc.mat:169)"))
        << "the 57th pass of the include, on line 3 * 56 + 1";
}

TEST_F(MaterialLoaderTest, LongTokensAreCutInTheLog)
{
    const std::string key(300000, 'x');
    LogCapture log;
    OnlyPass(key);
    EXPECT_TRUE(HasLine(log, Log::Level::Warning,
                        "MaterialLoader: Unknown contenttype: " + std::string(200, 'x') + "... (300000 bytes) (pass1.mat:2)"));
    for (const std::string& line : log.Lines()) EXPECT_LT(line.size(), 300u);
}

}  // namespace
