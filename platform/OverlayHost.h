// Dear ImGui drawn over the demo's own window, fed by the window's events (for --dev).
#pragma once

namespace Platform {

struct NativeWindow;

class OverlayHost {
public:
    OverlayHost() = default;
    // Releases ImGui; call while the context it drew with is still current.
    ~OverlayHost();
    OverlayHost(const OverlayHost&) = delete;
    OverlayHost& operator=(const OverlayHost&) = delete;

    // Starts ImGui on the window and its current context; from now on PollEvent feeds it too.
    void Open(NativeWindow* window);
    // Starts an ImGui frame; build the windows between this and EndFrame.
    void BeginFrame();
    // Draws the frame over the window's back buffer with the whole window as viewport.
    void EndFrame();

private:
    bool m_open = false;
};

}  // namespace Platform
