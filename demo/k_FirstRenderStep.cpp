// The refraction step.
#include "demo/k_FirstRenderStep.h"

#include "core/IEngine.h"
#include "core/IRenderTarget.h"
#include "core/IRenderer.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "core/ITexture.h"
#include "demo/FirstPass.h"
#include "core/IWorld.h"

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

void k_FirstRenderStep::DrawStage(Stage stage)
{
    if (stage != Geometry || !m_target || !m_terrain) return;
    // Where no terrain lies, the water reads zero in both textures.
    if (IWorld* world = m_engine->GetRenderer()->GetCurrentWorld()) world->SetClearColor(kNothing);
    m_target->Bind(IRenderTarget::WorldDefault);
    IShaderProgram* program = m_terrainPass ? m_terrainPass->program : nullptr;
    if (program) program->SetInt("fogEnabled", 0);
    m_terrain->Render();
    if (program) program->SetInt("fogEnabled", 1);
    m_target->Unbind();
}
