// SDL's simple message box; without a display only the standard-error line remains.
#include "platform/MessageBox.h"

#include <cstdio>

#include "platform/SdlHandles.h"
#include "platform/Text.h"

namespace Platform {

void ShowMessageBox(NativeWindow* owner, const std::wstring& caption, const std::wstring& message)
{
    const std::string text = Text::Shown(Text::ToUtf8(message));  // a name in it may not be UTF-8
    std::fprintf(stderr, "%s: %s\n", Text::ToUtf8(caption).c_str(), text.c_str());
    std::fflush(stderr);
    if (SDL_getenv("KORVANTA_NO_MESSAGE_BOX")) return;
    // The desktop's own mode first: a box over a changed full-screen mode may be hidden or unreadable.
    if (owner && owner->window && (SDL_GetWindowFlags(owner->window) & SDL_WINDOW_FULLSCREEN))
        SDL_SetWindowFullscreen(owner->window, 0);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, Text::ToUtf8(caption).c_str(), text.c_str(),
                             owner ? owner->window : nullptr);
}

}  // namespace Platform
