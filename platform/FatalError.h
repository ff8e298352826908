// A fatal error travels to main as wide text, which main shows in the message box and on standard
// error before the run ends. The throw carries only a pointer, so text made at run time is kept
// here until the process ends.
#pragma once

#include <string>

namespace Platform {

[[noreturn]] void ThrowFatal(std::wstring message);

}  // namespace Platform
