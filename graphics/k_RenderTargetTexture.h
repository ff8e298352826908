// A colour attachment of a render target: an empty texture of the target's size that later
// passes sample. Owned by its render target.
#pragma once

#include "resources/k_TextureBase.h"

class k_RenderTargetTexture : public k_TextureBase {
public:
    // Creates the texture storage for the format code (0..5) and attaches it to frameBuffer at
    // colour attachment `attachment`; leaves the window's frame buffer bound.
    k_RenderTargetTexture(int format, IEngine* engine, int width, int height, unsigned frameBuffer,
                          int attachment);

    // Nothing to decode: the target draws into the texture.
    void Load(IFile&) override {}
};
