// The terrain world's second render step: the terrain mirrored in the water plane y = 8, fog-free,
// into the reflection target.
#pragma once

#include "scene/k_Renderable.h"

class IRenderTarget;
struct MaterialPass;
class k_FirstRenderStep;

class k_SecondRenderStep : public k_Renderable {
public:
    // first: the step that holds the terrain mesh; not owned.
    k_SecondRenderStep(IEngine* engine, k_FirstRenderStep* first);

    void DrawStage(Stage stage) override;

    // 512 x 512 with two RGBA float textures (reflection textures 0 and 1); null if not made.
    IRenderTarget* GetReflectionTarget() { return m_target; }

private:
    MaterialPass* m_terrainPass = nullptr;  // the terrain material's first pass
    k_FirstRenderStep* m_first;
    IRenderTarget* m_target = nullptr;
};
