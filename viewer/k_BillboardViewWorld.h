// The billboard viewer: a spiral galaxy of glowing sparks in one batch, turning slowly, seen
// from a camera gliding above its plane.
#pragma once

#include <vector>

#include "engine/k_World.h"

class ICamera;
class IRenderable;

class k_BillboardViewWorld : public k_World {
public:
    explicit k_BillboardViewWorld(IEngine* engine) : k_World(engine, "BillboardViewWorld") {}

    void Initialize() override;
    void Update() override;

private:
    struct Spark {
        IRenderable* billboard;  // owned by the resource factory
        float radius, angle, height, speed;
    };

    ICamera* m_camera = nullptr;  // owned by the resource factory
    std::vector<Spark> m_sparks;
};
