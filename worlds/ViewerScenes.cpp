// The viewer's scenes: each entry builds its worlds in the engine, as the demo script would.
#include "worlds/ViewerScenes.h"

#include <memory>

#include "app/IEngine.h"
#include "worlds/IWorld.h"
#include "worlds/k_BillboardViewWorld.h"
#include "worlds/k_BoneViewWorld.h"
#include "worlds/k_VoxelViewWorld.h"

namespace {

struct Scene {
    const char* name;
    void (*setup)(IEngine* engine);
};

// The worlds live until the process ends, as the demo's do.
template <typename World, typename... Arguments>
World* AddWorld(IEngine* engine, Arguments&&... arguments)
{
    static std::vector<std::unique_ptr<IWorld>> worlds;
    worlds.push_back(std::make_unique<World>(engine, std::forward<Arguments>(arguments)...));
    World* world = static_cast<World*>(worlds.back().get());
    engine->AddWorld(world);
    return world;
}

const Scene kScenes[] = {
    {"empty", [](IEngine*) {}},
    {"voxels", [](IEngine* engine) { AddWorld<k_VoxelViewWorld>(engine); }},
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
