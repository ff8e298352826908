// The material file loader. Keys, words and values compare exactly and case-sensitively.
#include "resources/k_MaterialLoader.h"

#include <GL/glew.h>
#include <cstdlib>
#include <cwctype>

#include "core/IEngine.h"
#include "platform/Log.h"
#include "platform/Text.h"
#include "core/IResourceFactory.h"
#include "core/IShader.h"
#include "core/IShaderProgram.h"
#include "resources/ReportedFailure.h"
#include "resources/k_Material.h"
#include "core/PrimitiveTopology.h"

namespace {

struct Word {
    const char* word;
    int value;
};

// The value of word in table, or false when the table lacks it.
template <size_t N>
bool Look(const Word (&table)[N], const std::string& word, int& value)
{
    for (const Word& row : table)
        if (word == row.word) {
            value = row.value;
            return true;
        }
    return false;
}

const Word kComparisons[] = {
    {"never", GL_NEVER},       {"disabled", 0},          {"less", GL_LESS},
    {"equal", GL_EQUAL},       {"lessequal", GL_LEQUAL}, {"greater", GL_GREATER},
    {"notequal", GL_NOTEQUAL}, {"greaterequal", GL_GEQUAL}, {"always", GL_ALWAYS},
};
const Word kCulling[] = {{"none", 0}, {"front", GL_FRONT}, {"back", GL_BACK}, {"all", GL_BACK}};
const Word kBlendFactors[] = {
    {"zero", GL_ZERO},
    {"one", GL_ONE},
    {"srccolor", GL_SRC_COLOR},
    {"oneminussrccolor", GL_ONE_MINUS_SRC_COLOR},
    {"destcolor", GL_DST_COLOR},
    {"oneminusdestcolor", GL_ONE_MINUS_DST_COLOR},
    {"srcalpha", GL_SRC_ALPHA},
    {"oneminussrcalpha", GL_ONE_MINUS_SRC_ALPHA},
    {"destalpha", GL_DST_ALPHA},
    {"oneminusdestalpha", GL_ONE_MINUS_DST_ALPHA},
    {"srcalphasaturate", GL_SRC_ALPHA_SATURATE},
};
const Word kWraps[] = {{"clamp", GL_CLAMP_TO_EDGE}, {"repeat", GL_REPEAT}, {"mirror", GL_MIRRORED_REPEAT}};

// Keys whose values are missing make the line a warning; the counts include the key.
const Word kTokensNeeded[] = {
    {"target", 2},         {"depthfunc", 2},     {"alphatestfunc", 2}, {"alphatestvalue", 2},
    {"culling", 2},        {"depthwrite", 2},    {"alphablend", 2},    {"srcblendmode", 2},
    {"destblendmode", 2},  {"ambient", 5},       {"diffuse", 5},       {"specular", 5},
    {"emissive", 5},       {"shininess", 2},     {"useshader", 2},     {"vertexshader", 2},
    {"pixelshader", 2},    {"geometryshader", 5}, {"shadercallback", 2},
};

Colour ReadColour(const std::vector<std::string>& tokens)
{
    return {static_cast<float>(std::atof(tokens[1].c_str())), static_cast<float>(std::atof(tokens[2].c_str())),
            static_cast<float>(std::atof(tokens[3].c_str())), static_cast<float>(std::atof(tokens[4].c_str()))};
}

// Archive names match regardless of ASCII letter case.
bool SameFile(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        wchar_t x = a[i], y = b[i];
        if (x < 128) x = static_cast<wchar_t>(std::towlower(x));
        if (y < 128) y = static_cast<wchar_t>(std::towlower(y));
        if (x != y) return false;
    }
    return true;
}

// Bounds well above any real material (they use one or two levels), so a hostile chain cannot
// overflow the stack, nor a fan of includes run for hours.
constexpr int kMaxIncludeDepth = 16;
constexpr int kMaxIncludeLoads = 256;

// A header's parameters: its tokens without a trailing opening brace.
size_t ParameterCount(const std::vector<std::string>& header)
{
    const bool brace = header.back() == "{" || header.back() == "{{";
    return header.size() - (brace && header.size() > 1 ? 1 : 0);
}

}  // namespace

k_MaterialLoader::k_MaterialLoader(IEngine* engine, k_Material* material, const std::wstring& fileName)
    : k_MaterialLoader(engine, material, fileName, nullptr, 0)
{
}

