// Full-screen passes and the scoped current world.
#include "engine/FullScreenPass.h"

#include "core/IEngine.h"
#include "core/IRenderer.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/MaterialPass.h"
#include "core/IMeshBuffer.h"
#include "core/IRenderable.h"
#include "scene/UnitQuad.h"

ScopedCurrentWorld::ScopedCurrentWorld(IRenderer* renderer, IWorld* world)
    : m_renderer(renderer), m_previous(renderer->GetCurrentWorld())
{
    m_renderer->SetCurrentWorld(world);
}

ScopedCurrentWorld::~ScopedCurrentWorld() { m_renderer->SetCurrentWorld(m_previous); }

FullScreenPass::FullScreenPass(IEngine* engine, IWorld* world, const std::wstring& materialFile)
{
    IResourceFactory* factory = engine->GetResourceFactory();
    m_material = factory->LoadMaterial(materialFile, materialFile);
    if (m_material) m_pass = m_material->FindPass(world);
    m_quad = CreateUnitQuad(factory, m_material);
    m_drawable = dynamic_cast<IRenderable*>(m_quad);
}

IShaderProgram* FullScreenPass::GetProgram() { return m_pass ? m_pass->program : nullptr; }

void FullScreenPass::SetTexture(int unit, ITexture* texture)
{
    if (m_pass) m_pass->textures[unit].texture = texture;
}

void FullScreenPass::Draw(IRenderTarget* target, IRenderTarget::Flags flags)
{
    if (!m_drawable) return;
    if (target) target->Bind(flags);
    m_drawable->Render();
    if (target) target->Unbind();
}
