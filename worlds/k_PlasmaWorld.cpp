// The plasma overlay world.
#include "worlds/k_PlasmaWorld.h"

#include "app/IEngine.h"
#include "resources/IResourceFactory.h"
#include "resources/IShaderProgram.h"

void k_PlasmaWorld::Initialize()
{
    if (!GetCamera()) SetCamera(m_engine->GetResourceFactory()->CreateCamera());
    m_overlay = std::make_unique<FullScreenPass>(m_engine, this, L"Plasma.mat");
    if (IShaderProgram* program = m_overlay->GetProgram()) {
        const float halfBlack[4] = {0, 0, 0, 0.5f};
        program->SetVector("fadeColor", halfBlack, 4);
        program->SetInt("disablePlasma", 1);
    }
}

void k_PlasmaWorld::OnRenderStage(int stage)
{
    if (stage == AfterRenderables) m_overlay->Draw();
}
