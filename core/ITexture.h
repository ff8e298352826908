// A 2-D texture: an image decoded from the archive or a render target's colour attachment.
// Owned by whoever made it (the resource factory or a render target); users never delete it.
#pragma once

class IFile;

class ITexture {
public:
    // Format codes, shared by image and render-target textures.
    enum Format { Rgb8 = 0, RgbFloat = 1, Rgba8 = 2, RgbaFloat = 3, Depth = 4, DepthFloat = 5 };

    // Leaves the GL texture object alone: it lives until the context ends.
    virtual ~ITexture() = default;

    // In pixels; 0 until the image is decoded.
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    // Decodes the file's bytes into the texture object bound to GL_TEXTURE_2D. Throws, after
    // logging why, when the bytes cannot be decoded; the file stays the caller's.
    virtual void Load(IFile& file) = 0;
    // Activates texture unit `unit` (0 based), binds the texture there and enables GL_TEXTURE_2D.
    virtual void Bind(int unit) = 0;
    // Format code: 0 RGB 8-bit, 1 RGB float, 2 RGBA 8-bit, 3 RGBA float, 4 depth, 5 float depth.
    // Image textures always report 2.
    virtual int GetFormat() = 0;
    // Whether a mipmapped minification filter may be used.
    virtual bool HasMipmaps() = 0;

protected:
    ITexture() = default;
    ITexture(const ITexture&) = delete;
    ITexture& operator=(const ITexture&) = delete;
};
