// The renderer: one frame is one or more timeline steps, each followed by drawing every world.
#include "engine/k_Renderer.h"

#include <GL/glew.h>
#include <algorithm>

#include "core/IEngine.h"
#include "core/ITimeline.h"
#include "core/IGraphics.h"
#include "core/IRenderTarget.h"
#include "platform/Log.h"
#include "core/ICamera.h"
#include "core/ILight.h"
#include "core/IRenderable.h"
#include "core/IWorld.h"

namespace {

bool Contains(const std::vector<IWorld*>& worlds, IWorld* world)
{
    return std::find(worlds.begin(), worlds.end(), world) != worlds.end();
}

}  // namespace

void k_Renderer::RenderFrame(double seconds)
{
    int n = m_timeSamples;
    if (m_adaptiveSamples) {
        n = seconds <= 1.0 / 59.0 ? n + 1 : n - 1;
        // Below 1, not only at 0: the engine starts the count at 0, and a slow frame from there
        // would otherwise drive it further down with every slow frame that follows.
        if (n < 1) n = 1;
        m_timeSamples = n;
    }
    ITimeline* timeline = m_engine->GetTimeline();
    if (n <= 1) {
        timeline->Advance(seconds);
        DrawFrame();
        return;
    }
    // Without an accumulation buffer glAccum only raises errors: the samples are still stepped
    // and drawn, and the window keeps the last one.
    GLint accumulationBits = 0;
    glGetIntegerv(GL_ACCUM_RED_BITS, &accumulationBits);
    const bool accumulate = accumulationBits > 0;
    if (!accumulate && !m_reportedNoAccumulation) {
        Log::Warning() << "No accumulation buffer: time samples are drawn without averaging.";
        m_reportedNoAccumulation = true;
    }
    if (accumulate) glClear(GL_ACCUM_BUFFER_BIT);
    for (int i = 0; i < n; ++i) {
        timeline->Advance(seconds / n);
        DrawFrame();
        if (accumulate) glAccum(GL_ACCUM, 1.0f);
    }
    if (accumulate) glAccum(GL_RETURN, 1.0f / static_cast<float>(n));
}

void k_Renderer::DrawFrame()
{
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    // Copies, so that worlds and renderables added or removed while drawing count from the next frame.
    m_engine->CopyWorlds(m_worlds);
    for (IWorld* world : m_worlds)
        if (world->IsVisible() && (!m_drawnOnly || Contains(*m_drawnOnly, world))) DrawWorld(world);
}

void k_Renderer::DrawWorld(IWorld* world)
{
    SetCurrentWorld(world);
    if (ICamera* camera = world->GetCamera()) camera->Apply();

    world->CopyLights(m_lights);
    if (m_lights.empty()) {
        glDisable(GL_LIGHTING);
    } else {
        glEnable(GL_LIGHTING);
        for (size_t i = 0; i < m_lights.size(); ++i) m_lights[i]->Enable(static_cast<int>(i));
    }

    world->OnRenderStage(IWorld::BeforeTarget);
    IRenderTarget* target = world->GetRenderTarget();
    if (target) {
        target->Bind(world->GetTargetFlags());
    } else {
        IGraphics* graphics = m_engine->GetGraphics();
        const IGraphics::Viewport window = graphics->GetViewport();
        glViewport(window.x, window.y, window.width, window.height);
        // A world's clear covers the whole window: letterbox bars stay black only if it is fenced in.
        const bool letterboxed = window.width != graphics->GetWidth() || window.height != graphics->GetHeight();
        if (letterboxed) {
            glScissor(window.x, window.y, window.width, window.height);
            glEnable(GL_SCISSOR_TEST);
        }
        world->Clear();
        if (letterboxed) glDisable(GL_SCISSOR_TEST);
    }
    world->OnRenderStage(IWorld::AfterClear);

    if (IWorld* linked = world->GetLinkedWorld()) {
        const std::vector<IRenderable*>& shared = linked->GetRenderables();
        m_renderables.assign(shared.begin(), shared.end());
        for (IRenderable* renderable : m_renderables)
            if (renderable && renderable->IsShared()) renderable->Render();
    }
    const std::vector<IRenderable*>& own = world->GetRenderables();
    m_renderables.assign(own.begin(), own.end());
    for (IRenderable* renderable : m_renderables)
        if (renderable) renderable->Render();

    world->OnRenderStage(IWorld::AfterRenderables);
    if (target) target->Unbind();
    world->OnRenderStage(IWorld::AfterUnbind);
}