k_MaterialLoader::k_MaterialLoader(IEngine* engine, k_Material* material, const std::wstring& fileName,
                                   k_MaterialLoader* includer, int includeLine)
    : k_CFileLoader(engine),
      m_material(material),
      m_fileName(fileName),
      m_includer(includer),
      m_includeLine(includeLine),
      m_root(includer ? includer->m_root : this),
      m_depth(includer ? includer->m_depth + 1 : 0)
{
    Run();
}

void k_MaterialLoader::Run()
{
    Log::Info() << "MaterialLoader: Loading material: " << m_fileName << "...";
    m_material->AddSource(m_fileName);
    Load(m_fileName);
    if (!FileFound() && m_includer) {
        Log::Error() << "MaterialLoader: Include not found: " << m_fileName << " (" << m_includer->m_fileName << ":"
                     << m_includeLine << ")";
    } else if (FileFound() && SectionCount() == 0) {
        Log::Warning() << "MaterialLoader: The file holds no section (" << m_fileName << ")";
    }
    Log::Info() << "MaterialLoader: Finished loading material.";
    Log::Info() << "MaterialLoader: Loading material includes...";
    LoadIncludes();
    Log::Info() << "MaterialLoader: Finished loading material.";
}

void k_MaterialLoader::LoadIncludes()
{
    for (const auto& [include, line] : m_includes) {
        if (IsBeingLoaded(include)) {
            Log::Warning() << "MaterialLoader: Include cycle: " << include << " is already being loaded ("
                           << m_fileName << ":" << line << ")";
            continue;
        }
        if (m_depth + 1 > kMaxIncludeDepth) {
            ReportCut(include, line, "includes nest deeper than " + std::to_string(kMaxIncludeDepth) + " files");
            continue;
        }
        if (m_root->m_includeLoads >= kMaxIncludeLoads) {
            ReportCut(include, line, "the material loads more than " + std::to_string(kMaxIncludeLoads) + " includes");
            continue;
        }
        ++m_root->m_includeLoads;
        k_MaterialLoader nested(m_engine, m_material, include, this, line);
    }
}

void k_MaterialLoader::ReportCut(const std::wstring& include, int line, const std::string& why)
{
    if (m_root->m_cutReported) return;
    m_root->m_cutReported = true;
    Log::Error() << "MaterialLoader: Include " << include << " and any further ones left out: " << why << " ("
                 << m_fileName << ":" << line << ")";
}

bool k_MaterialLoader::IsBeingLoaded(const std::wstring& fileName) const
{
    for (const k_MaterialLoader* loader = this; loader; loader = loader->m_includer)
        if (SameFile(loader->m_fileName, fileName)) return true;
    return false;
}

std::string k_MaterialLoader::Where() const
{
    return " (" + Text::ToUtf8(m_fileName) + ":" + std::to_string(GetLineNumber()) + ")";
}

bool k_MaterialLoader::BeginSection(const std::string& name, const std::vector<std::string>& header)
{
    if (name == "material") {
        m_vertexShader = m_pixelShader = m_geometryShader = nullptr;
        m_pass = std::make_unique<MaterialPass>();
        m_callbackNames.clear();
        m_mode = Material;
    } else if (name == "include") {
        m_mode = Include;
    } else if (name == "vertexshader") {
        BeginShaderSection(VertexShader, header);
    } else if (name == "pixelshader") {
        BeginShaderSection(PixelShader, header);
    } else if (name == "geometryshader") {
        BeginShaderSection(GeometryShader, header);
    } else {
        Log::Warning() << "MaterialLoader: Unknown section " << name << Where();
        return false;
    }
    return true;
}

void k_MaterialLoader::BeginShaderSection(Mode mode, const std::vector<std::string>& header)
{
    const size_t needed = mode == GeometryShader ? 5 : 2;
    if (ParameterCount(header) < needed) {
        Log::Warning() << "MaterialLoader: Shader section needs "
                       << (mode == GeometryShader ? "a name, input, output and maximum vertex count" : "a name")
                       << ", ignored" << Where();
        m_mode = Ignored;
        return;
    }
    m_mode = mode;
    m_shaderName = Text::FromUtf8(header[1]);
    m_shaderSource.assign(static_cast<size_t>(GetLineNumber()), '\n');
    if (mode != GeometryShader) return;
    m_geometryInput = Topology(header[2]);
    m_geometryOutput = Topology(header[3]);
    m_geometryMaxVertices = std::atoi(header[4].c_str());
}

