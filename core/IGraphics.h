// The OpenGL device: the window's context, its viewport size, the chosen aspect ratio,
// the GL error log and the loading bar.
#pragma once

namespace Platform {
struct NativeWindow;
}

class IGraphics {
public:
    // A rectangle of the window in pixels, origin at the bottom left.
    struct Viewport {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    // Releases nothing: the engine releases the factory's objects, then the context, first.
    virtual ~IGraphics() = default;

    // A height of 0 becomes 1; sets the window viewport.
    virtual void Resize(int width, int height) = 0;
    // Logs the driver, sets the default state and draws the empty loading bar. Always true.
    virtual bool Initialize() = 0;
    // Creates the context on the window and makes it current; throws on failure.
    virtual void CreateContext(Platform::NativeWindow* window) = 0;
    // Harmless when there is no context. Whatever lives in the context must be gone before.
    virtual void ReleaseContext() = 0;
    virtual int GetMaxTextureSize() = 0;
    // The window's client size.
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    virtual float GetAspectRatio() = 0;
    virtual void SetAspectRatio(float aspect) = 0;
    // Letterboxing draws the demo at its aspect ratio, centred, when the window's shape differs;
    // off, the picture fills the window (the ratio then serves displays of non-square pixels).
    virtual void SetLetterbox(bool letterbox) = 0;
    // Where the demo draws in the window: all of it, or the letterboxed rectangle.
    virtual Viewport GetViewport() = 0;
    // Logs at most five pending GL errors per call.
    virtual void CheckErrors() = 0;
    // progress 0..1; does not present the frame.
    virtual void DrawLoadingBar(float progress) = 0;

protected:
    IGraphics() = default;
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;
};
