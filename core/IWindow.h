// The program's single top-level window: display mode, GL context hand-over, messages, presenting.
#pragma once

#include <string>

namespace Platform {
struct Event;
struct NativeWindow;
}

class IWindow {
public:
    // Restores the display mode, releases the GL context and destroys the window.
    virtual ~IWindow() = default;

    // Switches the display mode, creates the window and the GL context; throws on failure.
    virtual void Create() = 0;
    virtual void HandleMessage(const Platform::Event& event) = 0;
    virtual void Present() = 0;
    // False while minimised: the main loop then draws nothing.
    virtual void SetActive(bool active) = 0;
    virtual bool IsActive() = 0;
    // Stores the flag only; no mode change.
    virtual void SetFullscreen(bool fullscreen) = 0;
    virtual bool IsFullscreen() = 0;
    virtual void SetTitle(const std::wstring& title) = 0;
    virtual std::wstring GetTitle() = 0;
    // Null until Create has made the window.
    virtual Platform::NativeWindow* GetHandle() = 0;

protected:
    IWindow() = default;
    IWindow(const IWindow&) = delete;
    IWindow& operator=(const IWindow&) = delete;
};
