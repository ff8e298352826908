// The resource factory. Construction errors arrive as thrown wide messages and become null.
#include "resources/k_ResourceFactory.h"

#include <exception>

#include "platform/Log.h"
#include "resources/IMaterial.h"
#include "resources/IShader.h"
#include "resources/IShaderCallback.h"
#include "resources/IShaderProgram.h"
#include "resources/ITexture.h"
#include "resources/ReportedFailure.h"
#include "resources/k_BoneShaderCallback.h"
#include "resources/k_JpegTexture.h"
#include "resources/k_Material.h"
#include "resources/k_PngTexture.h"
#include "resources/k_Shader.h"
#include "resources/k_ShaderProgram.h"
#include "graphics/k_RenderTarget.h"
#include "scene/k_Camera.h"
#include "scene/k_EmptyRenderable.h"
#include "scene/k_Light.h"
#include "scene/k_MeshBuffer.h"

namespace {

// Runs a construction; whatever it throws becomes null. A thrown message is logged, since its
// thrower could not; a ReportedFailure was logged where it happened.
template <typename Make>
auto Construct(Make make) -> decltype(make())
{
    try {
        return make();
    } catch (const wchar_t* message) {
        Log::Error() << message;
    } catch (const ReportedFailure&) {
    } catch (const std::exception& error) {
        Log::Error() << error.what();
    } catch (...) {
        // Nothing to report: callers test for null.
    }
    return nullptr;
}

// The cached-creation protocol: an existing entry wins; a construction that throws caches nothing.
template <typename T, typename Make>
T* FindOrMake(std::map<std::wstring, std::unique_ptr<T>>& cache, const std::wstring& name, Make make)
{
    auto found = cache.find(name);
    if (found != cache.end()) return found->second.get();
    std::unique_ptr<T> made = Construct(make);
    T* result = made.get();
    if (made) cache.emplace(name, std::move(made));
    return result;
}

// Whether text occurs in name after its first character (the case-sensitive extension test).
bool HasExtension(const std::wstring& name, const wchar_t* extension)
{
    const size_t at = name.rfind(extension);
    return at != std::wstring::npos && at > 0;
}

// Scene objects are listed, not cached: a made object (not a null one) joins its list. Their
// classes hold 16-byte aligned vectors and matrices, which make_unique's operator new honours.
template <typename T, typename Made>
T* Keep(std::vector<std::unique_ptr<T>>& list, Made made)
{
    if (!made) return nullptr;
    list.push_back(std::move(made));
    return list.back().get();
}

}  // namespace

k_ResourceFactory::k_ResourceFactory(IEngine* engine) : m_engine(engine)
{
    RegisterShaderCallback(new k_BoneShaderCallback(engine));
}

k_ResourceFactory::~k_ResourceFactory() { ReleaseAll(); }

void k_ResourceFactory::ReleaseAll()
{
    m_textures.clear();
    m_materials.clear();
    m_shaders.clear();
    m_programs.clear();
    m_renderables.clear();
    m_cameras.clear();
    m_lights.clear();
    m_renderTargets.clear();
    m_shaderCallbacks.clear();
}

void k_ResourceFactory::Initialize() { Log::Info() << "Initializing resource factory..."; }

ITexture* k_ResourceFactory::LoadTexture(const std::wstring& name, const std::wstring& file)
{
    Log::Info() << "Loading " << file << "...";
    return FindOrMake(m_textures, name, [&]() -> std::unique_ptr<ITexture> {
        if (HasExtension(file, L".jpg")) return std::make_unique<k_JpegTexture>(m_engine, file);
        if (HasExtension(file, L".png")) return std::make_unique<k_PngTexture>(m_engine, file);
        return nullptr;
    });
}

IMaterial* k_ResourceFactory::LoadMaterial(const std::wstring& name, const std::wstring& file)
{
    Log::Info() << "Creating material '" << name << "' from " << file;
    return FindOrMake(m_materials, name, [&] { return std::make_unique<k_Material>(file, m_engine); });
}

IShader* k_ResourceFactory::CreateShader(const std::wstring& name, int type, const std::wstring& shaderName,
                                         const std::string& source)
{
    Log::Info() << "Creating " << shaderName << "...";
    return FindOrMake(m_shaders, name,
                      [&] { return std::make_unique<k_Shader>(m_engine, type, shaderName, source); });
}

IShader* k_ResourceFactory::LoadShader(const std::wstring& name, int type, const std::wstring& file)
{
    Log::Info() << "Loading " << file << "...";
    return FindOrMake(m_shaders, name, [&] { return std::make_unique<k_Shader>(m_engine, type, file); });
}

IShaderProgram* k_ResourceFactory::CreateShaderProgram(std::vector<IShader*> shaders)
{
    Log::Info() << "Creating shader program...";
    std::unique_ptr<IShaderProgram> program = Construct(
        [&]() -> std::unique_ptr<IShaderProgram> { return std::make_unique<k_ShaderProgram>(m_engine, shaders); });
    if (!program) return nullptr;
    m_programs.push_back(std::move(program));
    return m_programs.back().get();
}

IRenderable* k_ResourceFactory::CreateEmptyRenderable()
{
    return Keep(m_renderables, Construct([&] { return std::make_unique<k_EmptyRenderable>(m_engine); }));
}

IMeshBuffer* k_ResourceFactory::CreateMeshBuffer()
{
    std::unique_ptr<k_MeshBuffer> mesh = Construct([&] { return std::make_unique<k_MeshBuffer>(m_engine); });
    k_MeshBuffer* result = mesh.get();
    Keep(m_renderables, std::unique_ptr<IRenderable>(std::move(mesh)));
    return result;
}

ICamera* k_ResourceFactory::CreateCamera()
{
    return Keep(m_cameras, Construct([&] { return std::make_unique<k_Camera>(m_engine); }));
}

ILight* k_ResourceFactory::CreateLight()
{
    return Keep(m_lights, Construct([&] { return std::make_unique<k_Light>(m_engine); }));
}

IRenderTarget* k_ResourceFactory::CreateRenderTargetWithOption(int width, int height, int format)
{
    IRenderTarget* target = CreateRenderTarget(width, height);
    if (target) target->AddTexture(format);
    return target;
}

IRenderTarget* k_ResourceFactory::CreateRenderTarget(int width, int height)
{
    return Keep(m_renderTargets,
                Construct([&] { return std::make_unique<k_RenderTarget>(m_engine, width, height); }));
}

bool k_ResourceFactory::RegisterShaderCallback(IShaderCallback* callback)
{
    if (!callback) return false;
    const std::wstring name = callback->GetName();
    if (m_shaderCallbacks.count(name)) return false;
    m_shaderCallbacks.emplace(name, callback);
    return true;
}

IShaderCallback* k_ResourceFactory::GetShaderCallback(const std::wstring& name)
{
    auto found = m_shaderCallbacks.find(name);
    return found == m_shaderCallbacks.end() ? nullptr : found->second.get();
}
