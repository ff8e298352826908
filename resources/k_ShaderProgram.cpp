// Shader programs. Geometry parameters reach the driver as program parameters for a stage that
// enables geometry_shader4, and otherwise through the geometry stage compiled at link time as
// its #version asks (k_Shader). Programs of one link share its GL object; each keeps its uniform
// values and uploads them when it is made current after another, so materials drawn with the
// same stages never mix values.
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
#include "resources/DriverLog.h"

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

// Every active uniform element of a program with a known type: its name (an array's under each
// element's name), location, type, and how many elements of its array follow it.
struct ActiveUniform {
    std::string name;
    GLint location;
    const UniformType* type;
    int following;
};

std::vector<ActiveUniform> ActiveUniforms(GLuint program)
{
    std::vector<ActiveUniform> uniforms;
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
        const UniformType* known = FindUniformType(type);
        if (base.rfind("gl_", 0) == 0 || !known) continue;
        if (size > 1 && base.size() > 3 && base.compare(base.size() - 3, 3, "[0]") == 0) base.resize(base.size() - 3);
        for (GLint element = 0; element < size; ++element) {
            std::string each = size == 1 ? base : base + "[" + std::to_string(element) + "]";
            const GLint location = glGetUniformLocation(program, each.c_str());
            if (location >= 0) uniforms.push_back({std::move(each), location, known, size - 1 - element});
        }
    }
    return uniforms;
}

// A vector's components, or a square matrix's entries.
int ComponentsOf(const UniformType& type)
{
    return type.upload == Upload::Matrix ? type.count * type.count : type.count;
}

// Whether a call of this kind and size sets a uniform of the type (GL refuses the others); a bool
// takes floats as well as ints.
bool CallSets(const UniformType& type, Upload upload, int count)
{
    const bool isBool = type.type == GL_BOOL || type.type == GL_BOOL_VEC2 || type.type == GL_BOOL_VEC3 ||
                        type.type == GL_BOOL_VEC4;
    return type.count == count && (type.upload == upload || (isBool && upload == Upload::Floats));
}

}  // namespace

// The linked GL program and what every program sharing it reads alike: locations, the uniforms'
// slots and the values the link gave them.
struct k_ShaderProgram::Link {
    GLuint object = 0;
    bool linked = false;
    std::string infoLog;
    std::map<std::string, int, std::less<>> uniformLocations;
    std::map<std::string, int, std::less<>> attributeLocations;
    std::vector<ActiveUniform> uniforms;  // the slots, an array's elements in a row
    std::map<GLint, size_t> slotAt;       // by location
    std::map<std::string, size_t> slotNamed;
    std::vector<Value> linkedValues;
    // The program whose values GL holds now; null when none is known to.
    const k_ShaderProgram* holder = nullptr;

    Link() = default;
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;
    ~Link() { glDeleteProgram(object); }

    // The slots and the values the link left in them (GLSL initialisers, else zeros).
    void ReadUniforms()
    {
        uniforms = ActiveUniforms(object);
        for (size_t slot = 0; slot < uniforms.size(); ++slot) {
            const ActiveUniform& uniform = uniforms[slot];
            slotAt.emplace(uniform.location, slot);
            slotNamed.emplace(uniform.name, slot);
            Value value;
            value.upload = static_cast<int>(uniform.type->upload);
            value.components = ComponentsOf(*uniform.type);
            if (uniform.type->upload == Upload::Ints)
                glGetUniformiv(object, uniform.location, value.ints);
            else
                glGetUniformfv(object, uniform.location, value.floats);
            linkedValues.push_back(value);
        }
    }
};

namespace {

// Uploads a noted value to location of the current program, with the call that set it.
void UploadValue(GLint location, Upload upload, int components, const GLfloat* floats, const GLint* ints)
{
    if (upload == Upload::Ints) {
        switch (components) {
        case 1: glUniform1iv(location, 1, ints); break;
        case 2: glUniform2iv(location, 1, ints); break;
        case 3: glUniform3iv(location, 1, ints); break;
        default: glUniform4iv(location, 1, ints); break;
        }
        return;
    }
    if (upload == Upload::Matrix) {
        switch (components) {
        case 4: glUniformMatrix2fv(location, 1, GL_FALSE, floats); break;
        case 9: glUniformMatrix3fv(location, 1, GL_FALSE, floats); break;
        default: glUniformMatrix4fv(location, 1, GL_FALSE, floats); break;
        }
        return;
    }
    switch (components) {
    case 1: glUniform1fv(location, 1, floats); break;
    case 2: glUniform2fv(location, 1, floats); break;
    case 3: glUniform3fv(location, 1, floats); break;
    default: glUniform4fv(location, 1, floats); break;
    }
}

}  // namespace

