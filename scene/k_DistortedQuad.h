// A picture on the unit quad, drawn with its own instance of "Common/DistortedQuad.mat", whose
// shaders distort it; the shader learns the picture's aspect ratio as "texAspectRatio".
#pragma once

#include "scene/k_MeshBuffer.h"

class IMaterial;
class ITexture;

class k_DistortedQuad : public k_MeshBuffer {
public:
    // Loads the material under a name made from the texture's address, so each texture gets
    // its own material; the first pass shows the texture on unit 0, repeating. Without the
    // material (or texture) the quad draws nothing.
    k_DistortedQuad(IEngine* engine, ITexture* texture);

    // BeforeTransform hands the aspect ratio to the first pass's program; Geometry draws the quad.
    void DrawStage(Stage stage) override;

private:
    IMaterial* m_quadMaterial = nullptr;
    ITexture* m_texture;
};
