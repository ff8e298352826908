// Shaders, programs and shader callbacks against the real GL driver.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/k_Timeline.h"
#include "core/IFileSystem.h"
#include "core/IResourceFactory.h"
#include "core/IShader.h"
#include "core/IShaderCallback.h"
#include "core/IShaderProgram.h"
#include "resources/k_DeltaTimeShaderCallback.h"
#include "resources/k_Shader.h"
#include "resources/k_ShaderProgram.h"
#include "core/IBone.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"

namespace {

const char* const kVertex = R"(#version 120
uniform mat2 rotation;
uniform vec4 tint;
uniform vec3 offset;
uniform mat4 transform;
uniform float deltatime;
void main() {
    gl_Position = transform * gl_Vertex + vec4(rotation * offset.xy, 0.0, 0.0) + tint * deltatime;
}
)";

const char* const kPixel = R"(#version 120
uniform vec4 colour;
void main() { gl_FragColor = colour; }
)";

const char* const kSkinned = R"(#version 120
uniform mat4 bonematrix[2];
uniform float deltatime;
void main() { gl_Position = bonematrix[0] * bonematrix[1] * gl_Vertex * deltatime; }
)";

class ShaderProgramTest : public GlTest {
protected:
    IShaderProgram* Link(const char* vertex, const char* pixel)
    {
        IResourceFactory* factory = engine->GetResourceFactory();
        const std::wstring number = std::to_wstring(++m_count);
        IShader* vs = factory->CreateShader(L"test.vs" + number, IShader::Vertex, L"test.vs", vertex);
        IShader* ps = factory->CreateShader(L"test.ps" + number, IShader::Pixel, L"test.ps", pixel);
        return factory->CreateShaderProgram({ps, vs});
    }

    int m_count = 0;
};

// Records which callbacks ran, in order.
class RecordingCallback : public IShaderCallback {
public:
    RecordingCallback(std::wstring name, std::vector<std::wstring>& log) : m_name(std::move(name)), m_log(log) {}
    std::wstring GetName() override { return m_name; }
    void Apply(IShaderProgram*, void*) override { m_log.push_back(m_name); }
    bool Accepts(IShaderProgram*) override { return true; }

private:
    std::wstring m_name;
    std::vector<std::wstring>& m_log;
};

// A two-bone skeleton whose palette notes when the bones callback reads it.
class RecordingBone : public IBone {
public:
    explicit RecordingBone(std::vector<std::wstring>& log) : m_log(log) { m_palette[1] = Matrix::Translation(0, 1, 0); }
    Matrix* GetTransform(float, int) override { return &m_palette[0]; }
    Matrix* GetBindMatrix() override { return &m_palette[0]; }
    void SetParent(IBone*) override {}
    IBone* GetParent() override { return nullptr; }
    std::vector<IBone*>& GetChildren() override { return m_children; }
    std::wstring GetName() override { return L"root"; }
    int GetIndex() override { return 0; }
    void SetAnimation(ITransformationAnimation*) override {}
    ITransformationAnimation* GetAnimation() override { return nullptr; }
    std::map<int, IBone*>& GetBoneMap() override { return m_map; }
    Matrix* GetMatrixPalette() override
    {
        m_log.push_back(L"bones");
        return m_palette;
    }
    int GetBoneCount() override { return 2; }

private:
    std::vector<std::wstring>& m_log;
    Matrix m_palette[2];
    std::vector<IBone*> m_children;
    std::map<int, IBone*> m_map;
};

TEST_F(ShaderProgramTest, CompileErrorIsLoggedWithStageAndName)
{
    LogCapture log;
    IShader* shader = engine->GetResourceFactory()->CreateShader(L"broken", IShader::Pixel, L"Broken.ps",
                                                                 "#version 120\nvoid main() { nonsense; }\n");
    ASSERT_NE(shader, nullptr);
    EXPECT_NE(shader->GetShaderObject(), 0u) << "a failed compile keeps its object";
    EXPECT_TRUE(log.Contains("Error compiling pixelshader: Broken.ps"));
    EXPECT_TRUE(log.Contains("2(")) << "the driver's log names line 2";
}