k_ShaderProgram::k_ShaderProgram(IEngine* engine, std::vector<IShader*> shaders)
    : m_engine(engine), m_link(std::make_shared<Link>())
{
    IGraphics* graphics = m_engine->GetGraphics();
    Link& link = *m_link;
    link.object = glCreateProgram();  // deleted with the link, also when attaching throws
    for (IShader* shader : shaders) {
        if (!shader) continue;
        if (shader->GetType() == IShader::Geometry) AttachGeometryParameters(shader);
        glAttachShader(link.object, shader->GetShaderObject());
        graphics->CheckErrors();
    }
    glLinkProgram(link.object);
    GLint status = GL_FALSE;
    glGetProgramiv(link.object, GL_LINK_STATUS, &status);
    link.linked = status == GL_TRUE;
    GLint logLength = 0;
    glGetProgramiv(link.object, GL_INFO_LOG_LENGTH, &logLength);
    if (logLength > 0) {
        link.infoLog.assign(static_cast<size_t>(logLength), '\0');
        glGetProgramInfoLog(link.object, logLength, nullptr, link.infoLog.data());
        link.infoLog.resize(link.infoLog.find('\0') == std::string::npos ? link.infoLog.size()
                                                                         : link.infoLog.find('\0'));
    }
    if (!link.linked) {
        Log::Info() << "Error/Warning linking shaders.";
        DriverLog::Write(Log::Level::Info, link.infoLog);
        return;
    }
    link.ReadUniforms();
    m_values = link.linkedValues;
}

k_ShaderProgram::k_ShaderProgram(IEngine* engine, std::shared_ptr<Link> link)
    : m_engine(engine), m_link(std::move(link)), m_values(m_link->linkedValues)
{
}

k_ShaderProgram::~k_ShaderProgram()
{
    if (m_link->holder == this) m_link->holder = nullptr;
}

std::unique_ptr<k_ShaderProgram> k_ShaderProgram::Share() const
{
    return std::unique_ptr<k_ShaderProgram>(new k_ShaderProgram(m_engine, m_link));
}

bool k_ShaderProgram::IsLinked() { return m_link->linked; }

const std::string& k_ShaderProgram::GetInfoLog() { return m_link->infoLog; }

unsigned k_ShaderProgram::GetProgramObject() const { return m_link->object; }

void k_ShaderProgram::MakeCurrent()
{
    // GL refuses an unlinked program with an error on every use; fixed-function drawing
    // shows the fault on screen without flooding the log each frame.
    Link& link = *m_link;
    glUseProgram(link.linked ? link.object : 0);
    if (!link.linked || link.holder == this) return;
    for (size_t slot = 0; slot < m_values.size(); ++slot) {
        const Value& value = m_values[slot];
        UploadValue(link.uniforms[slot].location, static_cast<Upload>(value.upload), value.components, value.floats,
                    value.ints);
    }
    link.holder = this;
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
    parameter(m_link->object, GL_GEOMETRY_INPUT_TYPE_EXT, input);
    graphics->CheckErrors();
    parameter(m_link->object, GL_GEOMETRY_OUTPUT_TYPE_EXT, output);
    graphics->CheckErrors();
    parameter(m_link->object, GL_GEOMETRY_VERTICES_OUT_EXT, maxVertices);
    graphics->CheckErrors();
}

int k_ShaderProgram::Locate(std::map<std::string, int, std::less<>>& cache, std::string_view name, bool uniform)
{
    if (!m_link->object || !m_link->linked) return -1;
    auto found = cache.find(name);
    if (found != cache.end()) return found->second;
    const std::string key(name);
    const int location = uniform ? glGetUniformLocation(m_link->object, key.c_str())
                                 : glGetAttribLocation(m_link->object, key.c_str());
    m_engine->GetGraphics()->CheckErrors();
    cache.emplace(key, location);
    return location;
}

int k_ShaderProgram::GetUniformLocation(std::string_view name) { return Locate(m_link->uniformLocations, name, true); }

int k_ShaderProgram::GetAttributeLocation(std::string_view name)
{
    return Locate(m_link->attributeLocations, name, false);
}

void k_ShaderProgram::Record(int location, int upload, int components, const float* floats, const int* ints,
                             int elements)
{
    const auto found = m_link->slotAt.find(location);
    if (found == m_link->slotAt.end()) return;
    const size_t first = found->second;
    const ActiveUniform& uniform = m_link->uniforms[first];
    const Upload kind = static_cast<Upload>(upload);
    const int count = kind == Upload::Matrix ? (components == 4 ? 2 : components == 9 ? 3 : 4) : components;
    if (!CallSets(*uniform.type, kind, count)) return;  // GL refused it: nothing changed
    const int reached = std::min(elements, uniform.following + 1);
    for (int element = 0; element < reached; ++element) {
        Value& value = m_values[first + static_cast<size_t>(element)];
        value.upload = upload;
        value.components = components;
        const size_t offset = static_cast<size_t>(element * components);
        if (kind == Upload::Ints)
            std::copy(ints + offset, ints + offset + components, value.ints);
        else
            std::copy(floats + offset, floats + offset + components, value.floats);
    }
}

