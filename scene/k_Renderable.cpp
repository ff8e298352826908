// The renderable base: list upkeep and the drawing sequence shared by every renderable.
#include "scene/k_Renderable.h"

#include <GL/glew.h>
#include <algorithm>

#include "core/IRenderHook.h"

void k_Renderable::RemoveRenderHook(IRenderHook* hook)
{
    const auto found = std::find(m_renderHooks.begin(), m_renderHooks.end(), hook);
    if (found != m_renderHooks.end()) m_renderHooks.erase(found);
}

void k_Renderable::AddChild(IRenderable* child)
{
    if (child) child->SetWorld(m_world);
    m_children.push_back(child);
}

void k_Renderable::RemoveChild(IRenderable* child)
{
    if (child) child->SetWorld(nullptr);
    const auto found = std::find(m_children.begin(), m_children.end(), child);
    if (found != m_children.end()) m_children.erase(found);
}

void k_Renderable::Render()
{
    glPushMatrix();
    DrawStage(BeforeTransform);
    glTranslatef(m_position.x, m_position.y, m_position.z);
    glScalef(m_scale.x, m_scale.y, m_scale.z);
    glMultMatrixf(m_rotation.ToMatrix().Data());
    glMultMatrixf(m_localMatrix.Data());
    // Indexed loops: a hook or a child may change these lists while they are walked.
    for (size_t i = 0; i < m_renderHooks.size(); ++i)
        if (m_renderHooks[i]) m_renderHooks[i]->BeforeRender(this);
    if (m_visible) {
        DrawStage(Geometry);
        for (size_t i = 0; i < m_children.size(); ++i)
            if (m_children[i]) m_children[i]->Render();
    }
    DrawStage(AfterChildren);
    for (size_t i = 0; i < m_renderHooks.size(); ++i)
        if (m_renderHooks[i]) m_renderHooks[i]->AfterRender(this);
    glPopMatrix();
}
