// The terrain world's fourth render step: the visible terrain, fogged and unclipped, into the
// world's own target.
#pragma once

#include "scene/k_Renderable.h"

struct MaterialPass;

class k_FourthRenderStep : public k_Renderable {
public:
    // terrain: the terrain mesh as a renderable; not owned.
    k_FourthRenderStep(IEngine* engine, IRenderable* terrain);

    void DrawStage(Stage stage) override;

private:
    MaterialPass* m_terrainPass = nullptr;  // the terrain material's first pass
    IRenderable* m_terrain;
};
