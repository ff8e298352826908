// The world base: list upkeep and the default clear.
#include "engine/k_World.h"

#include <GL/glew.h>
#include <algorithm>

#include "core/IRenderable.h"

void k_World::AddRenderable(IRenderable* renderable)
{
    if (renderable) renderable->SetWorld(this);
    m_renderables.push_back(renderable);
}

void k_World::RemoveRenderable(IRenderable* renderable)
{
    if (renderable) renderable->SetWorld(nullptr);
    const auto found = std::find(m_renderables.begin(), m_renderables.end(), renderable);
    if (found != m_renderables.end()) m_renderables.erase(found);
}

void k_World::SetClearColor(const float* colour)
{
    m_clearColour = Colour(colour[0], colour[1], colour[2], colour[3]);
}

void k_World::Clear()
{
    const float* colour = GetClearColor();
    glDepthMask(GL_TRUE);
    glClearColor(colour[0], colour[1], colour[2], colour[3]);
    glClearDepth(GetClearDepth());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