// A file of thousands of errors (30,000 took 41 s to log): the first lines, then a count.
TEST_F(ShaderProgramTest, ALongCompileLogIsCutWithACountOfTheRest)
{
    std::string source = "#version 120\nvoid main() {\n";
    for (int i = 0; i < 400; ++i) source += "  float a" + std::to_string(i) + " = undeclared" + std::to_string(i) + ";\n";
    source += "  gl_FragColor = vec4(1.0);\n}\n";
    LogCapture log;
    engine->GetResourceFactory()->CreateShader(L"Errors.ps", IShader::Pixel, L"Errors.ps", source);
    int driverLines = 0;
    std::string last;
    for (const LogCapture::Entry& entry : log.entries()) {
        if (entry.level != Log::Level::Error) continue;
        driverLines += entry.text.find("undeclared") != std::string::npos;
        last = entry.text;
    }
    EXPECT_EQ(driverLines, 100);
    ASSERT_EQ(last.rfind("... and ", 0), 0u) << last;
    EXPECT_GE(std::stoi(last.substr(8)), 300) << last;
    EXPECT_NE(last.find(" more lines of the driver's log"), std::string::npos) << last;
}

// Programs of the same stages share one GL program; each keeps its own values, those the link
// gave included, and uploads them when it is made current after the other.
TEST_F(ShaderProgramTest, ProgramsOfTheSameStagesShareALinkButNotTheirValues)
{
    IResourceFactory* factory = engine->GetResourceFactory();
    IShader* vs = factory->CreateShader(L"shared.vs", IShader::Vertex, L"shared.vs", kSkinned);
    IShader* ps = factory->CreateShader(L"shared.ps", IShader::Pixel, L"shared.ps",
                                        "#version 120\nuniform vec4 colour;\nuniform float gain = 0.5;\n"
                                        "void main() { gl_FragColor = colour * gain; }\n");
    IShaderProgram* a = factory->CreateShaderProgram({ps, vs});
    IShaderProgram* b = factory->CreateShaderProgram({ps, vs});
    ASSERT_TRUE(a && b);
    ASSERT_NE(a, b);
    const GLuint object = dynamic_cast<k_ShaderProgram&>(*a).GetProgramObject();
    EXPECT_EQ(dynamic_cast<k_ShaderProgram&>(*b).GetProgramObject(), object);
    const GLint colour = glGetUniformLocation(object, "colour");
    const GLint gain = glGetUniformLocation(object, "gain");
    const GLint second = glGetUniformLocation(object, "bonematrix[1]");
    const auto inGl = [&](GLint location, int index) {
        GLfloat values[16] = {};
        glGetUniformfv(object, location, values);
        return values[index];
    };

    const float red[4] = {1, 0, 0, 1}, green[4] = {0, 1, 0, 1};
    a->SetVector("colour", red, 4);
    a->SetFloat("gain", 2);
    const Matrix palette[2] = {Matrix::Translation(1, 2, 3), Matrix::Translation(4, 5, 6)};
    a->SetMatrixArray("bonematrix", palette[0].m, 2);
    b->SetVector("colour", green, 4);
    EXPECT_EQ(a->GetVector4("colour"), Vector(1, 0, 0, 1));
    EXPECT_EQ(b->GetVector4("colour"), Vector(0, 1, 0, 1));
    EXPECT_FLOAT_EQ(b->GetFloat("gain"), 0.5f) << "the value the link gave";
    EXPECT_FLOAT_EQ(a->GetFloat("gain"), 2);
    EXPECT_FLOAT_EQ(b->GetMatrix4("bonematrix[1]").m[12], 0) << "an array's elements are each program's own";
    EXPECT_EQ(a->GetMatrix4("bonematrix[1]"), palette[1]);

    b->Use();
    EXPECT_FLOAT_EQ(inGl(colour, 1), 1);
    EXPECT_FLOAT_EQ(inGl(gain, 0), 0.5f);
    EXPECT_FLOAT_EQ(inGl(second, 12), 0);
    a->Use();
    EXPECT_FLOAT_EQ(inGl(colour, 0), 1);
    EXPECT_FLOAT_EQ(inGl(colour, 1), 0);
    EXPECT_FLOAT_EQ(inGl(gain, 0), 2);
    EXPECT_FLOAT_EQ(inGl(second, 12), 4) << "the second element's translation";

    IShaderProgram* other = factory->CreateShaderProgram({vs, ps});
    ASSERT_NE(other, nullptr);
    EXPECT_NE(dynamic_cast<k_ShaderProgram&>(*other).GetProgramObject(), object) << "another order, another link";
    glUseProgram(0);
    ExpectNoGlErrors();
}

