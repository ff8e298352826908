// The viewer's scenes: each entry builds its worlds in the engine, as the demo script would.
#include "viewer/ViewerScenes.h"

#include <cmath>
#include <memory>

#include "core/IEngine.h"
#include "core/ITimeline.h"
#include "core/IGraphics.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "core/ITexture.h"
#include "scene/k_DistortedQuad.h"
#include "demo/k_AfterWorld.h"
#include "demo/k_DriftWorld.h"
#include "demo/k_PlasmaWorld.h"
#include "core/IWorld.h"
#include "viewer/k_CaptionWorld.h"
#include "demo/TerrainScene.h"
#include "viewer/k_BillboardViewWorld.h"
#include "viewer/k_BoneViewWorld.h"
#include "viewer/k_VoxelViewWorld.h"
#include "graphics/GlFeatures.h"

namespace {

struct Scene {
    const char* name;
    void (*setup)(IEngine* engine);
};

// The worlds live until the process ends, as the demo's do.
std::vector<std::unique_ptr<IWorld>>& KeptWorlds()
{
    static std::vector<std::unique_ptr<IWorld>> worlds;
    return worlds;
}

template <typename World, typename... Arguments>
World* MakeWorld(IEngine* engine, Arguments&&... arguments)
{
    KeptWorlds().push_back(std::make_unique<World>(engine, std::forward<Arguments>(arguments)...));
    return static_cast<World*>(KeptWorlds().back().get());
}

template <typename World, typename... Arguments>
World* AddWorld(IEngine* engine, Arguments&&... arguments)
{
    World* world = MakeWorld<World>(engine, std::forward<Arguments>(arguments)...);
    engine->AddWorld(world);
    return world;
}

void SetOnPass(IMaterial* material, IWorld* world, const char* name, float value)
{
    MaterialPass* pass = material ? material->FindPass(world) : nullptr;
    if (pass && pass->program) pass->program->SetFloat(name, value);
}

// Shows a picture in the after world for two seconds, then hands it to the drift world, which
// smears it away; again every five seconds.
class k_DriftShowcase : public k_World {
public:
    k_DriftShowcase(IEngine* engine, k_AfterWorld* after, k_DriftWorld* drift)
        : k_World(engine, "DriftShowcase"), m_after(after), m_drift(drift)
    {
        ITexture* texture = engine->GetResourceFactory()->LoadTexture(L"friend.png", L"friend.png");
        m_picture = std::make_unique<k_DistortedQuad>(engine, texture);
        SetOnPass(m_picture->GetMaterial(), after, "alpha", 1);
        SetOnPass(m_picture->GetMaterial(), after, "animPos", 1);
        SetVisible(false);
    }

    void Update() override
    {
        const double phase = std::fmod(m_engine->GetTimeline()->GetTime(), 5.0);
        IWorld* holder = phase < 2.0 ? static_cast<IWorld*>(m_after) : phase < 2.5 ? m_drift : nullptr;
        if (holder == m_holder) return;
        if (m_holder) m_holder->RemoveRenderable(m_picture.get());
        if (holder) {
            m_picture->SetVisible(true);
            holder->AddRenderable(m_picture.get());
        }
        m_holder = holder;
    }

    // The engine's Rewind has taken the picture out of its holder.
    void Rewind() override { m_holder = nullptr; }

private:
    k_AfterWorld* m_after;
    k_DriftWorld* m_drift;
    std::unique_ptr<k_DistortedQuad> m_picture;
    IWorld* m_holder = nullptr;
};

// The closing layers as the demo stacks them: the plasma overlay, the after world and the drift.
struct Overlays {
    k_PlasmaWorld* plasma;
    k_AfterWorld* after;
    k_DriftWorld* drift;
};

Overlays AddOverlays(IEngine* engine, const float* fade, int disablePlasma)
{
    Overlays overlays{};
    overlays.plasma = AddWorld<k_PlasmaWorld>(engine);
    if (IShaderProgram* program = overlays.plasma->GetProgram()) {
        program->SetVector("fadeColor", fade, 4);
        program->SetInt("disablePlasma", disablePlasma);
    }
    overlays.after = AddWorld<k_AfterWorld>(engine);
    overlays.drift = MakeWorld<k_DriftWorld>(engine);
    IRenderTarget* target = engine->GetResourceFactory()->CreateRenderTargetWithOption(512, 512, ITexture::RgbaFloat);
    overlays.drift->SetRenderTarget(target);
    engine->AddWorld(overlays.drift);
    if (target) target->Unbind();
    return overlays;
}

// The landscape through the HDR world, as the demo shows it from 27 s on.
void SetupTerrain(IEngine* engine)
{
    TerrainScene scene = AddTerrainScene(engine);
    KeptWorlds().push_back(std::move(scene.terrain));
    KeptWorlds().push_back(std::move(scene.hdr));
}

const float kClear[4] = {0, 0, 0, 0};
const float kBlack[4] = {0, 0, 0, 1};

const Scene kScenes[] = {
    {"plasma", [](IEngine* engine) { AddOverlays(engine, kClear, 0); }},
    {"drift",
     [](IEngine* engine) {
         const Overlays overlays = AddOverlays(engine, kClear, 1);
         AddWorld<k_DriftShowcase>(engine, overlays.after, overlays.drift);
     }},
    {"logo",
     [](IEngine* engine) {
         const Overlays overlays = AddOverlays(engine, kBlack, 1);
         if (IShaderProgram* program = overlays.after->GetLogoProgram()) program->SetFloat("alpha", 1);
     }},
    {"text", [](IEngine* engine) { AddWorld<k_CaptionWorld>(engine); }},
    {"terrain", SetupTerrain},
    {"voxels",
     [](IEngine* engine) {
         RequireVoxelFeatures();  // more than the demo's floor: a driver without it gets a message
         AddWorld<k_VoxelViewWorld>(engine);
     }},
    {"billboards", [](IEngine* engine) { AddWorld<k_BillboardViewWorld>(engine); }},
    {"bones", [](IEngine* engine) { AddWorld<k_BoneViewWorld>(engine); }},
};

}  // namespace

std::vector<std::string> ViewerSceneNames()
{
    std::vector<std::string> names;
    for (const Scene& scene : kScenes) names.push_back(scene.name);
    return names;
}

bool SetupViewerScene(IEngine* engine, const std::string& name)
{
    for (const Scene& scene : kScenes)
        if (name == scene.name) {
            scene.setup(engine);
            return true;
        }
    return false;
}
