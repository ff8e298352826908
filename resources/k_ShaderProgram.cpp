// Shader programs. Geometry parameters reach the driver as program parameters for a stage that
// enables geometry_shader4, and otherwise through the geometry stage compiled at link time as
// its #version asks (k_Shader).
#include "resources/k_ShaderProgram.h"

#include <GL/glew.h>
#include <algorithm>
#include <string>

#include "core/IEngine.h"
#include "core/IGraphics.h"
#include "platform/Log.h"
#include "core/IResourceFactory.h"
#include "core/IShader.h"
#include "core/IShaderCallback.h"

namespace {

// How a uniform type's value is read back and uploaded.
enum class Upload { Floats, Ints, Matrix };
struct UniformType {
    GLenum type;
    Upload upload;
    int count;  // components, or columns of a square matrix
};
const UniformType kUniformTypes[] = {
    {GL_FLOAT, Upload::Floats, 1},        {GL_FLOAT_VEC2, Upload::Floats, 2},  {GL_FLOAT_VEC3, Upload::Floats, 3},
    {GL_FLOAT_VEC4, Upload::Floats, 4},   {GL_INT, Upload::Ints, 1},           {GL_INT_VEC2, Upload::Ints, 2},
    {GL_INT_VEC3, Upload::Ints, 3},       {GL_INT_VEC4, Upload::Ints, 4},      {GL_BOOL, Upload::Ints, 1},
    {GL_BOOL_VEC2, Upload::Ints, 2},      {GL_BOOL_VEC3, Upload::Ints, 3},     {GL_BOOL_VEC4, Upload::Ints, 4},
    {GL_FLOAT_MAT2, Upload::Matrix, 2},   {GL_FLOAT_MAT3, Upload::Matrix, 3},  {GL_FLOAT_MAT4, Upload::Matrix, 4},
    {GL_SAMPLER_1D, Upload::Ints, 1},     {GL_SAMPLER_2D, Upload::Ints, 1},    {GL_SAMPLER_3D, Upload::Ints, 1},
    {GL_SAMPLER_CUBE, Upload::Ints, 1},   {GL_SAMPLER_2D_SHADOW, Upload::Ints, 1},
    {GL_SAMPLER_2D_RECT, Upload::Ints, 1}, {GL_SAMPLER_2D_ARRAY, Upload::Ints, 1},
};

const UniformType* FindUniformType(GLenum type)
{
    for (const UniformType& row : kUniformTypes)
        if (row.type == type) return &row;
    return nullptr;
}

// Every active uniform of a program by name, with its type; an array under each element's name.
std::map<std::string, GLenum> ActiveUniforms(GLuint program)
{
    std::map<std::string, GLenum> uniforms;
    GLint count = 0, longest = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(program, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
    std::string name(static_cast<size_t>(longest) + 1, '\0');
    for (GLint i = 0; i < count; ++i) {
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(i), static_cast<GLsizei>(name.size()), &length, &size, &type,
                           name.data());
        std::string base(name.data(), static_cast<size_t>(length));
        if (base.rfind("gl_", 0) == 0) continue;
        if (size == 1) {
            uniforms.emplace(base, type);
            continue;
        }
        if (base.size() > 3 && base.compare(base.size() - 3, 3, "[0]") == 0) base.resize(base.size() - 3);
        for (GLint element = 0; element < size; ++element)
            uniforms.emplace(base + "[" + std::to_string(element) + "]", type);
    }
    return uniforms;
}

// Uploads to the current program the value from's uniform has at fromLocation.
void CopyUniform(GLuint from, GLint fromLocation, GLint toLocation, const UniformType& type)
{
    GLfloat floats[16] = {};
    GLint ints[16] = {};
    if (type.upload == Upload::Ints) {
        glGetUniformiv(from, fromLocation, ints);
        switch (type.count) {
        case 1: glUniform1iv(toLocation, 1, ints); break;
        case 2: glUniform2iv(toLocation, 1, ints); break;
        case 3: glUniform3iv(toLocation, 1, ints); break;
        default: glUniform4iv(toLocation, 1, ints); break;
        }
        return;
    }
    glGetUniformfv(from, fromLocation, floats);
    if (type.upload == Upload::Matrix) {
        switch (type.count) {
        case 2: glUniformMatrix2fv(toLocation, 1, GL_FALSE, floats); break;
        case 3: glUniformMatrix3fv(toLocation, 1, GL_FALSE, floats); break;
        default: glUniformMatrix4fv(toLocation, 1, GL_FALSE, floats); break;
        }
        return;
    }
    switch (type.count) {
    case 1: glUniform1fv(toLocation, 1, floats); break;
    case 2: glUniform2fv(toLocation, 1, floats); break;
    case 3: glUniform3fv(toLocation, 1, floats); break;
    default: glUniform4fv(toLocation, 1, floats); break;
    }
}

}  // namespace

