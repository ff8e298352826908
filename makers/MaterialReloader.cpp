// The live reloader. A reload loads the file into a fresh material with freshly compiled stages;
// only if nothing logged an error and every program linked are its passes copied into the live
// ones, so the pointers worlds hold stay valid and the values code set on a program survive.
#include "makers/MaterialReloader.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "core/IEngine.h"
#include "core/IFileSystem.h"
#include "core/IMaterialRefresh.h"
#include "core/IReloadableMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/Text.h"
#include "resources/ReportedFailure.h"

namespace {

constexpr double kLookInterval = 0.5;  // seconds of wall-clock time between looks

// Gathers the error lines logged while it lives and still hands every line on. The log's sink is
// a plain function, hence the one pointer; reloads never nest.
std::string* g_errors = nullptr;
Log::Sink g_next = nullptr;

void Gather(Log::Level level, const std::string& text)
{
    if (level == Log::Level::Error) *g_errors += text + "\n";
    Log::SetSink(g_next);
    Log::Line(level) << text;
    Log::SetSink(Gather);
}

class ErrorGathering {
public:
    explicit ErrorGathering(std::string& errors)
    {
        g_errors = &errors;
        g_next = Log::SetSink(Gather);
    }
    ~ErrorGathering()
    {
        Log::SetSink(g_next);
        g_errors = nullptr;
    }
    ErrorGathering(const ErrorGathering&) = delete;
    ErrorGathering& operator=(const ErrorGathering&) = delete;
};

MaterialPass* PassFor(IMaterial& material, const std::string& target)
{
    for (const std::unique_ptr<MaterialPass>& pass : material.GetPasses())
        if (pass->target == target) return pass.get();
    return nullptr;
}

}  // namespace

MaterialReloader::MaterialReloader(IEngine* engine)
    : m_engine(engine),
      m_factory(engine->GetResourceFactory()->GetMaterialRefresh()),
      m_files(engine->GetFileSystem())
{
    Watch();
}

MaterialReloader::Stamp MaterialReloader::Look(const std::string& path)
{
    Stamp stamp;
    const Files::Status status = Files::Look(path);
    if (status.kind == Files::Kind::Missing) return stamp;
    stamp.modified = status.modified;
    stamp.size = static_cast<int64_t>(status.size);
    return stamp;
}

void MaterialReloader::Watch()
{
    // A file watched already keeps the stamp of the last look, taken before any reload read it:
    // a save that lands while materials load is then seen by the next look, not lost.
    const std::vector<Watched> previous = std::move(m_watched);
    m_watched.clear();
    const auto& materials = m_factory->GetMaterials();
    for (const auto& [name, made] : materials) {
        IReloadableMaterial* material = made.get();
        for (const std::wstring& source : material->GetSources()) {
            std::string path = m_files->LoosePath(source);
            if (path.empty()) continue;
            const auto seen = std::find_if(previous.begin(), previous.end(), [&](const Watched& watched) {
                return watched.material == material && watched.path == path;
            });
            const Stamp stamp = seen != previous.end() ? seen->stamp : Look(path);
            m_watched.push_back({material, std::move(path), stamp});
        }
    }
    m_materialCount = materials.size();
    m_changed.reserve(m_materialCount);
}

void MaterialReloader::Poll(double seconds)
{
    m_sinceLook += seconds;
    if (m_sinceLook < kLookInterval) return;
    m_sinceLook = 0;
    CheckNow();
}

int MaterialReloader::CheckNow()
{
    // Materials loaded since the last look are watched from now on.
    if (m_factory->GetMaterials().size() != m_materialCount) Watch();
    m_changed.clear();
    for (Watched& watched : m_watched) {
        const Stamp now = Look(watched.path);
        if (now == watched.stamp) continue;
        watched.stamp = now;  // the version this look saw: a later save differs from it
        if (std::find(m_changed.begin(), m_changed.end(), watched.material) == m_changed.end())
            m_changed.push_back(watched.material);
    }
    if (m_changed.empty()) return 0;
    const int changed = static_cast<int>(m_changed.size());
    // The instances of one material file load it once, and all take that one version.
    std::vector<IReloadableMaterial*> instances;
    for (size_t i = 0; i < m_changed.size(); ++i) {
        if (!m_changed[i]) continue;
        instances.clear();
        const std::wstring file = m_changed[i]->GetFileName();
        for (size_t j = i; j < m_changed.size(); ++j)
            if (m_changed[j] && m_changed[j]->GetFileName() == file) {
                instances.push_back(m_changed[j]);
                m_changed[j] = nullptr;
            }
        Reload(instances);
    }
    // A new version may read other files.
    Watch();
    return changed;
}

