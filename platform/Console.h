// Lines for the console: standard output, coloured only when it is a terminal or console.
// Console.cpp is the POSIX side (ANSI colours), Console_win32.cpp the Windows side (the console's
// text attributes and its wide text, so any Unicode shows as it is).
#pragma once

#include <string>

namespace Console {

enum class Tone { Plain, Error, Warning };

// Writes one UTF-8 line and a newline, then flushes.
void WriteLine(Tone tone, const std::string& text);

}  // namespace Console
