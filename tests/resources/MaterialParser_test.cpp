// The material grammar without a window: sections, keys and value tables, embedded shader
// sources, texture and shader names, includes, the warnings, and the bounds on one material.
#include <gtest/gtest.h>

#include <GL/glew.h>  // the constants only: the parser's words must give GL's values

#include <memory>
#include <string>

#include "resources/ReportedFailure.h"
#include "resources/k_MaterialParser.h"
#include "support/LogCapture.h"

namespace {

// Parses text as file "t.mat", keeping the parser and what it logged.
struct Parse {
    explicit Parse(const std::string& text) : parser(std::make_unique<k_MaterialParser>(L"t.mat"))
    {
        parser->Parse(text);
    }
    const k_MaterialParser::Parsed& result() const { return parser->Result(); }
    bool Logged(Log::Level level, const std::string& text) const
    {
        for (const auto& entry : log.entries())
            if (entry.level == level && entry.text == text) return true;
        return false;
    }
    std::string All() const
    {
        std::string all;
        for (const std::string& line : log.Lines()) all += line + "\n";
        return all;
    }

    LogCapture log;
    std::unique_ptr<k_MaterialParser> parser;
};

// The settings of the only pass of a material section around body.
MaterialPass OnlyPass(const std::string& body)
{
    Parse parse("material {\n" + body + "\n}\n");
    EXPECT_EQ(parse.result().passes.size(), 1u) << body;
    return parse.result().passes.empty() ? MaterialPass() : parse.result().passes[0].settings;
}

std::string Repeated(const std::string& text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i) all += text;
    return all;
}

