// An off-screen frame buffer: a multisampled colour buffer until the first texture replaces it,
// a depth buffer, and texture colour attachments selected for drawing by the target flags. It is
// checked complete whenever a texture is added: no pass ever draws into an incomplete one.
#pragma once

#include <memory>
#include <vector>

#include "core/IRenderTarget.h"

class IEngine;
class k_RenderTargetTexture;

class k_RenderTarget : public IRenderTarget {
public:
    // Creates the frame buffer with its colour and depth render buffers; needs the GL context.
    k_RenderTarget(IEngine* engine, int width, int height);
    // Destroys the textures; the GL frame buffer and render buffers go with the context.
    ~k_RenderTarget() override;

    ITexture* AddTexture(int format) override;
    void Bind(Flags flags) override;
    void Unbind() override;
    int GetWidth() override { return m_width; }
    int GetHeight() override { return m_height; }
    const std::vector<ITexture*>& GetTextures() override { return m_textures; }
    // Throws a fatal message naming the target's size and formats when the frame buffer is not
    // complete, after giving float textures a format the driver draws into.
    void CheckStatus() override;

    // The flags the draw-buffer list was last built for, and that list (colour attachment enums).
    Flags GetCurrentFlags() const { return m_currentFlags; }
    const std::vector<unsigned>& GetDrawBuffers() const { return m_drawBuffers; }

private:
    void BuildDrawBuffers(Flags flags);
    unsigned Status();

    IEngine* m_engine;
    int m_width;
    int m_height;
    unsigned m_frameBuffer = 0;
    unsigned m_colourBuffer = 0;  // freed once the first texture replaces it
    unsigned m_renderBuffer = 0;  // the last one created: the depth buffer
    // Empty means no list: the frame buffer's own draw-buffer state is left as it is.
    std::vector<unsigned> m_drawBuffers;
    std::vector<std::unique_ptr<k_RenderTargetTexture>> m_ownTextures;
    std::vector<ITexture*> m_textures;  // the same textures, as the interface hands them out
    Flags m_currentFlags = WorldDefault;
};
