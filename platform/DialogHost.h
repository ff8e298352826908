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

    // Opens a centred, fixed-size window; false if there is no display (also when SDL fell back
    // to a driver that shows nothing: nobody could answer the dialog).
    bool Open(const std::wstring& title, int width, int height);
    // Handles pending input and starts an ImGui frame; false once the window was closed.
    bool BeginFrame();
    // Draws the frame and presents it.
    void EndFrame();

private:
    struct State;
    State* m_state = nullptr;
};

}  // namespace Platform