void k_ShaderProgram::SetMatrixArray(std::string_view name, const float* data, int count)
{
    MakeCurrent();
    const int location = GetUniformLocation(name);
    if (location < 0 || count <= 0) return;
    glUniformMatrix4fv(location, count, GL_FALSE, data);
    Record(location, static_cast<int>(Upload::Matrix), 16, data, nullptr, count);
}

void k_ShaderProgram::SetMatrix(std::string_view name, const float* data, int size)
{
    MakeCurrent();
    const int location = GetUniformLocation(name);
    if (location >= 0) {
        switch (size) {
        case 1:
            glUniform1fv(location, 1, data);
            Record(location, static_cast<int>(Upload::Floats), 1, data, nullptr, 1);
            break;
        case 2:
        case 3:
            glUniformMatrix2fv(location, 1, GL_FALSE, data);
            Record(location, static_cast<int>(Upload::Matrix), 4, data, nullptr, 1);
            break;
        case 4:
            glUniformMatrix4fv(location, 1, GL_FALSE, data);
            Record(location, static_cast<int>(Upload::Matrix), 16, data, nullptr, 1);
            break;
        default: break;
        }
    }
    m_engine->GetGraphics()->CheckErrors();
}

void k_ShaderProgram::SetVector(std::string_view name, const float* data, int components)
{
    MakeCurrent();
    const int location = GetUniformLocation(name);
    if (location >= 0 && components >= 1 && components <= 4) {
        switch (components) {
        case 1: glUniform1fv(location, 1, data); break;
        case 2: glUniform2fv(location, 1, data); break;
        case 3: glUniform3fv(location, 1, data); break;
        default: glUniform4fv(location, 1, data); break;
        }
        Record(location, static_cast<int>(Upload::Floats), components, data, nullptr, 1);
    }
    m_engine->GetGraphics()->CheckErrors();
}

void k_ShaderProgram::SetFloat(std::string_view name, float value)
{
    MakeCurrent();
    const int location = GetUniformLocation(name);
    if (location < 0) return;
    glUniform1f(location, value);
    Record(location, static_cast<int>(Upload::Floats), 1, &value, nullptr, 1);
}

void k_ShaderProgram::SetInt(std::string_view name, int value)
{
    MakeCurrent();
    const int location = GetUniformLocation(name);
    if (location < 0) return;
    glUniform1i(location, value);
    Record(location, static_cast<int>(Upload::Ints), 1, nullptr, &value, 1);
}

// From this program's own values, converted as glGetUniform converts; never more numbers than the
// uniform has, so a getter asked for a larger type leaves the rest of its result alone.
template <typename T>
void k_ShaderProgram::ReadUniform(std::string_view name, T* result, size_t count)
{
    const int location = GetUniformLocation(name);
    const auto found = m_link->slotAt.find(location);
    if (location < 0 || found == m_link->slotAt.end()) return;
    const Value& value = m_values[found->second];
    const size_t numbers = std::min(count, static_cast<size_t>(value.components));
    for (size_t i = 0; i < numbers; ++i)
        result[i] = static_cast<Upload>(value.upload) == Upload::Ints ? static_cast<T>(value.ints[i])
                                                                      : static_cast<T>(value.floats[i]);
}

int k_ShaderProgram::GetInt(std::string_view name)
{
    GLint value = 0;
    ReadUniform(name, &value, 1);
    return value;
}

float k_ShaderProgram::GetFloat(std::string_view name)
{
    GLfloat value = 0;
    ReadUniform(name, &value, 1);
    return value;
}

Vector k_ShaderProgram::GetVector4(std::string_view name)
{
    Vector value;
    ReadUniform(name, value.Data(), 4);
    return value;
}

Matrix k_ShaderProgram::GetMatrix4(std::string_view name)
{
    Matrix value;
    ReadUniform(name, value.m, 16);
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
    if (!old.m_link->linked || !m_link->linked) return;
    for (const auto& [name, from] : old.m_link->slotNamed) {
        const auto to = m_link->slotNamed.find(name);
        if (to == m_link->slotNamed.end() || m_link->uniforms[to->second].type != old.m_link->uniforms[from].type)
            continue;
        m_values[to->second] = old.m_values[from];
        if (old.m_marked.empty()) continue;
        if (m_marked.empty()) m_marked = m_link->linkedValues;
        m_marked[to->second] = old.m_marked[from];
    }
    // Uploaded when this program is next made current.
    if (m_link->holder == this) m_link->holder = nullptr;
}

void k_ShaderProgram::MarkValues() { m_marked = m_values; }

void k_ShaderProgram::RewindValues()
{
    if (m_marked.empty()) return;
    m_values = m_marked;
    if (m_link->holder == this) m_link->holder = nullptr;
}
