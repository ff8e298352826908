// The water step.
#include "demo/k_ThirdRenderStep.h"

#include <GL/glew.h>

#include "core/IEngine.h"
#include "core/ITimeline.h"
#include "core/IRenderTarget.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "demo/FirstPass.h"
#include "core/IWorld.h"
#include "demo/k_FirstRenderStep.h"
#include "demo/k_SecondRenderStep.h"

namespace {

// Position (3 floats), texture coordinate (2 floats): the plane y = 8 over the terrain's extent,
// its texture coordinates matching the terrain's (127/129 at the far edges).
constexpr float kEdge = 127.0f / 129.0f;
constexpr float kWater[] = {
    -64, 8, -64, 0, 0,
    -64, 8, 63, 0, kEdge,
    63, 8, 63, kEdge, kEdge,
    63, 8, -64, kEdge, 0,
};
constexpr unsigned kIndices[] = {0, 1, 2, 3};

// The n-th texture of target, or null.
ITexture* TextureOf(IRenderTarget* target, size_t n)
{
    return target && target->GetTextures().size() > n ? target->GetTextures()[n] : nullptr;
}

}  // namespace

k_ThirdRenderStep::k_ThirdRenderStep(IEngine* engine, k_FirstRenderStep* first, k_SecondRenderStep* second)
    : k_Renderable(engine)
{
    IResourceFactory* factory = engine->GetResourceFactory();
    IMaterial* material = factory->LoadMaterial(L"Terrain/Water.mat", L"Terrain/Water.mat");
    m_water = factory->CreateMeshBuffer();
    if (!m_water) return;
    m_water->SetPrimitiveMode(GL_QUADS);
    m_water->SetMaterial(material);
    m_water->SetVertices(kWater, 4, {IMeshBuffer::Position3, IMeshBuffer::TexCoord2}, GL_STATIC_DRAW_ARB, true);
    m_water->SetIndices(kIndices, 4, GL_STATIC_DRAW_ARB, true);

    m_drawable = dynamic_cast<IRenderable*>(m_water);
    m_pass = FirstPass(m_drawable);
    if (!m_pass) return;
    IRenderTarget* refraction = first ? first->GetRefractionTarget() : nullptr;
    IRenderTarget* reflection = second ? second->GetReflectionTarget() : nullptr;
    m_pass->textures[0] = {TextureOf(refraction, 0), GL_REPEAT, GL_REPEAT};
    m_pass->textures[1] = {TextureOf(reflection, 0), GL_REPEAT, GL_REPEAT};
    m_pass->textures[2] = {TextureOf(refraction, 1), GL_REPEAT, GL_REPEAT};
}

void k_ThirdRenderStep::DrawStage(Stage stage)
{
    if (stage != Geometry || !m_drawable) return;
    // The steps before left the window's frame buffer bound; draw over the sky cleared earlier.
    IWorld* world = GetWorld();
    if (IRenderTarget* target = world ? world->GetRenderTarget() : nullptr) target->Bind(IRenderTarget::DrawAll);
    if (m_pass && m_pass->program)
        m_pass->program->SetFloat("time", static_cast<float>(m_engine->GetTimeline()->GetTime()));
    m_drawable->Render();
}
