// The full-screen overlay: an animated plasma (while "disablePlasma" is 0) under a fade colour
// ("fadeColor", its fourth component the opacity), drawn over whatever the earlier worlds left.
// It never clears, so with the pattern off and a transparent fade it changes nothing.
#pragma once

#include <memory>

#include "engine/FullScreenPass.h"
#include "engine/k_World.h"

class IShaderProgram;

class k_PlasmaWorld : public k_World {
public:
    explicit k_PlasmaWorld(IEngine* engine) : k_World(engine, "Plasma") {}

    void Initialize() override;
    // Draws the overlay after the world's renderables.
    void OnRenderStage(RenderStage stage) override;
    void Clear() override {}

    // The program of "Plasma.mat"'s pass for this world, which the demo's cues drive; null
    // before Initialize or without the material.
    IShaderProgram* GetProgram() { return m_overlay ? m_overlay->GetProgram() : nullptr; }

private:
    std::unique_ptr<FullScreenPass> m_overlay;
    std::unique_ptr<FullScreenPass> m_fade;  // the fade colour alone, while the pattern is off
};