bool k_MaterialLoader::ReadLine(const std::vector<std::string>& tokens, const std::string& line)
{
    switch (m_mode) {
    case Material:
        ReadMaterialKey(tokens);
        break;
    case Include:
        m_includes.emplace_back(Text::FromUtf8(tokens[0]), GetLineNumber());
        break;
    case VertexShader:
    case GeometryShader:
    case PixelShader:
        // Every line arrives, blank ones included, so GLSL messages name the file's lines.
        m_shaderSource += line;
        m_shaderSource += '\n';
        break;
    default:
        break;
    }
    return true;
}

bool k_MaterialLoader::TakesRawLines() const
{
    return m_mode == VertexShader || m_mode == GeometryShader || m_mode == PixelShader;
}

void k_MaterialLoader::SectionNeverClosed(const std::string& name, int headerLine)
{
    Log::Warning() << "MaterialLoader: Section " << name << " opened on line " << headerLine
                   << " is never closed, ignored" << Where();
}

bool k_MaterialLoader::EndSection(const std::string&)
{
    if (m_mode == Material) EndMaterialSection();
    if (m_mode == VertexShader || m_mode == GeometryShader || m_mode == PixelShader) EndShaderSection();
    m_mode = Between;
    return true;
}

void k_MaterialLoader::EndShaderSection()
{
    const IShader::Stage type = m_mode == VertexShader     ? IShader::Vertex
                                : m_mode == GeometryShader ? IShader::Geometry
                                                           : IShader::Pixel;
    const std::wstring name = m_fileName + L":" + m_shaderName;
    IShader* shader = m_engine->GetResourceFactory()->CreateShader(name, type, name, m_shaderSource);
    m_shaderSource.clear();
    if (!shader) return;
    if (type == IShader::Geometry) {
        try {
            shader->SetGeometryParameters(m_geometryInput, m_geometryOutput, m_geometryMaxVertices);
        } catch (const wchar_t* message) {
            Log::Error() << message << Where();
            throw ReportedFailure();
        }
    }
    m_embeddedShaders[m_shaderName] = shader;
}

void k_MaterialLoader::EndMaterialSection()
{
    std::vector<IShader*> shaders;
    for (IShader* shader : {m_pixelShader, m_vertexShader, m_geometryShader})
        if (shader) shaders.push_back(shader);
    if (shaders.empty()) {
        Log::Error() << "MaterialLoader: No shaders definied." << Where();
    } else if (IShaderProgram* program = m_engine->GetResourceFactory()->CreateShaderProgram(shaders)) {
        m_pass->program = program;
        for (const std::wstring& callback : m_callbackNames) program->AddShaderCallback(callback, nullptr);
    }
    m_material->AddPass(std::move(m_pass));
}

void k_MaterialLoader::ReadMaterialKey(const std::vector<std::string>& tokens)
{
    const std::string& key = tokens[0];
    if (key == "loadtexture" || key == "reservetexture") {
        if (tokens.size() < 3)
            Log::Warning() << "MaterialLoader: Unknown contenttype: " << key << Where();
        else
            ReadTextureSlot(tokens, key == "loadtexture");
        return;
    }
    int needed = 0;
    if (!Look(kTokensNeeded, key, needed)) {
        Log::Warning() << "MaterialLoader: Unknown contenttype: " << key << Where();
        return;
    }
    if (tokens.size() < static_cast<size_t>(needed)) {
        Log::Warning() << "MaterialLoader: Missing values for " << key << ", line ignored" << Where();
        return;
    }

    MaterialPass& pass = *m_pass;
    const std::string& value = tokens[1];
    IResourceFactory* factory = m_engine->GetResourceFactory();
    if (key == "target") {
        pass.target = value;
    } else if (key == "depthfunc") {
        pass.depthFunction = Comparison(value);
    } else if (key == "alphatestfunc") {
        pass.alphaTestFunction = Comparison(value);
    } else if (key == "alphatestvalue") {
        pass.alphaReference = static_cast<float>(std::atof(value.c_str()));
    } else if (key == "culling") {
        pass.cullFace = Culling(value);
    } else if (key == "depthwrite") {
        pass.depthWrite = Boolean(value);
    } else if (key == "alphablend") {
        pass.blending = Boolean(value);
    } else if (key == "srcblendmode") {
        pass.sourceBlendFactor = BlendFactor(value);
    } else if (key == "destblendmode") {
        pass.destinationBlendFactor = BlendFactor(value);
    } else if (key == "ambient") {
        pass.ambient = ReadColour(tokens);
    } else if (key == "diffuse") {
        pass.diffuse = ReadColour(tokens);
    } else if (key == "specular") {
        pass.specular = ReadColour(tokens);
    } else if (key == "emissive") {
        pass.emissive = ReadColour(tokens);
    } else if (key == "shininess") {
        pass.shininess = static_cast<float>(std::atof(value.c_str()));
    } else if (key == "useshader") {
        auto found = m_embeddedShaders.find(Text::FromUtf8(value));
        if (found == m_embeddedShaders.end())
            Log::Error() << "MaterialLoader: Shader not definied: " << value << Where();
        else
            UseShader(found->second);
    } else if (key == "vertexshader" || key == "pixelshader") {
        const std::wstring file = Text::FromUtf8(value);
        m_material->AddSource(file);
        UseShaderFile(factory->LoadShader(file, key == "vertexshader" ? IShader::Vertex : IShader::Pixel, file), value);
    } else if (key == "geometryshader") {
        const std::wstring file = Text::FromUtf8(value);
        m_material->AddSource(file);
        IShader* shader = factory->LoadShader(file, IShader::Geometry, file);
        if (!shader) return;
        const int input = Topology(tokens[2]);
        const int output = Topology(tokens[3]);
        try {
            shader->SetGeometryParameters(input, output, std::atoi(tokens[4].c_str()));
        } catch (const wchar_t* message) {
            Log::Error() << message << Where();
            throw ReportedFailure();
        }
        UseShaderFile(shader, value);
    } else if (key == "shadercallback") {
        m_callbackNames.push_back(Text::FromUtf8(value));
    }
}

