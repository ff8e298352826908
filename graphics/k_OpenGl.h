// The OpenGL device over the platform's GL context.
#pragma once

#include "core/IGraphics.h"
#include "graphics/GlFeatures.h"

namespace Platform {
struct GlContext;
}

class k_OpenGl : public IGraphics {
public:
    void Resize(int width, int height) override;
    bool Initialize() override;
    void CreateContext(Platform::NativeWindow* window) override;
    void ReleaseContext() override;
    int GetMaxTextureSize() override { return m_maxTextureSize; }
    int GetWidth() override { return m_width; }
    int GetHeight() override { return m_height; }
    float GetAspectRatio() override { return m_aspectRatio; }
    void SetAspectRatio(float aspect) override;
    void SetLetterbox(bool letterbox) override;
    Viewport GetViewport() override { return m_viewport; }
    void CheckErrors() override;
    void DrawLoadingBar(float progress) override;

protected:
    // The next pending error code (glGetError); tests replace the source to queue several.
    virtual unsigned NextError();
    // What the driver offers (ReadGlCapabilities); tests replace it to play an older driver.
    virtual GlCapabilities ReadCapabilities();

private:
    // The letterboxed rectangle, or the whole window.
    void FitViewport();

    int m_width = 0;
    int m_height = 0;
    int m_maxTextureSize = 0;
    float m_aspectRatio = 0;
    bool m_letterbox = false;
    Viewport m_viewport;
    Platform::GlContext* m_context = nullptr;
};