TEST_F(ShaderProgramTest, MissingSourceFileLeavesNoObject)
{
    LogCapture log;
    engine->GetFileSystem()->UseDirectory(L"/nonexistent-folder");
    IShader* shader = engine->GetResourceFactory()->LoadShader(L"gone.vs", IShader::Vertex, L"gone.vs");
    ASSERT_NE(shader, nullptr);
    EXPECT_EQ(shader->GetShaderObject(), 0u);
    EXPECT_TRUE(log.Contains("Cannot read from file: gone.vs"));
}

TEST_F(ShaderProgramTest, LinkErrorIsAnInfoLineAndTheProgramDrawsFixedFunction)
{
    LogCapture log;
    IShaderProgram* program = Link(kVertex, "#version 120\nvoid helper();\nvoid main() { helper(); }\n");
    ASSERT_NE(program, nullptr);
    bool found = false;
    for (const auto& entry : log.entries())
        if (entry.text == "Error/Warning linking shaders.") found = entry.level == Log::Level::Info;
    EXPECT_TRUE(found);
    EXPECT_FALSE(static_cast<k_ShaderProgram*>(program)->IsLinked());

    // Using it, every frame, must neither raise GL errors nor keep the previous program.
    IShaderProgram* working = Link(kVertex, kPixel);
    working->Use();
    DrainErrors();
    program->Use();
    program->SetFloat("deltatime", 1);
    EXPECT_EQ(program->GetUniformLocation("colour"), -1);
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderProgramTest, UniformsRoundTrip)
{
    IShaderProgram* program = Link(kVertex, kPixel);
    ASSERT_NE(program, nullptr);
    const float colour[4] = {0.25f, 0.5f, 0.75f, 1};
    program->SetVector("colour", colour, 4);
    EXPECT_EQ(program->GetVector4("colour"), Vector(0.25f, 0.5f, 0.75f, 1));
    program->SetFloat("deltatime", 0.125f);
    EXPECT_FLOAT_EQ(program->GetFloat("deltatime"), 0.125f);
    Matrix transform = Matrix::Translation(1, 2, 3);
    program->SetMatrix("transform", transform.Data(), 4);
    EXPECT_EQ(program->GetMatrix4("transform"), transform);
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderProgramTest, MatrixSizeThreeUploadsATwoByTwo)
{
    IShaderProgram* program = Link(kVertex, kPixel);
    const float values[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    program->SetMatrix("rotation", values, 3);
    const Matrix read = program->GetMatrix4("rotation");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(read[i], values[i]) << i;
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderProgramTest, VectorWithZeroOrFiveComponentsUploadsNothing)
{
    IShaderProgram* program = Link(kVertex, kPixel);
    const float initial[4] = {0.5f, 0.5f, 0.5f, 0.5f};
    const float other[5] = {1, 1, 1, 1, 1};
    program->SetVector("tint", initial, 4);
    for (int components : {0, 5}) {
        program->SetVector("tint", other, components);
        EXPECT_EQ(program->GetVector4("tint"), Vector(0.5f, 0.5f, 0.5f, 0.5f)) << components;
    }
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderProgramTest, SettersLeaveTheProgramBound)
{
    IShaderProgram* program = Link(kVertex, kPixel);
    glUseProgram(0);
    program->SetFloat("deltatime", 1);
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<unsigned>(current), static_cast<k_ShaderProgram*>(program)->GetProgramObject());
}

TEST_F(ShaderProgramTest, UnknownNamesGiveDefaults)
{
    IShaderProgram* program = Link(kVertex, kPixel);
    EXPECT_EQ(program->GetMatrix4("missing"), Matrix());
    EXPECT_EQ(program->GetVector4("missing"), Vector(0, 0, 0, 0));
    EXPECT_EQ(program->GetFloat("missing"), 0.0f);
    EXPECT_EQ(program->GetInt("missing"), 0);
    EXPECT_EQ(program->GetUniformLocation("missing"), -1);
    EXPECT_EQ(program->GetAttributeLocation("missing"), -1);
    const float data[16] = {};
    program->SetMatrix("missing", data, 4);
    program->SetInt("missing", 3);
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderProgramTest, GetterNeverWritesPastItsResult)
{
    // A 4x4 uniform read as a vector must not spill into the caller's memory.
    IShaderProgram* program = Link(kVertex, kPixel);
    Matrix transform = Matrix::Translation(7, 8, 9);
    program->SetMatrix("transform", transform.Data(), 4);
    EXPECT_EQ(program->GetVector4("transform"), Vector(1, 0, 0, 0));
    EXPECT_EQ(program->GetFloat("transform"), 1.0f);
}