TEST(MaterialParserTest, KeysSetThePassAndDefaultsStay)
{
    const MaterialPass defaults = OnlyPass("");
    EXPECT_EQ(defaults.depthFunction, GL_LESS);
    EXPECT_EQ(defaults.cullFace, GL_BACK);
    EXPECT_EQ(defaults.sourceBlendFactor, GL_ONE);
    const MaterialPass pass = OnlyPass(
        "target Terrain\ndepthfunc greaterequal\nalphatestfunc greater\nalphatestvalue 0.25\nculling front\n"
        "depthwrite false\nalphablend true\nsrcblendmode srcalpha\ndestblendmode oneminussrcalpha\n"
        "ambient 0.1 0.2 0.3 0.4\ndiffuse(0.5, 0.6, 0.7, 0.8)\nspecular\t1,1,1,1\nemissive 0 0 0.5 1\n"
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

TEST(MaterialParserTest, EveryWordGivesGlsValue)
{
    struct Row {
        const char* key;
        const char* word;
        int value;
        bool known;
    } rows[] = {
        {"depthfunc", "never", GL_NEVER, true},
        {"depthfunc", "disabled", 0, true},
        {"depthfunc", "less", GL_LESS, true},
        {"depthfunc", "equal", GL_EQUAL, true},
        {"depthfunc", "lessequal", GL_LEQUAL, true},
        {"depthfunc", "greater", GL_GREATER, true},
        {"depthfunc", "notequal", GL_NOTEQUAL, true},
        {"depthfunc", "greaterequal", GL_GEQUAL, true},
        {"alphatestfunc", "always", GL_ALWAYS, true},
        {"alphatestfunc", "Less", 0, false},
        {"culling", "none", 0, true},
        {"culling", "front", GL_FRONT, true},
        {"culling", "back", GL_BACK, true},
        {"culling", "all", GL_BACK, true},
        {"culling", "both", 0, false},
        {"srcblendmode", "zero", GL_ZERO, true},
        {"srcblendmode", "one", GL_ONE, true},
        {"srcblendmode", "srccolor", GL_SRC_COLOR, true},
        {"srcblendmode", "oneminussrccolor", GL_ONE_MINUS_SRC_COLOR, true},
        {"srcblendmode", "destcolor", GL_DST_COLOR, true},
        {"srcblendmode", "oneminusdestcolor", GL_ONE_MINUS_DST_COLOR, true},
        {"destblendmode", "srcalpha", GL_SRC_ALPHA, true},
        {"destblendmode", "oneminussrcalpha", GL_ONE_MINUS_SRC_ALPHA, true},
        {"destblendmode", "destalpha", GL_DST_ALPHA, true},
        {"destblendmode", "oneminusdestalpha", GL_ONE_MINUS_DST_ALPHA, true},
        {"destblendmode", "srcalphasaturate", GL_SRC_ALPHA_SATURATE, true},
        {"destblendmode", "One", GL_ZERO, false},
        {"depthwrite", "true", 1, true},
        {"depthwrite", "True", 0, false},
        {"alphablend", "false", 0, true},
        {"reservetexture 0", "clamp", GL_CLAMP_TO_EDGE, true},
        {"reservetexture 0", "repeat", GL_REPEAT, true},
        {"reservetexture 0", "mirror", GL_MIRRORED_REPEAT, true},
        {"reservetexture 0", "sideways", GL_CLAMP_TO_EDGE, false},
    };
    for (const Row& row : rows) {
        Parse parse(std::string("material {\n") + row.key + " " + row.word + "\n}\n");
        ASSERT_EQ(parse.result().passes.size(), 1u);
        const MaterialPass& pass = parse.result().passes[0].settings;
        const std::string key = row.key;
        const int value = key == "depthfunc"       ? pass.depthFunction
                          : key == "alphatestfunc" ? pass.alphaTestFunction
                          : key == "culling"       ? pass.cullFace
                          : key == "srcblendmode"  ? pass.sourceBlendFactor
                          : key == "destblendmode" ? pass.destinationBlendFactor
                          : key == "depthwrite"    ? pass.depthWrite
                          : key == "alphablend"    ? pass.blending
                                                   : pass.textures.at(0).wrapS;
        EXPECT_EQ(value, row.value) << row.key << " " << row.word;
        EXPECT_EQ(parse.Logged(Log::Level::Warning, std::string("MaterialLoader: Unknown value ") + row.word + " (t.mat:2)"),
                  !row.known)
            << row.key << " " << row.word;
    }
}

TEST(MaterialParserTest, SectionGrammar)
{
    struct Case {
        const char* what;
        const char* text;
        const char* targets;  // the passes' targets, each followed by ";"
        const char* warning;  // a line logged, or ""
    } cases[] = {
        {"header without brace", "material\ntarget Hdr\n}\nmaterial\n{\ntarget Plasma\n}\n", "Hdr;Plasma;",
         "MaterialLoader: Unknown contenttype: { (t.mat:5)"},
        {"blank lines count", "\n\n  \t\nmaterial {\n\ntarget A\n}\n", "A;", ""},
        {"carriage returns", "material {\r\ntarget A\r\n}\r\n", "A;", ""},
        {"unknown section stops the file", "material {\ntarget A\n}\ntexture {\n}\nmaterial {\ntarget B\n}\n", "A;",
         "MaterialLoader: Unknown section texture (t.mat:4)"},
        {"never closed", "material {\ntarget A\n}\nmaterial {\ntarget B\n", "A;",
         "MaterialLoader: Section material opened on line 4 is never closed, ignored (t.mat:5)"},
        {"include lines are no keys", "include {\na.mat\n}\nmaterial {\ntarget A\n}\n", "A;", ""},
        {"a pass without a target", "material {\n}\nmaterial {\ntarget A\n}\n", ";A;", ""},
    };
    for (const Case& c : cases) {
        Parse parse(c.text);
        std::string targets;
        for (const auto& pass : parse.result().passes) targets += pass.settings.target + ";";
        EXPECT_EQ(targets, c.targets) << c.what;
        if (*c.warning) {
            EXPECT_TRUE(parse.Logged(Log::Level::Warning, c.warning)) << c.what << "\n" << parse.All();
        } else {
            EXPECT_EQ(parse.log.Count(Log::Level::Warning), 0) << c.what << "\n" << parse.All();
        }
    }
}

TEST(MaterialParserTest, EmbeddedShaderSourcesKeepTheirLinesAndParameters)
{
    Parse parse("\npixelshader p {{\nvoid main() {\n    f(1.0\n    ,\n    );\n}\n}}\n"
                "geometryshader g Triangle TriangleStrip 3 {{\nvoid main() {}\n}}\n"
                "vertexshader v {\nvoid main() {\n}\n");
    const auto& shaders = parse.result().shaders;
    ASSERT_EQ(shaders.size(), 3u);
    EXPECT_EQ(shaders[0].name, "p");
    EXPECT_EQ(shaders[0].stage, IShader::Pixel);
    EXPECT_EQ(shaders[0].source, "\n\nvoid main() {\n    f(1.0\n    ,\n    );\n}\n")
        << "one newline per line up to the header, then every line, separators alone included";
    EXPECT_EQ(shaders[1].stage, IShader::Geometry);
    EXPECT_EQ(shaders[1].input, GL_TRIANGLES);
    EXPECT_EQ(shaders[1].output, GL_TRIANGLE_STRIP);
    EXPECT_EQ(shaders[1].maxVertices, 3);
    EXPECT_EQ(shaders[2].stage, IShader::Vertex);
    EXPECT_EQ(shaders[2].source, std::string(12, '\n') + "void main() {\n") << "one brace: ends at the first }";
}

TEST(MaterialParserTest, ShadersTexturesCallbacksAndIncludesAreNamed)
{
    Parse parse("include {\nCommon/Blur.mat\nx.mat\n}\n"
                "material {\nuseshader blur\nvertexshader s.vs\ngeometryshader s.gs Point Point 1\n"
                "loadtexture 0 a.png\nloadtexture 3 b.png mirror repeat\nreservetexture 5 clamp\n"
                "reservetexture 5 mirror\nshadercallback deltatime\n}\n");
    ASSERT_EQ(parse.result().passes.size(), 1u);
    const auto& pass = parse.result().passes[0];
    EXPECT_EQ(pass.shaders, (std::vector<std::string>{"blur", "s.vs", "s.gs"}));
    EXPECT_EQ(pass.callbacks, (std::vector<std::wstring>{L"deltatime"}));
    EXPECT_EQ(pass.textureFiles, (std::map<int, std::string>{{0, "a.png"}, {3, "b.png"}, {5, ""}}));
    struct Slot {
        int unit, wrapS, wrapT;
    } slots[] = {{0, GL_REPEAT, GL_REPEAT}, {3, GL_MIRRORED_REPEAT, GL_REPEAT}, {5, GL_MIRRORED_REPEAT, GL_MIRRORED_REPEAT}};
    ASSERT_EQ(pass.settings.textures.size(), 3u);
    for (const Slot& slot : slots) {
        EXPECT_EQ(pass.settings.textures.at(slot.unit).wrapS, slot.wrapS) << slot.unit;
        EXPECT_EQ(pass.settings.textures.at(slot.unit).wrapT, slot.wrapT) << slot.unit;
        EXPECT_EQ(pass.settings.textures.at(slot.unit).texture, nullptr);
    }
    const std::vector<std::pair<std::wstring, int>> includes = {{L"Common/Blur.mat", 2}, {L"x.mat", 3}};
    EXPECT_EQ(parse.parser->Includes(), includes);
}

TEST(MaterialParserTest, LinesThatCannotBeUsedAreWarnedWithTheirLine)
{
    struct Case {
        const char* line;
        const char* warning;
    } cases[] = {
        {"blend add", "MaterialLoader: Unknown contenttype: blend (t.mat:2)"},
        {"ambient 1 1 1", "MaterialLoader: Missing values for ambient, line ignored (t.mat:2)"},
        {"geometryshader g.gs Point Point", "MaterialLoader: Missing values for geometryshader, line ignored (t.mat:2)"},
        {"loadtexture 1", "MaterialLoader: Unknown contenttype: loadtexture (t.mat:2)"},
        {"loadtexture", "MaterialLoader: loadtexture needs a texture unit and an image file, line ignored (t.mat:2)"},
        {"reservetexture", "MaterialLoader: reservetexture needs a texture unit and a wrap mode, line ignored (t.mat:2)"},
        {"loadtexture 4294967296 a.png",
         "MaterialLoader: Texture unit 4294967296 is not between 0 and 2147483647, line ignored (t.mat:2)"},
        {"reservetexture -1 clamp", "MaterialLoader: Texture unit -1 is not between 0 and 2147483647, line ignored (t.mat:2)"},
    };
    for (const Case& c : cases) {
        Parse parse(std::string("material {\n") + c.line + "\n}\n");
        EXPECT_TRUE(parse.Logged(Log::Level::Warning, c.warning)) << c.line << "\n" << parse.All();
        ASSERT_EQ(parse.result().passes.size(), 1u);
        EXPECT_TRUE(parse.result().passes[0].settings.textures.empty()) << c.line;
    }
}

TEST(MaterialParserTest, UnknownTopologiesAbandonTheMaterial)
{
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"geometryshader g Triangle Strip 3 {{\n}}\n",
         "Invalid value passed to r_PrimitiveTopology::Parse! Unknown topology: Strip (t.mat:1)"},
        {"material {\ngeometryshader g.gs point Point 4\n}\n",
         "Invalid value passed to r_PrimitiveTopology::Parse! Unknown topology: point (t.mat:2)"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        k_MaterialParser parser(L"t.mat");
        EXPECT_THROW(parser.Parse(c.text), ReportedFailure) << c.text;
        EXPECT_TRUE(log.Has(Log::Level::Error, c.error)) << c.text;
    }
}

TEST(MaterialParserTest, PassesShadersAndCallbacksAreBoundedAndTheCutReportedOnce)
{
    struct Case {
        const char* what;
        std::string text;
        size_t passes, shaders, callbacks;
        const char* error;
    } cases[] = {
        {"passes", Repeated("material {\n}\n", 300), 256, 0, 0,
         "MaterialLoader: The material holds more than 256 passes; this one and any further ones left out (t.mat:513)"},
        {"shader sections", Repeated("pixelshader p {{\n}}\n", 130), 0, 128, 0,
         "MaterialLoader: The material holds more than 128 shaders; this one and any further ones left out (t.mat:257)"},
        {"shader files", "material {\n" + Repeated("pixelshader p.ps\n", 130) + "}\n", 1, 128, 0,
         "MaterialLoader: The material holds more than 128 shaders; this one and any further ones left out (t.mat:130)"},
        {"callbacks", "material {\n" + Repeated("shadercallback c\n", 300) + "}\n", 1, 0, 256,
         "MaterialLoader: The material holds more than 256 shader callbacks; this one and any further ones left out "
         "(t.mat:258)"},
    };
    for (const Case& c : cases) {
        Parse parse(c.text);
        const auto& passes = parse.result().passes;
        EXPECT_EQ(passes.size(), c.passes) << c.what;
        EXPECT_EQ(parse.result().shaders.size() + (passes.empty() ? 0 : passes[0].shaders.size()), c.shaders) << c.what;
        EXPECT_EQ(passes.empty() ? 0 : passes[0].callbacks.size(), c.callbacks) << c.what;
        EXPECT_EQ(parse.log.Count(Log::Level::Error), 1) << c.what;
        EXPECT_TRUE(parse.Logged(Log::Level::Error, c.error)) << c.what << "\n" << parse.log.Lines()[0];
    }
}

TEST(MaterialParserTest, LongTokensAreQuotedCut)
{
    const std::string key(100000, 'k');
    const std::string word = std::string(199, 'w') + "\xc3\xa9" + std::string(1000, 'w');  // an é across the cut
    Parse parse("material {\n" + key + "\ndepthfunc " + word + "\n}\n" + key + " {\n}\n");
    const std::string cutKey = std::string(200, 'k') + "... (100000 bytes)";
    EXPECT_TRUE(parse.Logged(Log::Level::Warning, "MaterialLoader: Unknown contenttype: " + cutKey + " (t.mat:2)"))
        << parse.All().substr(0, 1000);
    EXPECT_TRUE(parse.Logged(Log::Level::Warning,
                             "MaterialLoader: Unknown value " + std::string(199, 'w') + "... (1201 bytes) (t.mat:3)"))
        << "whole characters only";
    EXPECT_TRUE(parse.Logged(Log::Level::Warning, "MaterialLoader: Unknown section " + cutKey + " (t.mat:5)"));
    for (const std::string& line : parse.log.Lines()) EXPECT_LT(line.size(), 300u);
}

}  // namespace
