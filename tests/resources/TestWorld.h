// A minimal world for resource tests: a name, lights and a camera, nothing drawn.
#pragma once

#include <string>
#include <vector>

#include "worlds/IWorld.h"

class TestWorld : public IWorld {
public:
    explicit TestWorld(std::string name) : m_name(std::move(name)) {}

    std::string GetName() override { return m_name; }
    void Initialize() override {}
    void Update() override {}
    void OnRenderStage(int) override {}
    void SetVisible(bool visible) override { m_visible = visible; }
    bool IsVisible() override { return m_visible; }
    void SetActive(bool active) override { m_active = active; }
    bool IsActive() override { return m_active; }
    void AddRenderable(IRenderable* renderable) override { m_renderables.push_back(renderable); }
    void RemoveRenderable(IRenderable*) override {}
    std::vector<IRenderable*>& GetRenderables() override { return m_renderables; }
    void AddLight(ILight* light) override { m_lights.push_back(light); }
    std::vector<ILight*> GetLights() override { return m_lights; }
    void CopyLights(std::vector<ILight*>& copy) override { copy = m_lights; }
    void SetCamera(ICamera* camera) override { m_camera = camera; }
    ICamera* GetCamera() override { return m_camera; }
    void SetRenderTarget(IRenderTarget* target) override { m_target = target; }
    IRenderTarget* GetRenderTarget() override { return m_target; }
    void SetTargetFlags(int flags) override { m_flags = flags; }
    int GetTargetFlags() override { return m_flags; }
    void SetLinkedWorld(IWorld* world) override { m_linked = world; }
    IWorld* GetLinkedWorld() override { return m_linked; }
    void SetClearColor(const float* colour) override { std::copy(colour, colour + 4, m_clear); }
    const float* GetClearColor() override { return m_clear; }
    void SetClearDepth(float depth) override { m_depth = depth; }
    float GetClearDepth() override { return m_depth; }
    void Clear() override {}

private:
    std::string m_name;
    bool m_visible = true;
    bool m_active = true;
    std::vector<IRenderable*> m_renderables;
    std::vector<ILight*> m_lights;
    ICamera* m_camera = nullptr;
    IRenderTarget* m_target = nullptr;
    int m_flags = 0x103;
    IWorld* m_linked = nullptr;
    float m_clear[4] = {0, 0, 0, 0};
    float m_depth = 1;
};
