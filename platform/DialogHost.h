// A small window that hosts an immediate-mode dialog (Dear ImGui) before the demo starts.
#pragma once

#include <string>

namespace Platform {

class DialogHost {
public:
    DialogHost() = default;
    ~DialogHost();
    DialogHost(const DialogHost&) = delete;
    DialogHost& operator=(const DialogHost&) = delete;

    // Opens a centred, fixed-size window with its OpenGL context; empty when it opened, else
    // why not (no display, or one that shows nothing; no window, no context), with the window system's reason.
    std::string Open(const std::wstring& title, int width, int height);
    // Handles pending input and starts an ImGui frame; false once the window was closed.
    bool BeginFrame();
    // Draws the frame and presents it.
    void EndFrame();

private:
    struct State;
    State* m_state = nullptr;
};

}  // namespace Platform
