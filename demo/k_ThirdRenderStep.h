// The terrain world's third render step: the water plane y = 8 drawn into the world's own target
// with the refraction (units 0 and 2) and reflection (unit 1) images of the steps before.
#pragma once

#include "scene/k_Renderable.h"

class IMeshBuffer;
class k_FirstRenderStep;
class k_SecondRenderStep;
struct MaterialPass;

class k_ThirdRenderStep : public k_Renderable {
public:
    // Loads "Terrain/Water.mat", builds the water quad and binds the steps' targets to it.
    k_ThirdRenderStep(IEngine* engine, k_FirstRenderStep* first, k_SecondRenderStep* second);

    void DrawStage(Stage stage) override;

    IMeshBuffer* GetWater() { return m_water; }

private:
    IMeshBuffer* m_water = nullptr;
    IRenderable* m_drawable = nullptr;  // the water mesh as a renderable
    MaterialPass* m_pass = nullptr;  // the water material's first pass
};
