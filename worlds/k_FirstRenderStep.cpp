// The refraction step.
#include "worlds/k_FirstRenderStep.h"

#include "app/IEngine.h"
#include "graphics/IRenderTarget.h"
#include "graphics/IRenderer.h"
#include "resources/IResourceFactory.h"
#include "resources/IShaderProgram.h"
#include "resources/ITexture.h"
#include "worlds/FirstPass.h"
#include "worlds/IWorld.h"

namespace {
constexpr float kNothing[4] = {0, 0, 0, 0};
}

k_FirstRenderStep::k_FirstRenderStep(IEngine* engine, IRenderable* terrain)
    : k_Renderable(engine), m_terrain(terrain)
{
    m_terrainPass = FirstPass(terrain);
    m_target = engine->GetResourceFactory()->CreateRenderTarget(512, 512);
    if (m_target) {
        m_target->AddTexture(ITexture::RgbaFloat);
        m_target->AddTexture(ITexture::RgbaFloat);
    }
}

void k_FirstRenderStep::DrawStage(int stage)
{
    if (stage != 1 || !m_target || !m_terrain) return;
    // Where no terrain lies, the water reads zero in both textures.
    if (IWorld* world = m_engine->GetRenderer()->GetCurrentWorld()) world->SetClearColor(kNothing);
    m_target->Bind(IRenderTarget::WorldDefault);
    IShaderProgram* program = m_terrainPass ? m_terrainPass->program : nullptr;
    if (program) program->SetInt("fogEnabled", 0);
    m_terrain->Render();
    if (program) program->SetInt("fogEnabled", 1);
    m_target->Unbind();
}
