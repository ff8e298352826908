// Console lines on POSIX: ANSI colours stand in for console text attributes, only on a terminal.
#include "platform/Console.h"

#include <cstdio>
#include <unistd.h>

namespace Console {

// Every line ends with a reset, whatever its tone, so text that follows in the terminal never
// inherits a colour. Asked per line: standard output may be redirected meanwhile.
void WriteLine(Tone tone, const std::string& text)
{
    const bool colour = isatty(fileno(stdout)) != 0;
    const char* start = "";
    if (colour && tone == Tone::Error)
        start = "\x1b[91m";
    else if (colour && tone == Tone::Warning)
        start = "\x1b[93m";
    std::fprintf(stdout, "%s%s%s\n", start, text.c_str(), colour ? "\x1b[0m" : "");
    std::fflush(stdout);
}

}  // namespace Console
