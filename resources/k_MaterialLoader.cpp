// The material loader: builds what the parser reads, step by step, so its lines and the
// factory's keep the file's order.
#include "resources/k_MaterialLoader.h"

#include <GL/glew.h>
#include <cwctype>
#include <memory>
#include <vector>

#include "core/IEngine.h"
#include "core/IResourceFactory.h"
#include "core/IShader.h"
#include "core/IShaderProgram.h"
#include "platform/Log.h"
#include "platform/Text.h"
#include "resources/ReportedFailure.h"
#include "resources/k_Material.h"

namespace {

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

}  // namespace

void k_MaterialLoader::LoadInto(IEngine* engine, k_Material* material, const std::wstring& fileName)
{
    k_MaterialLoader(engine, material, fileName, nullptr, 0).Run();
}

k_MaterialLoader::k_MaterialLoader(IEngine* engine, k_Material* material, const std::wstring& fileName,
                                   k_MaterialLoader* includer, int includeLine)
    : k_MaterialParser(engine, fileName, includer),
      m_material(material),
      m_includer(includer),
      m_includeLine(includeLine),
      m_depth(includer ? includer->m_depth + 1 : 0)
{
}

void k_MaterialLoader::Run()
{
    Log::Info() << "MaterialLoader: Loading material: " << Quoted(m_fileName) << "...";
    m_material->AddSource(m_fileName);
    Load(m_fileName, kMaxFileSize);
    if (!FileFound() && m_includer) {
        Log::Error() << "MaterialLoader: Include not found: " << Quoted(m_fileName) << " ("
                     << Quoted(m_includer->m_fileName) << ":" << m_includeLine << ")";
    } else if (FileSize() > kMaxFileSize) {
        Log::Error() << "MaterialLoader: The file holds " << FileSize() << " bytes, more than the " << kMaxFileSize
                     << " a material file may hold; not read (" << Quoted(m_fileName) << ")";
    } else if (FileFound() && SectionCount() == 0) {
        Log::Warning() << "MaterialLoader: The file holds no section (" << Quoted(m_fileName) << ")";
    }
    Log::Info() << "MaterialLoader: Finished loading material.";
    Log::Info() << "MaterialLoader: Loading material includes...";
    LoadIncludes();
    Log::Info() << "MaterialLoader: Finished loading material.";
}

void k_MaterialLoader::LoadIncludes()
{
    for (const auto& [include, line] : Includes()) {
        if (IsBeingLoaded(include)) {
            Log::Warning() << "MaterialLoader: Include cycle: " << Quoted(include) << " is already being loaded ("
                           << Quoted(m_fileName) << ":" << line << ")";
            continue;
        }
        if (m_depth + 1 > kMaxIncludeDepth) {
            ReportCut(include, line, "includes nest deeper than " + std::to_string(kMaxIncludeDepth) + " files");
            continue;
        }
        if (Root().m_includeLoads >= kMaxIncludeLoads) {
            ReportCut(include, line, "the material loads more than " + std::to_string(kMaxIncludeLoads) + " includes");
            continue;
        }
        ++Root().m_includeLoads;
        k_MaterialLoader(m_engine, m_material, include, this, line).Run();
    }
}

void k_MaterialLoader::ReportCut(const std::wstring& include, int line, const std::string& why)
{
    if (Root().m_cutReported) return;
    Root().m_cutReported = true;
    Log::Error() << "MaterialLoader: Include " << Quoted(include) << " and any further ones left out: " << why
                 << " (" << Quoted(m_fileName) << ":" << line << ")";
}

bool k_MaterialLoader::IsBeingLoaded(const std::wstring& fileName) const
{
    for (const k_MaterialLoader* loader = this; loader; loader = loader->m_includer)
        if (SameFile(loader->m_fileName, fileName)) return true;
    return false;
}

void k_MaterialLoader::ShaderSectionEnded(ShaderSource&& section)
{
    const std::wstring name = m_fileName + L":" + Text::FromUtf8(section.name);
    IShader* shader = m_engine->GetResourceFactory()->CreateShader(name, section.stage, name, section.source);
    section.source.clear();
    if (!shader) return;
    if (section.stage == IShader::Geometry) {
        try {
            shader->SetGeometryParameters(section.input, section.output, section.maxVertices);
        } catch (const wchar_t* message) {
            Log::Error() << message << Where();
            throw ReportedFailure();
        }
    }
    m_embeddedShaders[Text::FromUtf8(section.name)] = shader;
}

void k_MaterialLoader::PassEnded(Pass&& pass)
{
    std::vector<IShader*> shaders;
    for (IShader* shader : {m_pixelShader, m_vertexShader, m_geometryShader})
        if (shader) shaders.push_back(shader);
    m_vertexShader = m_pixelShader = m_geometryShader = nullptr;
    auto built = std::make_unique<MaterialPass>(std::move(pass.settings));
    if (shaders.empty()) {
        Log::Error() << "MaterialLoader: No shaders definied." << Where();
    } else if (IShaderProgram* program = m_engine->GetResourceFactory()->CreateShaderProgram(shaders)) {
        built->program = program;
        for (const std::wstring& callback : pass.callbacks) program->AddShaderCallback(callback, nullptr);
    }
    m_material->AddPass(std::move(built));
}

void k_MaterialLoader::UseShader(const std::string& name)
{
    auto found = m_embeddedShaders.find(Text::FromUtf8(name));
    if (found == m_embeddedShaders.end())
        Log::Error() << "MaterialLoader: Shader not definied: " << Quoted(name) << Where();
    else
        SetStage(found->second);
}

void k_MaterialLoader::UseShaderFile(const ShaderFile& file)
{
    const std::wstring name = Text::FromUtf8(file.file);
    m_material->AddSource(name);
    IShader* shader = m_engine->GetResourceFactory()->LoadShader(name, file.stage, name);
    if (!shader) return;
    if (file.stage == IShader::Geometry) {
        const int input = Topology(file.input);
        const int output = Topology(file.output);
        try {
            shader->SetGeometryParameters(input, output, file.maxVertices);
        } catch (const wchar_t* message) {
            Log::Error() << message << Where();
            throw ReportedFailure();
        }
    }
    if (!shader->GetShaderObject()) {
        Log::Error() << "MaterialLoader: Shader file " << Quoted(file.file) << " cannot be read, stage left out"
                     << Where();
        return;
    }
    SetStage(shader);
}

void k_MaterialLoader::SetStage(IShader* shader)
{
    switch (shader->GetType()) {
    case IShader::Vertex: m_vertexShader = shader; break;
    case IShader::Geometry: m_geometryShader = shader; break;
    case IShader::Pixel: m_pixelShader = shader; break;
    default: break;
    }
}

bool k_MaterialLoader::TextureUnitUsable(long long unit, const std::string& token)
{
    GLint units = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    if (unit >= 0 && unit < units) return true;
    Log::Warning() << "MaterialLoader: Texture unit " << Quoted(token) << " is not between 0 and " << units - 1
                   << ", line ignored" << Where();
    return false;
}

ITexture* k_MaterialLoader::LoadTexture(const std::string& file)
{
    const std::wstring name = Text::FromUtf8(file);
    ITexture* texture = m_engine->GetResourceFactory()->LoadTexture(name, name);
    if (!texture) Log::Error() << "MaterialLoader: Texture " << Quoted(file) << " not loaded" << Where();
    return texture;
}
