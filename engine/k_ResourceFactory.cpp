// The resource factory. Construction errors arrive as thrown wide messages and become null.
#include "resources/LoadClock.h"
#include "engine/k_ResourceFactory.h"

#include <algorithm>
#include <exception>

#include "platform/Log.h"
#include "core/IMaterial.h"
#include "core/IShader.h"
#include "core/IShaderCallback.h"
#include "core/IShaderProgram.h"
#include "core/ITexture.h"
#include "resources/ReportedFailure.h"
#include "resources/k_BoneShaderCallback.h"
#include "resources/k_JpegTexture.h"
#include "resources/k_Material.h"
#include "resources/k_PngTexture.h"
#include "resources/k_Shader.h"
#include "resources/k_ShaderProgram.h"
#include "graphics/k_RenderTarget.h"
#include "core/ITransformationAnimation.h"
#include "core/IVoxelBox.h"
#include "scene/k_Billboard.h"
#include "scene/k_BillboardBatch.h"
#include "scene/k_Bone.h"
#include "scene/k_Camera.h"
#include "scene/k_EmptyRenderable.h"
#include "scene/k_Light.h"
#include "scene/k_MeshBuffer.h"
#include "scene/k_Text.h"
#include "scene/k_TransformationAnimation.h"
#include "scene/k_VoxelBox.h"

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
    RegisterShaderCallback(std::make_unique<k_BoneShaderCallback>(engine));
}

k_ResourceFactory::~k_ResourceFactory() { ReleaseAll(); }

void k_ResourceFactory::ReleaseAll()
{
    m_textures.clear();
    m_materials.clear();
    m_shaders.clear();
    m_freshShaders.clear();
    m_replacedShaders.clear();
    m_freshPrograms.clear();
    m_animations.clear();
    m_links.clear();
    m_programs.clear();
    m_renderables.clear();
    // The cached glyph lists belong to this run's GL context, as everything above does.
    k_Text::ReleaseFontCache();
    m_cameras.clear();
    m_lights.clear();
    m_renderTargets.clear();
    m_bones.clear();
    m_voxelBoxes.clear();
    m_shaderCallbacks.clear();
}

void k_ResourceFactory::Initialize() { Log::Info() << "Initializing resource factory..."; }

