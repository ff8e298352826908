// GLSL stages: compile failures are logged, never thrown; only misused geometry parameters throw.
#include "resources/k_Shader.h"

#include <GL/glew.h>
#include <cstdlib>
#include <memory>

#include "core/IEngine.h"
#include "platform/Log.h"
#include "resources/DriverLog.h"
#include "core/IFile.h"
#include "core/IFileSystem.h"

namespace {

GLenum GlStage(IShader::Stage type)
{
    switch (type) {
    case IShader::Vertex: return GL_VERTEX_SHADER;
    case IShader::Geometry: return GL_GEOMETRY_SHADER_EXT;
    case IShader::Pixel: return GL_FRAGMENT_SHADER;
    default: return 0;
    }
}

const char* StagePrefix(IShader::Stage type)
{
    switch (type) {
    case IShader::Vertex: return "vertexshader: ";
    case IShader::Geometry: return "geometryshader: ";
    default: return "pixelshader: ";
    }
}

const char* InputLayout(int topology)
{
    switch (topology) {
    case GL_POINTS: return "points";
    case GL_LINES:
    case GL_LINE_LOOP:
    case GL_LINE_STRIP: return "lines";
    case GL_TRIANGLES:
    case GL_TRIANGLE_STRIP: return "triangles";
    default: return nullptr;  // quads have no geometry input
    }
}

const char* OutputLayout(int topology)
{
    switch (topology) {
    case GL_POINTS: return "points";
    case GL_LINE_STRIP: return "line_strip";
    default: return "triangle_strip";  // SetGeometryParameters admits nothing else
    }
}

bool StartsWith(const std::string& text, size_t at, const char* prefix)
{
    return text.compare(at, std::char_traits<char>::length(prefix), prefix) == 0;
}

// The source with layout qualifiers for the parameters after its last #version or #extension
// line (GLSL wants those first) and a #line directive, so every line keeps its number in the
// driver's messages.
std::string WithLayout(const std::string& source, int input, int output, int maxVertices)
{
    size_t insertAt = 0;
    int nextLine = 1;
    int version = 110;
    int line = 1;
    for (size_t start = 0; start < source.size(); ++line) {
        size_t end = source.find('\n', start);
        end = end == std::string::npos ? source.size() : end + 1;
        const size_t first = source.find_first_not_of(" \t", start);
        if (first < end && StartsWith(source, first, "#version"))
            version = std::atoi(source.c_str() + first + 8);
        if (first < end && (StartsWith(source, first, "#version") || StartsWith(source, first, "#extension"))) {
            insertAt = end;
            nextLine = line + 1;
        }
        start = end;
    }
    std::string layout;
    if (insertAt > 0 && source[insertAt - 1] != '\n') layout += '\n';
    if (const char* in = InputLayout(input)) layout += std::string("layout(") + in + ") in; ";
    layout += std::string("layout(") + OutputLayout(output) + ", max_vertices = " + std::to_string(maxVertices) +
              ") out;\n";
    // Before GLSL 3.30 "#line n" numbers the following line n + 1.
    layout += "#line " + std::to_string(version < 330 ? nextLine - 1 : nextLine) + "\n";
    return source.substr(0, insertAt) + layout + source.substr(insertAt);
}

}  // namespace

k_Shader::k_Shader(IEngine* engine, Stage type, const std::wstring& fileName)
    : m_engine(engine), m_name(fileName), m_type(type)
{
    std::unique_ptr<IFile> file = m_engine->GetFileSystem()->OpenFile(fileName);
    if (!file) {
        Log::Error() << "Cannot read from file: " << fileName;
        return;
    }
    Initialize(reinterpret_cast<const char*>(file->GetData()), static_cast<int>(file->GetSize()));
}

k_Shader::k_Shader(IEngine* engine, Stage type, const std::wstring& name, const std::string& source)
    : m_engine(engine), m_name(name), m_type(type)
{
    Initialize(source.data(), static_cast<int>(source.size()));
}

k_Shader::~k_Shader()
{
    if (m_shaderObject) glDeleteShader(m_shaderObject);
}

bool k_Shader::TakesProgramParameters(const std::string& source)
{
    int version = 110;
    bool extension = false;
    for (size_t start = 0; start < source.size();) {
        size_t end = source.find('\n', start);
        end = end == std::string::npos ? source.size() : end + 1;
        const size_t first = source.find_first_not_of(" \t", start);
        if (first < end && StartsWith(source, first, "#version")) version = std::atoi(source.c_str() + first + 8);
        if (first < end && StartsWith(source, first, "#extension")) {
            const std::string line = source.substr(first, end - first);
            const bool named = line.find("GL_EXT_geometry_shader4") != std::string::npos ||
                               line.find("GL_ARB_geometry_shader4") != std::string::npos;
            if (named && line.find("disable") == std::string::npos) extension = true;
        }
        start = end;
    }
    return version < 150 && extension;
}

void k_Shader::Initialize(const char* source, int length)
{
    const GLenum stage = GlStage(m_type);
    if (!stage) {
        Log::Error() << "Error compiling shader " << m_name << ": unknown stage " << m_type;
        return;
    }
    m_shaderObject = glCreateShader(stage);
    std::string text(source, static_cast<size_t>(length));
    m_deferred = m_type == Geometry && !TakesProgramParameters(text);
    if (m_deferred)
        m_deferredSource = std::move(text);
    else
        Compile(text);
}

void k_Shader::Compile(const std::string& source)
{
    const char* text = source.data();
    const GLint lengths[1] = {static_cast<GLint>(source.size())};
    glShaderSource(m_shaderObject, 1, &text, lengths);
    glCompileShader(m_shaderObject);
    GLint status = GL_FALSE;
    glGetShaderiv(m_shaderObject, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE) return;

    Log::Error() << "Error compiling " << StagePrefix(m_type) << m_name;
    GLint logLength = 0;
    glGetShaderiv(m_shaderObject, GL_INFO_LOG_LENGTH, &logLength);
    if (logLength >= 1) {
        std::string log(static_cast<size_t>(logLength), '\0');
        glGetShaderInfoLog(m_shaderObject, logLength, nullptr, log.data());
        DriverLog::Write(Log::Level::Error, log);
    }
}

void k_Shader::SetGeometryParameters(int input, int output, int maxVertices)
{
    if (m_type != Geometry) throw L"Cannot set geometry shader parameters on a pixel or vertex shader!";
    if (output != 0 && output != 3 && output != 5)
        throw L"You can only use Point, TriangleStrip or LineStrip as geometry shader output primitive topology!";
    if (m_parametersSet && input == m_inputTopology && output == m_outputTopology && maxVertices == m_maxOutputVertices)
        return;
    m_inputTopology = input;
    m_outputTopology = output;
    m_maxOutputVertices = maxVertices;
    m_parametersSet = true;
    m_compiledWithParameters = false;
}

void k_Shader::GetGeometryParameters(int& input, int& output, int& maxVertices)
{
    if (!m_parametersSet) throw L"Geometry shader parameters were not set!";
    input = m_inputTopology;
    output = m_outputTopology;
    maxVertices = m_maxOutputVertices;
}

void k_Shader::PrepareForLinking()
{
    if (!m_deferred || m_compiledWithParameters) return;
    int input = 0, output = 0, maxVertices = 0;
    GetGeometryParameters(input, output, maxVertices);
    if (!InputLayout(input))
        Log::Error() << "Geometry shader " << m_name << ": input topology " << input << " has no GLSL equivalent";
    Compile(WithLayout(m_deferredSource, input, output, maxVertices));
    m_compiledWithParameters = true;
}
