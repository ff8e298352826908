// The bones viewer: tentacles, each a chain of keyframe-animated bones skinning a tube. The world
// writes every bone's transform into its skeleton's palette each step; the "bones" callback
// uploads the palette when the tube's program is used.
#pragma once

#include <vector>

#include "engine/k_World.h"

class IBone;
class ICamera;

class k_BoneViewWorld : public k_World {
public:
    explicit k_BoneViewWorld(IEngine* engine) : k_World(engine, "BoneViewWorld") {}

    void Initialize() override;
    void Update() override;

private:
    // One tentacle's skeleton and the material that skins its tube; null on failure.
    IBone* BuildTentacle(int number);

    ICamera* m_camera = nullptr;  // owned by the resource factory
    std::vector<IBone*> m_roots;  // owned by the resource factory
};