ITexture* k_ResourceFactory::LoadTexture(const std::wstring& name, const std::wstring& file)
{
    Log::Info() << "Loading " << file << "...";
    const LoadClock::Scope clock(LoadClock::Textures);
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

IShader* k_ResourceFactory::CreateShader(const std::wstring& name, IShader::Stage type, const std::wstring& shaderName,
                                         const std::string& source)
{
    Log::Info() << "Creating " << shaderName << "...";
    const LoadClock::Scope clock(LoadClock::Shaders);
    return FindOrMake(m_refreshing ? m_freshShaders : m_shaders, name,
                      [&] { return std::make_unique<k_Shader>(m_engine, type, shaderName, source); });
}

IShader* k_ResourceFactory::LoadShader(const std::wstring& name, IShader::Stage type, const std::wstring& file)
{
    Log::Info() << "Loading " << file << "...";
    const LoadClock::Scope clock(LoadClock::Shaders);
    return FindOrMake(m_refreshing ? m_freshShaders : m_shaders, name,
                      [&] { return std::make_unique<k_Shader>(m_engine, type, file); });
}

ITransformationAnimation* k_ResourceFactory::GetTransformationAnimation(const std::wstring& name)
{
    return FindOrMake(m_animations, name, [&] { return std::make_unique<k_TransformationAnimation>(m_engine, name); });
}

IShaderProgram* k_ResourceFactory::CreateShaderProgram(std::vector<IShader*> shaders)
{
    Log::Info() << "Creating shader program...";
    const LoadClock::Scope clock(LoadClock::Shaders);
    LinkKey key;
    std::unique_ptr<k_ShaderProgram> program = Construct([&] {
        for (IShader* shader : shaders) {
            if (!shader) continue;
            int input = 0, output = 0, maxVertices = 0;
            if (shader->GetType() == IShader::Geometry) shader->GetGeometryParameters(input, output, maxVertices);
            key.emplace_back(shader, input, output, maxVertices);
        }
        const auto linked = m_links.find(key);
        if (linked != m_links.end()) return linked->second->Share();
        return std::make_unique<k_ShaderProgram>(m_engine, shaders);
    });
    if (!program) return nullptr;
    m_links.emplace(key, program.get());
    return KeepProgram(std::move(program));
}

IShaderProgram* k_ResourceFactory::KeepProgram(std::unique_ptr<k_ShaderProgram> program)
{
    if (m_refreshing) m_freshPrograms.push_back(program.get());
    m_programs.push_back(std::move(program));
    return m_programs.back().get();
}

void k_ResourceFactory::MarkUniforms()
{
    for (const std::unique_ptr<k_ShaderProgram>& program : m_programs) program->MarkValues();
}

void k_ResourceFactory::RewindUniforms()
{
    for (const std::unique_ptr<k_ShaderProgram>& program : m_programs) program->RewindValues();
}

IShaderProgram* k_ResourceFactory::ShareProgram(IShaderProgram* program)
{
    k_ShaderProgram* made = FindProgram(program);
    return made ? KeepProgram(made->Share()) : nullptr;
}

void k_ResourceFactory::BeginRefresh() { m_refreshing = true; }

void k_ResourceFactory::EndRefresh(bool keep)
{
    m_refreshing = false;
    if (keep) {
        for (auto& [name, shader] : m_freshShaders) {
            std::unique_ptr<IShader>& cached = m_shaders[name];
            if (cached) m_replacedShaders.push_back(std::move(cached));
            cached = std::move(shader);
        }
    } else {
        for (IShaderProgram* program : m_freshPrograms) ReleaseProgram(program);
    }
    m_freshShaders.clear();
    m_freshPrograms.clear();
}

std::unique_ptr<IReloadableMaterial> k_ResourceFactory::LoadFreshMaterial(const std::wstring& file)
{
    return std::make_unique<k_Material>(file, m_engine);
}

k_ShaderProgram* k_ResourceFactory::FindProgram(IShaderProgram* program)
{
    for (const std::unique_ptr<k_ShaderProgram>& made : m_programs)
        if (made.get() == program) return made.get();
    return nullptr;
}

void k_ResourceFactory::CarryOverState(IShaderProgram* old, IShaderProgram* fresh)
{
    k_ShaderProgram* from = FindProgram(old);
    k_ShaderProgram* to = FindProgram(fresh);
    if (from && to) to->CopyStateFrom(*from);
}

void k_ResourceFactory::ReleaseProgram(IShaderProgram* program)
{
    // Another program of the same link stands for it; with none left, the next program of those
    // stages links them again.
    for (auto link = m_links.begin(); link != m_links.end();) {
        if (link->second != program) {
            ++link;
            continue;
        }
        const unsigned object = link->second->GetProgramObject();
        const auto other = std::find_if(m_programs.begin(), m_programs.end(), [&](const auto& made) {
            return made.get() != program && made->GetProgramObject() == object;
        });
        if (other != m_programs.end()) {
            link->second = other->get();
            ++link;
        } else {
            link = m_links.erase(link);
        }
    }
    const auto found = std::find_if(m_programs.begin(), m_programs.end(),
                                    [&](const std::unique_ptr<k_ShaderProgram>& made) { return made.get() == program; });
    if (found != m_programs.end()) m_programs.erase(found);
}

// Listed as renderables; the caller gets the other interface of the same object.
template <typename Object>
Object* k_ResourceFactory::KeepRenderable(std::unique_ptr<Object> made)
{
    Object* result = made.get();
    Keep(m_renderables, std::unique_ptr<IRenderable>(std::move(made)));
    return result;
}

IRenderable* k_ResourceFactory::CreateEmptyRenderable()
{
    return Keep(m_renderables, Construct([&] { return std::make_unique<k_EmptyRenderable>(m_engine); }));
}

IMeshBuffer* k_ResourceFactory::CreateMeshBuffer()
{
    return KeepRenderable(Construct([&] { return std::make_unique<k_MeshBuffer>(m_engine); }));
}

IBillboard* k_ResourceFactory::CreateBillboard()
{
    return KeepRenderable(Construct([&] { return std::make_unique<k_Billboard>(m_engine); }));
}

IBillboardBatch* k_ResourceFactory::CreateBillboardBatch(int capacity, IMaterial* material)
{
    return KeepRenderable(Construct([&] { return std::make_unique<k_BillboardBatch>(m_engine, capacity, material); }));
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

IText* k_ResourceFactory::CreateText(const std::string& text, const std::wstring& faceName, int size, float depth,
                                     int style)
{
    std::unique_ptr<k_Text> made =
        Construct([&] { return std::make_unique<k_Text>(m_engine, text, faceName, size, depth, style); });
    k_Text* result = made.get();
    Keep(m_renderables, std::unique_ptr<IRenderable>(std::move(made)));
    return result;
}

IBone* k_ResourceFactory::CreateBone(const std::wstring& name, int index, const float position[4],
                                     const float scale[3], const Quaternion& rotation)
{
    return Keep(m_bones,
                Construct([&] { return std::make_unique<k_Bone>(m_engine, name, index, position, scale, rotation); }));
}

IVoxelBox* k_ResourceFactory::CreateVoxelBox(int x, int y, int z)
{
    std::unique_ptr<k_VoxelBox> box = Construct([&] { return std::make_unique<k_VoxelBox>(m_engine, x, y, z); });
    k_VoxelBox* result = box.get();
    Keep(m_voxelBoxes, std::unique_ptr<IVoxelBox>(std::move(box)));
    return result;
}

std::unique_ptr<IShaderCallback> k_ResourceFactory::RegisterShaderCallback(std::unique_ptr<IShaderCallback> callback)
{
    if (!callback) return nullptr;
    const std::wstring name = callback->GetName();
    if (m_shaderCallbacks.count(name)) return callback;
    m_shaderCallbacks.emplace(name, std::move(callback));
    return nullptr;
}

IShaderCallback* k_ResourceFactory::GetShaderCallback(const std::wstring& name)
{
    auto found = m_shaderCallbacks.find(name);
    return found == m_shaderCallbacks.end() ? nullptr : found->second.get();
}
