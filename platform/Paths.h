// Where the running program lives.
#pragma once

#include <string>

namespace Platform {

// The executable's folder, without a trailing separator.
std::wstring GetExecutableDirectory();

}  // namespace Platform
