// Console lines on Windows: text attributes for the colours and WriteConsoleW for the text when
// standard output is a console; UTF-8 bytes when it is a file or a pipe.
#include "platform/Console.h"

#include <windows.h>

#include <cstdio>

#include "platform/Text.h"

namespace Console {

void WriteLine(Tone tone, const std::string& text)
{
    std::fflush(stdout);
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (out == INVALID_HANDLE_VALUE || !GetConsoleMode(out, &mode) || !GetConsoleScreenBufferInfo(out, &info)) {
        std::fprintf(stdout, "%s\n", text.c_str());
        std::fflush(stdout);
        return;
    }
    const WORD keep = info.wAttributes & ~(FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE | FOREGROUND_INTENSITY);
    if (tone == Tone::Error)
        SetConsoleTextAttribute(out, keep | FOREGROUND_RED | FOREGROUND_INTENSITY);
    else if (tone == Tone::Warning)
        SetConsoleTextAttribute(out, keep | FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_INTENSITY);
    const std::wstring wide = Text::FromUtf8(text) + L"\n";
    DWORD written = 0;
    WriteConsoleW(out, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr);
    // Restored per line, so text that follows never inherits a colour.
    SetConsoleTextAttribute(out, info.wAttributes);
}

}  // namespace Console
