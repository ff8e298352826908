// The terrain world's first render step: the terrain, unmirrored and fog-free, into the
// refraction target, whose second texture carries what the terrain shader writes for the water.
#pragma once

#include "scene/k_Renderable.h"

class IRenderTarget;
struct MaterialPass;

class k_FirstRenderStep : public k_Renderable {
public:
    // terrain: the terrain mesh as a renderable; not owned.
    k_FirstRenderStep(IEngine* engine, IRenderable* terrain);

    void DrawStage(Stage stage) override;

    IRenderable* GetTerrain() { return m_terrain; }
    // 512 x 512 with two RGBA float textures (refraction textures 0 and 1); null if not made.
    IRenderTarget* GetRefractionTarget() { return m_target; }

private:
    MaterialPass* m_terrainPass = nullptr;  // the terrain material's first pass
    IRenderable* m_terrain;
    IRenderTarget* m_target = nullptr;
};
