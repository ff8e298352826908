// Console log: lines collected here, written by the system's console side.
#include "platform/Log.h"

#include "platform/Console.h"
#include "platform/Text.h"

namespace Log {
namespace {

Sink g_sink = nullptr;

void WriteToConsole(Level level, const std::string& text)
{
    Console::WriteLine(level == Level::Error     ? Console::Tone::Error
                       : level == Level::Warning ? Console::Tone::Warning
                                                 : Console::Tone::Plain,
                       text);
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