TEST_F(ShaderProgramTest, CallbacksRunInNameOrderOnUse)
{
    std::vector<std::wstring> ran;
    IResourceFactory* factory = engine->GetResourceFactory();
    ASSERT_EQ(factory->RegisterShaderCallback(std::make_unique<RecordingCallback>(L"zeta", ran)), nullptr);
    ASSERT_EQ(factory->RegisterShaderCallback(std::make_unique<RecordingCallback>(L"alpha", ran)), nullptr);
    IShaderProgram* program = Link(kVertex, kPixel);
    EXPECT_TRUE(program->AddShaderCallback(L"zeta", nullptr));
    EXPECT_TRUE(program->AddShaderCallback(L"alpha", nullptr));
    EXPECT_FALSE(program->AddShaderCallback(L"unregistered", nullptr));
    program->Use();
    EXPECT_EQ(ran, (std::vector<std::wstring>{L"alpha", L"zeta"}));
}

TEST_F(ShaderProgramTest, BonesRunsBeforeDeltaTime)
{
    std::vector<std::wstring> ran;
    IResourceFactory* factory = engine->GetResourceFactory();
    ASSERT_EQ(factory->RegisterShaderCallback(std::make_unique<RecordingCallback>(L"deltatime", ran)), nullptr);
    IShaderProgram* program = Link(kSkinned, kPixel);
    RecordingBone bone(ran);
    EXPECT_TRUE(program->AddShaderCallback(L"deltatime", nullptr));
    EXPECT_TRUE(program->AddShaderCallback(L"bones", &bone));
    program->Use();
    EXPECT_EQ(ran, (std::vector<std::wstring>{L"bones", L"deltatime"}));
    Matrix second = program->GetMatrix4("bonematrix[1]");
    EXPECT_EQ(second, Matrix::Translation(0, 1, 0)) << "the palette is uploaded";
}

TEST_F(ShaderProgramTest, BonesWithoutABoneUploadsNothing)
{
    IShaderProgram* program = Link(kSkinned, kPixel);
    ASSERT_TRUE(program->AddShaderCallback(L"bones", nullptr));
    program->Use();
    const float zeros[16] = {};
    EXPECT_EQ(program->GetMatrix4("bonematrix[1]"), Matrix(zeros)) << "GL's initial value stays";
}

TEST_F(ShaderProgramTest, DeltaTimeUploadsTheLastStep)
{
    ASSERT_EQ(engine->GetResourceFactory()->RegisterShaderCallback(
                  std::make_unique<k_DeltaTimeShaderCallback>(engine.get())),
              nullptr);
    IShaderProgram* program = Link(kSkinned, kPixel);
    ASSERT_TRUE(program->AddShaderCallback(L"deltatime", nullptr));
    engine->GetTimeline()->Advance(0.25);
    program->Use();
    EXPECT_FLOAT_EQ(program->GetFloat("deltatime"), 0.25f);
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderProgramTest, CallbacksThatDoNotApplyAreRefused)
{
    IResourceFactory* factory = engine->GetResourceFactory();
    factory->RegisterShaderCallback(std::make_unique<k_DeltaTimeShaderCallback>(engine.get()));
    IShaderProgram* program = Link("#version 120\nvoid main() { gl_Position = gl_Vertex; }\n", kPixel);
    EXPECT_FALSE(program->AddShaderCallback(L"deltatime", nullptr));
    EXPECT_FALSE(program->AddShaderCallback(L"bones", nullptr));
}

