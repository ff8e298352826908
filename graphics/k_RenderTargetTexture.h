// A colour attachment of a render target: an empty texture of the target's size that later
// passes sample. Owned by its render target.
#pragma once

#include <string>

#include "resources/k_TextureBase.h"

class k_RenderTargetTexture : public k_TextureBase {
public:
    // Creates the texture storage for the format code (0..5) and attaches it to frameBuffer at
    // colour attachment `attachment`; leaves the window's frame buffer bound.
    k_RenderTargetTexture(int format, IEngine* engine, int width, int height, unsigned frameBuffer,
                          int attachment);

    // Nothing to decode: the target draws into the texture.
    void Load(IFile&) override {}

    // Where the driver does not draw into the code's own storage: stores the texture again in a
    // format every GL 3-class driver draws into (RGB float becomes RGBA float). False when the
    // code has no such format or already uses it.
    bool UseDrawableStorage();
    // The storage as a message names it: "RGB 32-bit float (GL_RGB32F)".
    std::string DescribeStorage() const;

private:
    void Store(int internalFormat, unsigned pixelFormat, unsigned componentType);

    bool m_drawable = false;  // the fallback storage is in use
};
