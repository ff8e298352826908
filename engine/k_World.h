// The world base: lists, camera, clear values, render target and switches. Scene worlds
// derive from it and override Initialize, Update, OnRenderStage and Clear as they need.
#pragma once

#include <string>
#include <vector>

#include "core/IRenderTarget.h"
#include "math/Vector.h"
#include "core/IWorld.h"

class IEngine;

class k_World : public IWorld {
public:
    k_World(IEngine* engine, const std::string& name) : m_engine(engine), m_name(name) {}

    std::string GetName() override { return m_name; }
    void Initialize() override {}
    void Update() override {}
    void OnRenderStage(RenderStage) override {}
    void Rewind() override {}
    double GetHistorySeconds() override { return 0; }
    double GetHistoryStep() override { return 0; }
    void SetVisible(bool visible) override { m_visible = visible; }
    bool IsVisible() override { return m_visible; }
    void SetActive(bool active) override { m_active = active; }
    bool IsActive() override { return m_active; }
    void AddRenderable(IRenderable* renderable) override;
    void RemoveRenderable(IRenderable* renderable) override;
    std::vector<IRenderable*>& GetRenderables() override { return m_renderables; }
    void AddLight(ILight* light) override { m_lights.push_back(light); }
    std::vector<ILight*> GetLights() override { return m_lights; }
    void CopyLights(std::vector<ILight*>& copy) override { copy.assign(m_lights.begin(), m_lights.end()); }
    void SetCamera(ICamera* camera) override { m_camera = camera; }
    ICamera* GetCamera() override { return m_camera; }
    void SetRenderTarget(IRenderTarget* target) override { m_renderTarget = target; }
    IRenderTarget* GetRenderTarget() override { return m_renderTarget; }
    void SetTargetFlags(IRenderTarget::Flags flags) override { m_targetFlags = flags; }
    IRenderTarget::Flags GetTargetFlags() override { return m_targetFlags; }
    void SetLinkedWorld(IWorld* world) override { m_linkedWorld = world; }
    IWorld* GetLinkedWorld() override { return m_linkedWorld; }
    void SetClearColor(const float* colour) override;
    const float* GetClearColor() override { return m_clearColour.Data(); }
    void SetClearDepth(float depth) override { m_clearDepth = depth; }
    float GetClearDepth() override { return m_clearDepth; }
    void Clear() override;

protected:
    IEngine* m_engine;

private:
    Colour m_clearColour{0, 0, 0, 0};
    float m_clearDepth = 1.0f;
    std::string m_name;
    ICamera* m_camera = nullptr;
    bool m_visible = true;
    bool m_active = true;
    std::vector<IRenderable*> m_renderables;
    std::vector<ILight*> m_lights;
    IRenderTarget* m_renderTarget = nullptr;
    IRenderTarget::Flags m_targetFlags = IRenderTarget::WorldDefault;
    IWorld* m_linkedWorld = nullptr;
};
