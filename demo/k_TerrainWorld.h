// The terrain world: a 128 x 128 quad grid that its material shapes into a landscape, a water
// plane reflecting and refracting it, one light and a camera on a path of demo time.
#pragma once

#include <memory>

#include "demo/k_FirstRenderStep.h"
#include "demo/k_FourthRenderStep.h"
#include "demo/k_SecondRenderStep.h"
#include "demo/k_ThirdRenderStep.h"
#include "engine/k_World.h"

class ICamera;
class ILight;
class IMaterial;
class IMeshBuffer;

class k_TerrainWorld : public k_World {
public:
    explicit k_TerrainWorld(IEngine* engine) : k_World(engine, "Terrain") {}

    // Light, camera, the terrain mesh and the four render steps, added in order.
    void Initialize() override;
    // Sky colour, the light's colour and the camera's place at the timeline's time.
    void Update() override;
    // The scene target cleared to black again: the HDR world reads it before this world draws.
    void Rewind() override { ClearScene(); }
    // What it draws lives on in the history of the world that reads its target, if any.
    double GetHistorySeconds() override { return m_reader ? m_reader->GetHistorySeconds() : 0; }
    double GetHistoryStep() override { return m_reader ? m_reader->GetHistoryStep() : 0; }
    // The world that reads the render target (the HDR world); not owned.
    void SetReader(IWorld* reader) { m_reader = reader; }
    // Clears the render target, once it is set, to black: what the HDR world reads before this
    // world first draws into it, on every driver (a new texture holds undefined memory).
    void ClearScene();

    // Null before Initialize.
    IMeshBuffer* GetTerrain() { return m_terrain; }
    k_SecondRenderStep* GetSecondStep() { return m_second.get(); }

private:
    ICamera* m_camera = nullptr;
    IMeshBuffer* m_terrain = nullptr;
    IMaterial* m_terraform = nullptr;
    ILight* m_light = nullptr;
    IWorld* m_reader = nullptr;
    // The steps are the world's own, also in its renderable list.
    std::unique_ptr<k_FirstRenderStep> m_first;
    std::unique_ptr<k_SecondRenderStep> m_second;
    std::unique_ptr<k_ThirdRenderStep> m_third;
    std::unique_ptr<k_FourthRenderStep> m_fourth;
};
