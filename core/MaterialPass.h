// One render-state set of a material, chosen by the name of the world being drawn.
#pragma once

#include <map>
#include <string>

#include "math/Vector.h"

class IShaderProgram;
class ITexture;

// A texture bound to one unit with its wrap modes. A null texture marks a slot reserved for
// code that owns the texture to fill (or an image that failed to load): it binds nothing.
struct TextureSlot {
    ITexture* texture = nullptr;  // owned by the resource factory or a render target
    int wrapS = 0x2901;           // GL_REPEAT
    int wrapT = 0x2901;
};

struct MaterialPass {
    // The world this pass is used in; empty for the default pass.
    std::string target;
    // By texture unit, bound in ascending unit order.
    std::map<int, TextureSlot> textures;
    // Made current when the pass is applied; null leaves the current program alone.
    // Owned by the resource factory.
    IShaderProgram* program = nullptr;

    // Fixed-function material colours, RGBA.
    Colour ambient{0, 0, 0, 0};
    Colour diffuse{0, 0, 0, 0};
    Colour specular{0, 0, 0, 0};
    Colour emissive{0, 0, 0, 0};
    float shininess = 8;

    bool depthWrite = true;
    int depthFunction = 0x0201;      // GL_LESS
    int alphaTestFunction = 0;       // a GL comparison; 0 switches the alpha test off
    float alphaReference = 0;
    bool blending = false;
    int sourceBlendFactor = 1;       // GL_ONE
    int destinationBlendFactor = 0;  // GL_ZERO
    int cullFace = 0x0405;           // GL_BACK; 0 switches culling off
};
