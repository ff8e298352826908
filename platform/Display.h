// The display: its modes and size, windows with an OpenGL context, and their events.
// The thin layer over SDL2; nothing above platform/ sees SDL.
#pragma once

#include <string>
#include <vector>

namespace Platform {

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size& o) const { return width == o.width && height == o.height; }
};

// Starts the video subsystem once; false (with the reason logged) when there is no display.
bool InitializeVideo();
// After InitializeVideo: false when SDL found no display and fell back on its own to a driver
// that shows nothing (offscreen, dummy). A driver named in SDL_VIDEODRIVER is taken as chosen.
bool DisplayFound();
// What a run that must be seen says when DisplayFound is false.
extern const wchar_t* const kNoDisplayMessage;

// Every mode of the primary display, duplicates included, in the driver's order.
std::vector<Size> ListDisplayModes();
Size GetDesktopSize();

struct NativeWindow;  // opaque
struct GlContext;     // opaque

// Creates a hidden window of the given client size, ready for an OpenGL compatibility context
// with double buffering and a depth buffer. Null on failure.
NativeWindow* CreateNativeWindow(const std::wstring& title, Size clientSize, bool resizable);
void DestroyNativeWindow(NativeWindow* window);
// A display mode as full screen chooses among them.
struct DisplayMode {
    Size size;
    int bitsPerPixel = 0;
    int refreshRate = 0;  // Hz; 0 where the driver does not say
};
// The index of the mode of this size to switch to: the one at the desktop's depth and refresh
// rate where there is one (a 60 Hz desktop on a 144 Hz panel stays at 60 Hz), else the first of
// that size; -1 when the display has none of that size.
int PickFullscreenMode(const std::vector<DisplayMode>& modes, const DisplayMode& desktop, Size size);
// Switches the display to a mode of exactly this size with the window covering it; false if refused.
bool EnterFullscreen(NativeWindow* window, Size mode);
void LeaveFullscreen(NativeWindow* window);
// Whether the user may resize and maximise the window through its frame.
void SetResizable(NativeWindow* window, bool resizable);
// The window's frame thickness around the client area (zero without a window manager).
void GetFrameExtents(NativeWindow* window, int& left, int& top, int& right, int& bottom);
// Moves the outer frame's top-left corner.
void MoveWindow(NativeWindow* window, int x, int y);
void ShowWindow(NativeWindow* window);
void SetTitle(NativeWindow* window, const std::wstring& title);
std::wstring GetTitle(NativeWindow* window);
Size GetClientSize(NativeWindow* window);
void ShowCursor(bool show);

// The OpenGL version every context is asked for ("2.1"), with the compatibility profile.
std::wstring RequestedGlVersion();
GlContext* CreateGlContext(NativeWindow* window);
// The window system's reason for the last failure here (a refused context, a missing display).
std::string LastDisplayError();
bool MakeCurrent(NativeWindow* window, GlContext* context);  // null, null releases
void DeleteGlContext(GlContext* context);
void SwapBuffers(NativeWindow* window);
// Whether the current context's swaps wait for the display's refresh; false, with the reason
// logged as information, when the driver cannot change it.
bool SetVerticalSync(bool on);

// What the window system reports; Quit is the end of the message loop.
struct Event {
    enum class Type { None, Quit, Close, KeyDown, Resized, Minimized, Restored } type = Type::None;
    int key = 0;  // KeyDown: 27 is Escape
    Size size;    // Resized: the new client size
};
bool PollEvent(Event& event);
// Hands every polled event to hook first, in the window system's own form (an overlay's input);
// null removes it.
using RawEventHook = void (*)(const void* nativeEvent);
void SetRawEventHook(RawEventHook hook);
// Queues a Quit event: the loop ends at its next poll.
void PostQuit();

}  // namespace Platform
