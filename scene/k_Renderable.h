// The renderable base: transform, children, hooks, flags and the fixed drawing sequence.
// Subclasses supply DrawStage.
#pragma once

#include <vector>

#include "math/Matrix.h"
#include "math/Quaternion.h"
#include "math/Vector.h"
#include "core/IRenderable.h"

class IEngine;

class k_Renderable : public IRenderable {
public:
    explicit k_Renderable(IEngine* engine) : m_engine(engine) {}

    void SetRotation(const Quaternion& rotation) override { m_rotation = rotation; }
    void SetScale(const Vector& scale) override { m_scale = scale; }
    void SetPosition(const Vector& position) override { m_position = position; }
    void SetLocalMatrix(const float* matrix) override { m_localMatrix = Matrix(matrix); }
    Quaternion GetRotation() override { return m_rotation; }
    Vector GetScale() override { return m_scale; }
    Vector GetPosition() override { return m_position; }
    Matrix GetLocalMatrix() override { return m_localMatrix; }
    void AddRenderHook(IRenderHook* hook) override { m_renderHooks.push_back(hook); }
    void RemoveRenderHook(IRenderHook* hook) override;
    std::vector<IRenderHook*>& GetRenderHooks() override { return m_renderHooks; }
    void AddChild(IRenderable* child) override;
    void RemoveChild(IRenderable* child) override;
    std::vector<IRenderable*> GetChildren() override { return m_children; }
    void SetWorld(IWorld* world) override { m_world = world; }
    IWorld* GetWorld() override { return m_world; }
    void SetShared(bool shared) override { m_shared = shared; }
    bool IsShared() override { return m_shared; }
    void Render() override;
    void SetVisible(bool visible) override { m_visible = visible; }
    bool IsVisible() override { return m_visible; }

protected:
    IEngine* m_engine;
    IWorld* m_world = nullptr;
    // All zero: its matrix is the identity.
    Quaternion m_rotation{0, 0, 0, 0};
    Vector m_scale{1, 1, 1, 1};
    Vector m_position{0, 0, 0, 1};
    Matrix m_localMatrix;
    std::vector<IRenderable*> m_children;
    std::vector<IRenderHook*> m_renderHooks;
    bool m_shared = true;
    bool m_visible = true;
};
