// The fatal-error box; the message also goes to standard error, so it is seen without a display.
#pragma once

#include <string>

namespace Platform {

struct NativeWindow;

// owner may be null.
void ShowMessageBox(NativeWindow* owner, const std::wstring& caption, const std::wstring& message);

}  // namespace Platform