k_ShaderProgram::k_ShaderProgram(IEngine* engine, std::vector<IShader*> shaders)
    : m_engine(engine), m_shaders(std::move(shaders))
{
    IGraphics* graphics = m_engine->GetGraphics();
    m_programObject = glCreateProgram();
    try {
        for (IShader* shader : m_shaders) {
            if (!shader) continue;
            if (shader->GetType() == IShader::Geometry) AttachGeometryParameters(shader);
            glAttachShader(m_programObject, shader->GetShaderObject());
            graphics->CheckErrors();
        }
    } catch (...) {
        glDeleteProgram(m_programObject);  // no destructor runs for a half-made program
        throw;
    }
    glLinkProgram(m_programObject);
    GLint status = GL_FALSE;
    glGetProgramiv(m_programObject, GL_LINK_STATUS, &status);
    m_linked = status == GL_TRUE;
    GLint logLength = 0;
    glGetProgramiv(m_programObject, GL_INFO_LOG_LENGTH, &logLength);
    if (logLength > 0) {
        m_infoLog.assign(static_cast<size_t>(logLength), '\0');
        glGetProgramInfoLog(m_programObject, logLength, nullptr, m_infoLog.data());
        m_infoLog.resize(m_infoLog.find('\0') == std::string::npos ? m_infoLog.size() : m_infoLog.find('\0'));
    }
    if (!m_linked) {
        Log::Info() << "Error/Warning linking shaders.";
        if (!m_infoLog.empty()) Log::Info() << m_infoLog;
    }
}

k_ShaderProgram::~k_ShaderProgram() { glDeleteProgram(m_programObject); }

void k_ShaderProgram::MakeCurrent()
{
    // GL refuses an unlinked program with an error on every use; fixed-function drawing
    // shows the fault on screen without flooding the log each frame.
    glUseProgram(m_linked ? m_programObject : 0);
}

void k_ShaderProgram::AttachGeometryParameters(IShader* shader)
{
    int input = 0, output = 0, maxVertices = 0;
    shader->GetGeometryParameters(input, output, maxVertices);
    if (!shader->TakesProgramParameters()) {
        shader->PrepareForLinking();
        return;
    }
    IGraphics* graphics = m_engine->GetGraphics();
    auto parameter = glProgramParameteriEXT ? glProgramParameteriEXT : glProgramParameteriARB;
    if (!parameter) {
        Log::Error() << "The driver takes no geometry program parameters (GL_EXT_geometry_shader4)";
        return;
    }
    parameter(m_programObject, GL_GEOMETRY_INPUT_TYPE_EXT, input);
    graphics->CheckErrors();
    parameter(m_programObject, GL_GEOMETRY_OUTPUT_TYPE_EXT, output);
    graphics->CheckErrors();
    parameter(m_programObject, GL_GEOMETRY_VERTICES_OUT_EXT, maxVertices);
    graphics->CheckErrors();
}

int k_ShaderProgram::Locate(LocationCache& cache, std::string_view name, bool uniform)
{
    if (!m_programObject || !m_linked) return -1;
    auto found = cache.find(name);
    if (found != cache.end()) return found->second;
    const std::string key(name);
    const int location = uniform ? glGetUniformLocation(m_programObject, key.c_str())
                                 : glGetAttribLocation(m_programObject, key.c_str());
    m_engine->GetGraphics()->CheckErrors();
    cache.emplace(key, location);
    return location;
}

int k_ShaderProgram::GetUniformLocation(std::string_view name) { return Locate(m_uniformLocations, name, true); }

int k_ShaderProgram::GetAttributeLocation(std::string_view name)
{
    return Locate(m_attributeLocations, name, false);
}