void k_MaterialLoader::UseShaderFile(IShader* shader, const std::string& fileName)
{
    if (shader && !shader->GetShaderObject()) {
        Log::Error() << "MaterialLoader: Shader file " << fileName << " cannot be read, stage left out" << Where();
        return;
    }
    UseShader(shader);
}

void k_MaterialLoader::UseShader(IShader* shader)
{
    if (!shader) return;
    switch (shader->GetType()) {
    case IShader::Vertex: m_vertexShader = shader; break;
    case IShader::Geometry: m_geometryShader = shader; break;
    case IShader::Pixel: m_pixelShader = shader; break;
    }
}

void k_MaterialLoader::ReadTextureSlot(const std::vector<std::string>& tokens, bool load)
{
    const int unit = std::atoi(tokens[1].c_str());
    // A unit the driver lacks would be bound as GL_TEXTURE0 + unit and handed to samplers.
    GLint units = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    if (unit < 0 || unit >= units) {
        Log::Warning() << "MaterialLoader: Texture unit " << tokens[1] << " is not between 0 and " << units - 1
                       << ", line ignored" << Where();
        return;
    }
    TextureSlot slot;
    size_t wrap = 3;  // the first wrap word's token
    if (load) {
        const std::wstring file = Text::FromUtf8(tokens[2]);
        slot.texture = m_engine->GetResourceFactory()->LoadTexture(file, file);
        if (!slot.texture) Log::Error() << "MaterialLoader: Texture " << tokens[2] << " not loaded" << Where();
    } else {
        wrap = 2;
    }
    if (tokens.size() > wrap) slot.wrapS = slot.wrapT = Wrap(tokens[wrap]);
    if (tokens.size() > wrap + 1) slot.wrapT = Wrap(tokens[wrap + 1]);
    m_pass->textures[unit] = slot;
}

int k_MaterialLoader::Topology(const std::string& word)
{
    try {
        return static_cast<int>(ParsePrimitiveTopology(word));
    } catch (const wchar_t* message) {
        Log::Error() << message << " Unknown topology: " << word << Where();
        throw ReportedFailure();
    }
}

int k_MaterialLoader::Comparison(const std::string& word)
{
    int value = 0;
    if (!Look(kComparisons, word, value)) WarnUnknownValue(word);
    return value;
}

int k_MaterialLoader::Culling(const std::string& word)
{
    int value = 0;
    if (!Look(kCulling, word, value)) WarnUnknownValue(word);
    return value;
}

int k_MaterialLoader::BlendFactor(const std::string& word)
{
    int value = GL_ZERO;
    if (!Look(kBlendFactors, word, value)) WarnUnknownValue(word);
    return value;
}

int k_MaterialLoader::Wrap(const std::string& word)
{
    int value = GL_CLAMP_TO_EDGE;
    if (!Look(kWraps, word, value)) WarnUnknownValue(word);
    return value;
}

bool k_MaterialLoader::Boolean(const std::string& word)
{
    if (word != "true" && word != "false") WarnUnknownValue(word);
    return word == "true";
}

void k_MaterialLoader::WarnUnknownValue(const std::string& word)
{
    Log::Warning() << "MaterialLoader: Unknown value " << word << Where();
}
