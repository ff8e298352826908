// The renderer: timeline steps, time samples and the world drawing protocol.
#pragma once

#include <vector>

#include "core/IRenderer.h"

class IEngine;
class ILight;
class IRenderable;

class k_Renderer : public IRenderer {
public:
    explicit k_Renderer(IEngine* engine) : m_engine(engine) {}

    void Initialize() override {}
    void RenderFrame(double seconds) override;
    void DrawFrame() override;
    void SetAdaptiveSamples(bool adaptive) override { m_adaptiveSamples = adaptive; }
    bool GetAdaptiveSamples() override { return m_adaptiveSamples; }
    void SetTimeSamples(int count) override { m_timeSamples = count; }
    int GetTimeSamples() override { return m_timeSamples; }
    void SetCurrentWorld(IWorld* world) override { m_currentWorld = world; }
    IWorld* GetCurrentWorld() override { return m_currentWorld; }
    void SetDrawnOnly(const std::vector<IWorld*>* worlds) override { m_drawnOnly = worlds; }
    bool IsUnseen() override { return m_drawnOnly != nullptr; }

private:
    void DrawWorld(IWorld* world);

    IEngine* m_engine;
    IWorld* m_currentWorld = nullptr;
    bool m_adaptiveSamples = false;
    int m_timeSamples = 1;
    const std::vector<IWorld*>* m_drawnOnly = nullptr;
    bool m_reportedNoAccumulation = false;
    // Per-frame copies of the lists being walked, kept so that drawing allocates nothing.
    std::vector<IWorld*> m_worlds;
    std::vector<ILight*> m_lights;
    std::vector<IRenderable*> m_renderables;
};
