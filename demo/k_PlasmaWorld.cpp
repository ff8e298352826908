// The plasma overlay world.
#include "demo/k_PlasmaWorld.h"

#include "core/IEngine.h"
#include "math/Vector.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"

void k_PlasmaWorld::Initialize()
{
    if (!GetCamera()) SetCamera(m_engine->GetResourceFactory()->CreateCamera());
    m_overlay = std::make_unique<FullScreenPass>(m_engine, this, L"Plasma.mat");
    m_fade = std::make_unique<FullScreenPass>(m_engine, this, L"PlasmaFade.mat");
    if (IShaderProgram* program = m_overlay->GetProgram()) {
        const float halfBlack[4] = {0, 0, 0, 0.5f};
        program->SetVector("fadeColor", halfBlack, 4);
        program->SetInt("disablePlasma", 1);
    }
}

void k_PlasmaWorld::OnRenderStage(RenderStage stage)
{
    if (stage != AfterRenderables) return;
    // With the pattern off, only the fade colour shows: a program of its own draws it at a
    // fraction of the pattern's cost.
    IShaderProgram* plasma = m_overlay->GetProgram();
    IShaderProgram* fade = m_fade->GetProgram();
    if (plasma && fade && plasma->GetInt("disablePlasma") != 0) {
        const Vector colour = plasma->GetVector4("fadeColor");
        fade->SetVector("fadeColor", colour.Data(), 4);
        m_fade->Draw();
    } else {
        m_overlay->Draw();
    }
}
