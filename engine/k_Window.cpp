// The application window: a refused display mode falls back silently to a centred window.
#include "engine/k_Window.h"

#include "core/IEngine.h"
#include "engine/WindowPlacement.h"
#include "core/IGraphics.h"
#include "platform/Display.h"

k_Window::k_Window(const std::wstring& title, int width, int height, IEngine* engine, bool fullscreen)
    : m_title(title), m_width(width), m_height(height), m_engine(engine), m_fullscreen(fullscreen)
{
}

k_Window::~k_Window()
{
    if (m_fullscreen && m_handle) {
        Platform::LeaveFullscreen(m_handle);
        Platform::ShowCursor(true);
    }
    m_engine->ReleaseContext();
    Platform::DestroyNativeWindow(m_handle);
    m_handle = nullptr;
}

void k_Window::Create()
{
    if (!Platform::InitializeVideo()) throw L"Cannot create Window!";
    // An invisible demo could only be ended by a signal.
    if (!Platform::DisplayFound()) throw Platform::kNoDisplayMessage;
    m_handle = Platform::CreateNativeWindow(m_title, {m_width, m_height}, !m_fullscreen);
    if (!m_handle) throw L"Cannot create Window!";
    if (m_fullscreen) {
        Platform::ShowCursor(false);
        if (!Platform::EnterFullscreen(m_handle, {m_width, m_height})) {
            m_fullscreen = false;
            Platform::SetResizable(m_handle, true);  // the fallback has the windowed frame
        }
    }
    if (!m_fullscreen) {
        Platform::ShowCursor(true);
        int left, top, right, bottom;
        Platform::GetFrameExtents(m_handle, left, top, right, bottom);
        const Platform::Size screen = Platform::GetDesktopSize();
        const WindowPosition at = CentreWindow(m_width + left + right, m_height + top + bottom,
                                               screen.width, screen.height);
        Platform::MoveWindow(m_handle, at.x, at.y);
    }

    AttachEngine(m_engine);
    Platform::ShowWindow(m_handle);
}

void k_Window::AttachEngine(IEngine* engine)
{
    m_engine = engine;
    IGraphics* graphics = m_engine->GetGraphics();
    graphics->CreateContext(m_handle);
    const Platform::Size client = Platform::GetClientSize(m_handle);
    graphics->Resize(client.width, client.height);
    graphics->Initialize();
    m_engine->SetWindow(this);
}

void k_Window::HandleMessage(const Platform::Event& event)
{
    using Type = Platform::Event::Type;
    switch (event.type) {
    case Type::Resized:
        if (IGraphics* graphics = m_engine->GetGraphics()) graphics->Resize(event.size.width, event.size.height);
        break;
    case Type::KeyDown:
        if (event.key == 27) Platform::PostQuit();
        break;
    case Type::Close:
        Platform::PostQuit();
        break;
    case Type::Minimized:
        SetActive(false);
        break;
    case Type::Restored:
        SetActive(true);
        break;
    default:
        break;
    }
}

void k_Window::Present() { Platform::SwapBuffers(m_handle); }

void k_Window::SetTitle(const std::wstring& title)
{
    if (m_handle) Platform::SetTitle(m_handle, title);
}

std::wstring k_Window::GetTitle() { return m_handle ? Platform::GetTitle(m_handle) : std::wstring(); }
