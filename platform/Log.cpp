// Console log: ANSI colours stand in for console text attributes, only on a terminal.
#include "platform/Log.h"

#include <cstdio>
#include <unistd.h>

#include "platform/Text.h"

namespace Log {
namespace {

Sink g_sink = nullptr;

// Every line ends with a reset, whatever its level, so text that follows in the terminal
// never inherits a colour. Asked per line: standard output may be redirected meanwhile.
void WriteToConsole(Level level, const std::string& text)
{
    const bool colour = isatty(fileno(stdout)) != 0;
    const char* start = "";
    if (colour && level == Level::Error)
        start = "\x1b[91m";
    else if (colour && level == Level::Warning)
        start = "\x1b[93m";
    std::fprintf(stdout, "%s%s%s\n", start, text.c_str(), colour ? "\x1b[0m" : "");
    std::fflush(stdout);
}

}  // namespace

Line& Line::operator<<(const wchar_t* text)
{
    m_text << Text::ToUtf8(text);
    return *this;
}

Line::~Line()
{
    (g_sink ? g_sink : WriteToConsole)(m_level, Text::Shown(m_text.str()));
}

Sink SetSink(Sink sink)
{
    const Sink previous = g_sink;
    g_sink = sink;
    return previous;
}

}  // namespace Log
