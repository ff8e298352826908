// The common base of image and render-target textures: size, GL object and format code.
#pragma once

#include "core/ITexture.h"

class IEngine;

class k_TextureBase : public ITexture {
public:
    int GetWidth() override { return m_width; }
    int GetHeight() override { return m_height; }
    void Bind(int unit) override;
    int GetFormat() override { return m_format; }
    bool HasMipmaps() override { return false; }

    // The GL texture name (0 until a derived class generates one).
    unsigned GetTextureObject() const { return m_texture; }

protected:
    k_TextureBase(IEngine* engine, int format) : m_engine(engine), m_format(format) {}

    IEngine* m_engine;  // not owned
    int m_width = 0;
    int m_height = 0;
    unsigned m_texture = 0;
    int m_format;

private:
    int m_fixedFunctionUnits = -1;  // GL_MAX_TEXTURE_UNITS, read on the first Bind
};
