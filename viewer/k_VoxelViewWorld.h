// The voxel viewer: metaballs drifting through a marching-cubes box, the field rewritten each
// step, seen by a slowly orbiting camera.
#pragma once

#include "engine/k_World.h"

class ICamera;
class IVoxelBox;

class k_VoxelViewWorld : public k_World {
public:
    explicit k_VoxelViewWorld(IEngine* engine) : k_World(engine, "VoxelViewWorld") {}

    void Initialize() override;
    void Update() override;

private:
    ICamera* m_camera = nullptr;  // owned by the resource factory
    IVoxelBox* m_box = nullptr;   // owned by the resource factory
};