bool MaterialReloader::Reload(const std::vector<IReloadableMaterial*>& instances)
{
    const std::wstring file = instances.front()->GetFileName();
    Log::Info() << "Reloading material " << file << "...";
    std::string errors;
    bool clean = false;
    {
        const ErrorGathering gathering(errors);
        m_factory->BeginRefresh();
        try {
            const std::unique_ptr<IReloadableMaterial> fresh = m_factory->LoadFreshMaterial(file);
            if (fresh->GetPasses().empty()) Log::Error() << "MaterialLoader: No material section in " << file;
            for (const std::unique_ptr<MaterialPass>& pass : fresh->GetPasses()) {
                IShaderProgram* program = pass->program;
                if (program && !program->IsLinked())
                    Log::Error() << "The program of " << file << " for '" << pass->target
                                 << "' does not link: " << program->GetInfoLog();
            }
            clean = errors.empty();
            if (clean)
                for (size_t k = 0; k < instances.size(); ++k) Adopt(*instances[k], *fresh, k > 0);
        } catch (const wchar_t* message) {
            Log::Error() << message << " (" << file << ")";
        } catch (const ReportedFailure&) {
        } catch (const std::exception& error) {
            Log::Error() << error.what() << " (" << file << ")";
        }
        m_factory->EndRefresh(clean);
    }
    if (!clean) {
        Log::Warning() << "Reload of " << file << " failed: the last good version stays";
        NoteFailure(Text::ToUtf8(file), errors.empty() ? std::string("the file could not be loaded\n") : errors);
        return false;
    }
    Log::Info() << "Reloaded material " << file;
    m_failures.erase(std::remove_if(m_failures.begin(), m_failures.end(),
                                    [&](const Failure& failure) { return failure.material == Text::ToUtf8(file); }),
                     m_failures.end());
    return true;
}

void MaterialReloader::Adopt(IReloadableMaterial& live, IReloadableMaterial& fresh, bool share)
{
    // Released only once every pass has carried its values over: a program replaced here may
    // still be the one in use.
    std::vector<IShaderProgram*> replaced;
    for (const std::unique_ptr<MaterialPass>& freshPass : fresh.GetPasses()) {
        MaterialPass next = *freshPass;
        // A further instance draws with the same link but keeps values of its own.
        if (share && next.program) {
            next.program = m_factory->ShareProgram(freshPass->program);
            if (next.program) m_factory->CarryOverState(freshPass->program, next.program);
        }
        MaterialPass* pass = PassFor(live, freshPass->target);
        if (!pass) {
            live.AddPass(std::make_unique<MaterialPass>(next));
            continue;
        }
        // A reserved slot holds what code put there (a render target's texture): it stays.
        for (auto& [unit, slot] : next.textures) {
            const auto kept = pass->textures.find(unit);
            if (!slot.texture && kept != pass->textures.end()) slot.texture = kept->second.texture;
        }
        IShaderProgram* old = pass->program;
        if (old && next.program) m_factory->CarryOverState(old, next.program);
        *pass = std::move(next);
        if (old && old != pass->program) replaced.push_back(old);
    }
    for (IShaderProgram* program : replaced) m_factory->ReleaseProgram(program);
    live.SetSources(fresh.GetSources());
}

void MaterialReloader::NoteFailure(const std::string& material, const std::string& errors)
{
    for (Failure& failure : m_failures)
        if (failure.material == material) {
            failure.errors = errors;
            return;
        }
    m_failures.push_back({material, errors});
}
