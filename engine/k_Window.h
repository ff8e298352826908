// The application window over the platform layer.
#pragma once

#include <string>

#include "core/IWindow.h"

class IEngine;

class k_Window : public IWindow {
public:
    // Nothing is created until Create.
    k_Window(const std::wstring& title, int width, int height, IEngine* engine, bool fullscreen);
    ~k_Window() override;

    void Create() override;
    void HandleMessage(const Platform::Event& event) override;
    void Present() override;
    void SetActive(bool active) override { m_active = active; }
    bool IsActive() override { return m_active; }
    void SetFullscreen(bool fullscreen) override { m_fullscreen = fullscreen; }
    bool IsFullscreen() override { return m_fullscreen; }
    void SetTitle(const std::wstring& title) override;
    std::wstring GetTitle() override;
    Platform::NativeWindow* GetHandle() override { return m_handle; }
    // Hands the created window to another engine (the first one is gone, its context released):
    // a new context, sized and initialised. Create attaches the window's first engine so.
    void AttachEngine(IEngine* engine);

private:
    std::wstring m_title;
    int m_width;
    int m_height;
    IEngine* m_engine;
    Platform::NativeWindow* m_handle = nullptr;
    bool m_active = true;
    bool m_fullscreen;
};
