// The viewer's scenes: each entry builds its worlds in the engine, as the demo script would.
#include "worlds/ViewerScenes.h"

#include <memory>

#include "app/IEngine.h"
#include "worlds/IWorld.h"
#include "worlds/TerrainScene.h"

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
World* AddWorld(IEngine* engine, Arguments&&... arguments)
{
    KeptWorlds().push_back(std::make_unique<World>(engine, std::forward<Arguments>(arguments)...));
    World* world = static_cast<World*>(KeptWorlds().back().get());
    engine->AddWorld(world);
    return world;
}

// The landscape through the HDR world, as the demo shows it from 27 s on.
void SetupTerrain(IEngine* engine)
{
    TerrainScene scene = AddTerrainScene(engine);
    KeptWorlds().push_back(std::move(scene.terrain));
    KeptWorlds().push_back(std::move(scene.hdr));
}

const Scene kScenes[] = {
    {"empty", [](IEngine*) {}},
    {"terrain", SetupTerrain},
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
