// The overlay layer after the scenes: the logo (transparent until the closing fade) and the
// picture quads of the caption events. It clears only depth, so it draws over what lies beneath.
#pragma once

#include <memory>

#include "demo/k_KorvantaLogo.h"
#include "engine/k_World.h"

class IShaderProgram;

class k_AfterWorld : public k_World {
public:
    explicit k_AfterWorld(IEngine* engine) : k_World(engine, "AfterWorld") {}

    // Makes the logo the first renderable, at "alpha" 0.
    void Initialize() override;
    void Clear() override;

    // Null before Initialize.
    k_KorvantaLogo* GetLogo() { return m_logo.get(); }
    // The program of the logo material's pass for this world, or null.
    IShaderProgram* GetLogoProgram();

private:
    std::unique_ptr<k_KorvantaLogo> m_logo;
};
