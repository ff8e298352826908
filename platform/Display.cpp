// SDL2 behind the display interface.
#include "platform/Display.h"

#include <cstring>

#include "platform/Log.h"
#include "platform/SdlHandles.h"
#include "platform/Text.h"

namespace Platform {

namespace {

// The demo's floor; a driver that cannot make such a context is named in the fatal message.
constexpr int kGlMajor = 2;
constexpr int kGlMinor = 1;

}  // namespace

bool InitializeVideo()
{
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    // Screen saver and monitor power-down stay off while the demo runs.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        Log::Error() << "Cannot open the display: " << SDL_GetError();
        return false;
    }
    return true;
}

const wchar_t* const kNoDisplayMessage =
    L"No display to show the demo on: no X or Wayland display was found (DISPLAY and WAYLAND_DISPLAY). "
    L"Start it from a desktop session, or set SDL_VIDEODRIVER=offscreen to draw without one.";

bool DisplayFound()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) return false;
    const bool showsNothing = std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
    const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
    return !showsNothing || (chosen && *chosen);
}

std::vector<Size> ListDisplayModes()
{
    std::vector<Size> modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0) modes.push_back({mode.w, mode.h});
    }
    return modes;
}

Size GetDesktopSize()
{
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return {};
    return {mode.w, mode.h};
}

NativeWindow* CreateNativeWindow(const std::wstring& title, Size clientSize, bool resizable)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, kGlMajor);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, kGlMinor);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (resizable) flags |= SDL_WINDOW_RESIZABLE;
    SDL_Window* window = SDL_CreateWindow(Text::ToUtf8(title).c_str(), SDL_WINDOWPOS_UNDEFINED,
                                          SDL_WINDOWPOS_UNDEFINED, clientSize.width,
                                          clientSize.height, flags);
    if (!window) {
        Log::Error() << "SDL_CreateWindow: " << SDL_GetError();
        return nullptr;
    }
    return new NativeWindow{window};
}

void DestroyNativeWindow(NativeWindow* window)
{
    if (!window) return;
    SDL_DestroyWindow(window->window);
    delete window;
}

int PickFullscreenMode(const std::vector<DisplayMode>& modes, const DisplayMode& desktop, Size size)
{
    int first = -1;
    for (size_t i = 0; i < modes.size(); ++i) {
        if (!(modes[i].size == size)) continue;
        if (modes[i].bitsPerPixel == desktop.bitsPerPixel && modes[i].refreshRate == desktop.refreshRate)
            return static_cast<int>(i);
        if (first < 0) first = static_cast<int>(i);
    }
    return first;
}

bool EnterFullscreen(NativeWindow* window, Size mode)
{
    // Only an exact size counts; SDL would otherwise pick the closest one.
    std::vector<SDL_DisplayMode> listed;
    std::vector<DisplayMode> modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode candidate;
        if (SDL_GetDisplayMode(0, i, &candidate) != 0) continue;
        listed.push_back(candidate);
        modes.push_back({{candidate.w, candidate.h}, static_cast<int>(SDL_BITSPERPIXEL(candidate.format)),
                         candidate.refresh_rate});
    }
    SDL_DisplayMode current;
    DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &current) == 0)
        desktop = {{current.w, current.h}, static_cast<int>(SDL_BITSPERPIXEL(current.format)), current.refresh_rate};
    const int chosen = PickFullscreenMode(modes, desktop, mode);
    if (chosen < 0) return false;
    if (SDL_SetWindowDisplayMode(window->window, &listed[static_cast<size_t>(chosen)]) != 0) return false;
    return SDL_SetWindowFullscreen(window->window, SDL_WINDOW_FULLSCREEN) == 0;
}

void LeaveFullscreen(NativeWindow* window) { SDL_SetWindowFullscreen(window->window, 0); }

void SetResizable(NativeWindow* window, bool resizable)
{
    SDL_SetWindowResizable(window->window, resizable ? SDL_TRUE : SDL_FALSE);
}

void GetFrameExtents(NativeWindow* window, int& left, int& top, int& right, int& bottom)
{
    if (SDL_GetWindowBordersSize(window->window, &top, &left, &bottom, &right) != 0)
        left = top = right = bottom = 0;
}

void MoveWindow(NativeWindow* window, int x, int y)
{
    int left, top, right, bottom;
    GetFrameExtents(window, left, top, right, bottom);
    SDL_SetWindowPosition(window->window, x + left, y + top);  // SDL places the client area
}

void ShowWindow(NativeWindow* window)
{
    SDL_ShowWindow(window->window);
    SDL_RaiseWindow(window->window);
}

void SetTitle(NativeWindow* window, const std::wstring& title)
{
    SDL_SetWindowTitle(window->window, Text::ToUtf8(title).c_str());
}

std::wstring GetTitle(NativeWindow* window)
{
    return Text::FromUtf8(SDL_GetWindowTitle(window->window));
}

Size GetClientSize(NativeWindow* window)
{
    Size size;
    SDL_GL_GetDrawableSize(window->window, &size.width, &size.height);
    return size;
}

void ShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

std::wstring RequestedGlVersion() { return std::to_wstring(kGlMajor) + L"." + std::to_wstring(kGlMinor); }

std::string LastDisplayError() { return SDL_GetError(); }

GlContext* CreateGlContext(NativeWindow* window)
{
    SDL_GLContext context = SDL_GL_CreateContext(window->window);
    if (!context) {
        Log::Error() << "SDL_GL_CreateContext: " << SDL_GetError();
        return nullptr;
    }
    SDL_GL_SetSwapInterval(0);  // as fast as it can until the player asks for vertical sync
    return new GlContext{context};
}

bool SetVerticalSync(bool on)
{
    if (SDL_GL_SetSwapInterval(on ? 1 : 0) == 0) return true;
    // Not a fault: a virtual display (Xvfb) has no refresh to wait for.
    Log::Info() << "Vertical sync stays " << (on ? "off" : "on") << " here: " << SDL_GetError();
    return false;
}

bool MakeCurrent(NativeWindow* window, GlContext* context)
{
    return SDL_GL_MakeCurrent(window ? window->window : nullptr, context ? context->context : nullptr) == 0;
}

void DeleteGlContext(GlContext* context)
{
    if (!context) return;
    SDL_GL_DeleteContext(context->context);
    delete context;
}

void SwapBuffers(NativeWindow* window) { SDL_GL_SwapWindow(window->window); }

namespace {
RawEventHook g_rawEventHook = nullptr;
}  // namespace

void SetRawEventHook(RawEventHook hook) { g_rawEventHook = hook; }

bool PollEvent(Event& event)
{
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return false;
    if (g_rawEventHook) g_rawEventHook(&e);
    event = Event();
    switch (e.type) {
    case SDL_QUIT:
        event.type = Event::Type::Quit;
        break;
    case SDL_KEYDOWN:
        event.type = Event::Type::KeyDown;
        event.key = e.key.keysym.sym == SDLK_ESCAPE ? 27 : static_cast<int>(e.key.keysym.sym);
        break;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: event.type = Event::Type::Close; break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            event.type = Event::Type::Resized;
            event.size = {e.window.data1, e.window.data2};
            break;
        case SDL_WINDOWEVENT_MINIMIZED: event.type = Event::Type::Minimized; break;
        case SDL_WINDOWEVENT_RESTORED: event.type = Event::Type::Restored; break;
        default: break;
        }
        break;
    default:
        break;
    }
    return true;
}

void PostQuit()
{
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

}  // namespace Platform
