// The visible terrain step.
#include "demo/k_FourthRenderStep.h"

#include "core/IShaderProgram.h"
#include "demo/FirstPass.h"

k_FourthRenderStep::k_FourthRenderStep(IEngine* engine, IRenderable* terrain)
    : k_Renderable(engine), m_terrain(terrain)
{
    m_terrainPass = FirstPass(terrain);
}

void k_FourthRenderStep::DrawStage(Stage stage)
{
    // Render reaches the Geometry stage only while this step is visible.
    if (stage != Geometry || !m_terrain) return;
    IShaderProgram* program = m_terrainPass ? m_terrainPass->program : nullptr;
    if (program) program->SetInt("clipPlaneEnabled", 0);
    m_terrain->Render();
    if (program) program->SetInt("clipPlaneEnabled", 1);
}
