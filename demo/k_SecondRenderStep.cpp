// The reflection step.
#include "demo/k_SecondRenderStep.h"

#include <GL/glew.h>

#include "core/IEngine.h"
#include "core/IRenderTarget.h"
#include "core/IRenderer.h"
#include "math/Matrix.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "core/ITexture.h"
#include "demo/FirstPass.h"
#include "core/IWorld.h"
#include "demo/k_FirstRenderStep.h"

namespace {

constexpr float kSky[4] = {0.7f, 0.8f, 0.9f, 1.0f};
// With the position (0, 16, 0) a vertex at height y is drawn at 16 - y: mirrored in y = 8.
constexpr float kMirror[16] = {1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

}  // namespace

k_SecondRenderStep::k_SecondRenderStep(IEngine* engine, k_FirstRenderStep* first)
    : k_Renderable(engine), m_first(first)
{
    m_terrainPass = first ? FirstPass(first->GetTerrain()) : nullptr;
    m_target = engine->GetResourceFactory()->CreateRenderTarget(512, 512);
    if (m_target) {
        m_target->AddTexture(ITexture::RgbaFloat);
        m_target->AddTexture(ITexture::RgbaFloat);
        m_target->CheckStatus();
    }
}

void k_SecondRenderStep::DrawStage(Stage stage)
{
    IRenderable* terrain = m_first ? m_first->GetTerrain() : nullptr;
    if (stage != Geometry || !m_target || !terrain) return;
    if (IWorld* world = m_engine->GetRenderer()->GetCurrentWorld()) world->SetClearColor(kSky);
    m_target->Bind(IRenderTarget::WorldDefault);
    // Put back exactly what was there (the demo's terrain sits at the origin with no local matrix).
    const Vector position = terrain->GetPosition();
    const Matrix local = terrain->GetLocalMatrix();
    terrain->SetLocalMatrix(kMirror);
    terrain->SetPosition(Vector(0, 16, 0, 0));
    IShaderProgram* program = m_terrainPass ? m_terrainPass->program : nullptr;
    if (program) program->SetInt("fogEnabled", 0);
    // The mirror turns the winding of every face round.
    if (m_terrainPass) m_terrainPass->cullFace = 0;
    terrain->Render();
    if (m_terrainPass) m_terrainPass->cullFace = GL_BACK;
    if (program) program->SetInt("fogEnabled", 1);
    terrain->SetPosition(position);
    terrain->SetLocalMatrix(local.Data());
    m_target->Unbind();
}
