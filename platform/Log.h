// Console log: one line per object, written when it goes out of scope.
// Errors are bright red and warnings bright yellow when standard output is a terminal.
#pragma once

#include <sstream>
#include <string>

namespace Log {

enum class Level { Info, Warning, Error };

// Collects one line from narrow and wide pieces; wide text is written as UTF-8, and the line is
// shown as Text::Shown shows it (control bytes and bytes that are not UTF-8 as \xNN).
//   Log::Error() << "Cannot open " << wideName;
class Line {
public:
    explicit Line(Level level) : m_level(level) {}
    ~Line();
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    Line& operator<<(const std::wstring& text) { return *this << text.c_str(); }
    Line& operator<<(const wchar_t* text);
    Line& operator<<(wchar_t c) { const wchar_t s[2] = {c, 0}; return *this << s; }
    template <typename T>
    Line& operator<<(const T& value) { m_text << value; return *this; }

private:
    Level m_level;
    std::ostringstream m_text;
};

inline Line Info() { return Line(Level::Info); }
inline Line Warning() { return Line(Level::Warning); }
inline Line Error() { return Line(Level::Error); }

// Where lines go; tests redirect them to capture what a component logged.
using Sink = void (*)(Level level, const std::string& text);
// Null restores the console. Returns the sink it replaces (null: the console), so a sink that
// only listens can hand every line on to it.
Sink SetSink(Sink sink);

}  // namespace Log