TEST_F(ShaderProgramTest, GeometryParameterErrors)
{
    IResourceFactory* factory = engine->GetResourceFactory();
    IShader* vertex = factory->CreateShader(L"v", IShader::Vertex, L"v", "void main() { gl_Position = gl_Vertex; }\n");
    IShader* geometry = factory->CreateShader(L"g", IShader::Geometry, L"g", "#version 150\nvoid main() {}\n");
    struct Case {
        IShader* shader;
        int output;
        const wchar_t* error;
    } cases[] = {
        {vertex, 5, L"Cannot set geometry shader parameters on a pixel or vertex shader!"},
        {geometry, 4, L"You can only use Point, TriangleStrip or LineStrip as geometry shader output primitive topology!"},
        {geometry, 1, L"You can only use Point, TriangleStrip or LineStrip as geometry shader output primitive topology!"},
    };
    for (const Case& c : cases) {
        try {
            c.shader->SetGeometryParameters(4, c.output, 3);
            ADD_FAILURE() << "output " << c.output << " accepted";
        } catch (const wchar_t* message) {
            EXPECT_EQ(std::wstring(message), c.error);
        }
    }
    int in = 0, out = 0, max = 0;
    EXPECT_THROW(geometry->GetGeometryParameters(in, out, max), const wchar_t*);
    EXPECT_EQ(factory->CreateShaderProgram({vertex, geometry}), nullptr)
        << "linking a geometry stage without parameters fails the creation";
    for (int output : {0, 3, 5}) EXPECT_NO_THROW(geometry->SetGeometryParameters(4, output, 3));
    geometry->GetGeometryParameters(in, out, max);
    EXPECT_EQ(in, 4);
    EXPECT_EQ(out, 5);
    EXPECT_EQ(max, 3);
}

TEST_F(ShaderProgramTest, GeometryCompileErrorsKeepTheirLineNumbers)
{
    // The error sits on line 5 whatever the version and leading directives.
    const char* const sources[] = {
        ("#version 150 compatibility\nvoid main() {\n  for (int i = 0; i < gl_in.length(); ++i)\n"
         "    gl_Position = gl_in[i].gl_Position;\n  undeclared;\n}\n"),
        "#version 330\n\nvoid main() {\n  gl_Position = gl_in[0].gl_Position;\n  undeclared;\n}\n",
        "\n#version 150\n#extension GL_ARB_gpu_shader5 : enable\nvoid main() {\n  undeclared;\n}\n",
    };
    IResourceFactory* factory = engine->GetResourceFactory();
    IShader* vertex =
        factory->CreateShader(L"lv", IShader::Vertex, L"lv", "void main() { gl_Position = gl_Vertex; }\n");
    int index = 0;
    for (const char* source : sources) {
        const std::wstring name = L"lines" + std::to_wstring(++index);
        IShader* geometry = factory->CreateShader(name, IShader::Geometry, name, source);
        geometry->SetGeometryParameters(GL_TRIANGLES, GL_TRIANGLE_STRIP, 3);
        LogCapture log;
        factory->CreateShaderProgram({vertex, geometry});
        EXPECT_TRUE(log.Contains("Error compiling geometryshader: lines" + std::to_string(index))) << source;
        EXPECT_TRUE(log.Contains("0:5(")) << source;
        EXPECT_FALSE(log.Contains("0:3(")) << source;
    }
}

TEST_F(ShaderProgramTest, GeometryStageEmitsTheDeclaredPrimitives)
{
    // Each point becomes a square of two triangles; a plain point would light one pixel.
    IResourceFactory* factory = engine->GetResourceFactory();
    IShader* vertex = factory->CreateShader(L"gv", IShader::Vertex, L"gv", "#version 150 compatibility\n"
                                                             "void main() { gl_Position = gl_Vertex; }\n");
    IShader* geometry = factory->CreateShader(L"gg", IShader::Geometry, L"gg", R"(#version 150 compatibility
void main() {
    for (int i = 0; i < 4; ++i) {
        vec2 corner = vec2(i & 1, i >> 1) * 2.0 - 1.0;
        gl_Position = gl_in[0].gl_Position + vec4(corner * 0.25, 0.0, 0.0);
        EmitVertex();
    }
    EndPrimitive();
}
)");
    IShader* pixel = factory->CreateShader(L"gp", IShader::Pixel, L"gp", "#version 150 compatibility\n"
                                                            "void main() { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }\n");
    // Parameters are set after the stage was compiled, as the material loader does.
    geometry->SetGeometryParameters(GL_POINTS, GL_TRIANGLE_STRIP, 4);
    IShaderProgram* program = factory->CreateShaderProgram({pixel, vertex, geometry});
    ASSERT_NE(program, nullptr);
    ASSERT_TRUE(static_cast<k_ShaderProgram*>(program)->IsLinked()) << static_cast<k_ShaderProgram*>(program)->GetInfoLog();

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    program->Use();
    glBegin(GL_POINTS);
    glVertex2f(-0.5f, 0.0f);
    glVertex2f(0.5f, 0.0f);
    glEnd();
    glUseProgram(0);
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));

    // Squares of 0.5 x 0.5 in clip space around x = -0.5 and x = +0.5.
    const int quarterWidth = kWidth / 4, half = kHeight / 2;
    EXPECT_EQ(Pixel(quarterWidth - 30, half + 20), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(3 * quarterWidth + 30, half - 20), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(kWidth / 2, half), (std::array<int, 4>{0, 0, 0, 255}));
    EXPECT_EQ(Pixel(quarterWidth, half + 50), (std::array<int, 4>{0, 0, 0, 255}));
}