void k_ShaderProgram::SetMatrixArray(std::string_view name, const float* data, int count)
{
    MakeCurrent();
    const int location = GetUniformLocation(name);
    if (location >= 0) glUniformMatrix4fv(location, count, GL_FALSE, data);
}

void k_ShaderProgram::SetMatrix(std::string_view name, const float* data, int size)
{
    MakeCurrent();
    const int location = GetUniformLocation(name);
    if (location >= 0) {
        switch (size) {
        case 1: glUniform1fv(location, 1, data); break;
        case 2:
        case 3: glUniformMatrix2fv(location, 1, GL_FALSE, data); break;
        case 4: glUniformMatrix4fv(location, 1, GL_FALSE, data); break;
        default: break;
        }
    }
    m_engine->GetGraphics()->CheckErrors();
}

void k_ShaderProgram::SetVector(std::string_view name, const float* data, int components)
{
    MakeCurrent();
    const int location = GetUniformLocation(name);
    if (location >= 0) {
        switch (components) {
        case 1: glUniform1fv(location, 1, data); break;
        case 2: glUniform2fv(location, 1, data); break;
        case 3: glUniform3fv(location, 1, data); break;
        case 4: glUniform4fv(location, 1, data); break;
        default: break;
        }
    }
    m_engine->GetGraphics()->CheckErrors();
}

void k_ShaderProgram::SetFloat(std::string_view name, float value)
{
    MakeCurrent();
    const int location = GetUniformLocation(name);
    if (location >= 0) glUniform1f(location, value);
}

void k_ShaderProgram::SetInt(std::string_view name, int value)
{
    MakeCurrent();
    const int location = GetUniformLocation(name);
    if (location >= 0) glUniform1i(location, value);
}

// Reads through a buffer as large as the largest float uniform (a 4x4 matrix), so a getter
// asked for a smaller type than the uniform has never writes past its result.
template <typename T, typename Read>
void k_ShaderProgram::ReadUniform(std::string_view name, T* result, size_t count, Read read)
{
    const int location = GetUniformLocation(name);
    if (location < 0) return;
    T buffer[16];
    std::copy(result, result + count, buffer);
    read(m_programObject, location, buffer);
    std::copy(buffer, buffer + count, result);
}

int k_ShaderProgram::GetInt(std::string_view name)
{
    GLint value = 0;
    ReadUniform(name, &value, 1, glGetUniformiv);
    return value;
}

float k_ShaderProgram::GetFloat(std::string_view name)
{
    GLfloat value = 0;
    ReadUniform(name, &value, 1, glGetUniformfv);
    return value;
}

Vector k_ShaderProgram::GetVector4(std::string_view name)
{
    Vector value;
    ReadUniform(name, value.Data(), 4, glGetUniformfv);
    return value;
}

Matrix k_ShaderProgram::GetMatrix4(std::string_view name)
{
    Matrix value;
    ReadUniform(name, value.m, 16, glGetUniformfv);
    return value;
}

bool k_ShaderProgram::AddShaderCallback(const std::wstring& name, void* argument)
{
    IShaderCallback* callback = m_engine->GetResourceFactory()->GetShaderCallback(name);
    if (!callback || !callback->Accepts(this)) return false;
    m_callbacks[name] = {callback, argument};
    return true;
}

void k_ShaderProgram::Use()
{
    MakeCurrent();
    m_engine->GetGraphics()->CheckErrors();
    for (auto& [name, attached] : m_callbacks) attached.first->Apply(this, attached.second);
}

void k_ShaderProgram::CopyStateFrom(const k_ShaderProgram& old)
{
    for (const auto& [name, attached] : old.m_callbacks) m_callbacks[name] = attached;
    if (!old.m_linked || !m_linked) return;
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(m_programObject);
    const std::map<std::string, GLenum> wanted = ActiveUniforms(m_programObject);
    for (const auto& [name, type] : ActiveUniforms(old.m_programObject)) {
        const auto found = wanted.find(name);
        const UniformType* known = FindUniformType(type);
        if (found == wanted.end() || found->second != type || !known) continue;
        const GLint from = glGetUniformLocation(old.m_programObject, name.c_str());
        const GLint to = glGetUniformLocation(m_programObject, name.c_str());
        if (from >= 0 && to >= 0) CopyUniform(old.m_programObject, from, to, *known);
    }
    glUseProgram(static_cast<GLuint>(previous));
    m_engine->GetGraphics()->CheckErrors();
}