TEST(GeometryParameterPath, ChosenByWhatTheStageDeclares)
{
    const struct { const char* source; bool programParameters; } cases[] = {
        {"#version 150 compatibility\nvoid main() {}\n", false},  // GLSL 1.50 wants layout qualifiers
        {"#version 330\nvoid main() {}\n", false},
        {"#version 120\n#extension GL_EXT_geometry_shader4 : enable\nvoid main() {}\n", true},
        {"  #version 120\n  #extension GL_ARB_geometry_shader4 : require\nvoid main() {}\n", true},
        {"#extension GL_EXT_geometry_shader4 : enable\nvoid main() {}\n", true},  // no #version: 1.10
        {"#version 150\n#extension GL_ARB_geometry_shader4 : enable\nvoid main() {}\n", false},
        {"#version 120\n#extension GL_EXT_geometry_shader4 : disable\nvoid main() {}\n", false},
        {"#version 120\n#extension GL_ARB_gpu_shader5 : enable\nvoid main() {}\n", false},
        {"#version 120\n// GL_EXT_geometry_shader4 named in a comment only\nvoid main() {}\n", false},
    };
    for (const auto& c : cases) EXPECT_EQ(k_Shader::TakesProgramParameters(c.source), c.programParameters) << c.source;
}

// What reaches the driver as the stage's source, whatever extensions the driver lists.
std::string DriverSource(IShader* shader)
{
    GLint length = 0;
    glGetShaderiv(shader->GetShaderObject(), GL_SHADER_SOURCE_LENGTH, &length);
    std::string text(static_cast<size_t>(std::max(length, 1)), '\0');
    glGetShaderSource(shader->GetShaderObject(), length, nullptr, text.data());
    return text.c_str();
}

TEST_F(ShaderProgramTest, EachGeometryPathHandsTheDriverWhatItsStageDeclares)
{
    IResourceFactory* factory = engine->GetResourceFactory();
    IShader* vertex = factory->CreateShader(L"pv", IShader::Vertex, L"pv", "void main() { gl_Position = gl_Vertex; }\n");
    const std::string layoutSource = "#version 150 compatibility\nvoid main() { EmitVertex(); }\n";
    IShader* layout = factory->CreateShader(L"pl", IShader::Geometry, L"pl", layoutSource);
    layout->SetGeometryParameters(GL_TRIANGLES, GL_TRIANGLE_STRIP, 3);
    EXPECT_FALSE(layout->TakesProgramParameters());
    factory->CreateShaderProgram({vertex, layout});
    EXPECT_EQ(DriverSource(layout), "#version 150 compatibility\nlayout(triangles) in; layout(triangle_strip, "
                                    "max_vertices = 3) out;\n#line 1\nvoid main() { EmitVertex(); }\n");

    // Compiled at once as written; its parameters go to the program (where the driver has no
    // geometry_shader4 the driver's own compile error says so).
    const std::string parameterSource =
        "#version 120\n#extension GL_EXT_geometry_shader4 : enable\nvoid main() { EmitVertex(); }\n";
    LogCapture log;
    IShader* parameters = factory->CreateShader(L"pp", IShader::Geometry, L"pp", parameterSource);
    EXPECT_TRUE(parameters->TakesProgramParameters());
    EXPECT_EQ(DriverSource(parameters), parameterSource);
    parameters->SetGeometryParameters(GL_TRIANGLES, GL_TRIANGLE_STRIP, 3);
    factory->CreateShaderProgram({vertex, parameters});
    EXPECT_EQ(DriverSource(parameters), parameterSource) << "no layout qualifiers added";
    DrainErrors();
}

}  // namespace
