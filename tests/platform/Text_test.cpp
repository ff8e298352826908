// Wide and UTF-8 text, and the log line assembled from both.
#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>

#include "platform/Text.h"
#include "support/LogCapture.h"

namespace {

TEST(Text, RoundTripsEveryPlane)
{
    const std::wstring samples[] = {L"", L"data.pak", L"Textures/Sand.PNG", L"caf\u00e9 \u20ac \u65e5\u672c",
                                    std::wstring(1, static_cast<wchar_t>(0x1F600))};
    for (const std::wstring& s : samples) EXPECT_EQ(Text::FromUtf8(Text::ToUtf8(s)), s);
    EXPECT_EQ(Text::ToUtf8(L"\u00e9"), "\xC3\xA9");
}

// A byte outside well-formed UTF-8 is carried as U+DC00 + byte, so every name comes back as the same
// bytes and two names never become one.
wchar_t Stray(unsigned byte) { return static_cast<wchar_t>(0xDC00 + byte); }

TEST(Text, StrayBytesSurviveTheRoundTrip)
{
    struct Case { std::string in; std::wstring out; } cases[] = {
        {"a\xFF" "b", {L'a', Stray(0xFF), L'b'}},
        {"\xC3", {Stray(0xC3)}},  // cut short at the end
        {"\xE2\x82" "x", {Stray(0xE2), Stray(0x82), L'x'}},
        {"\x80", {Stray(0x80)}},
        {"\xED\xB3\xBF", {Stray(0xED), Stray(0xB3), Stray(0xBF)}},  // an encoded U+DCFF is no stray byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Text::FromUtf8(c.in), c.out);
        EXPECT_EQ(Text::ToUtf8(Text::FromUtf8(c.in)), c.in);
    }
    // Names that once became the same "a\uFFFD" stay apart.
    EXPECT_NE(Text::FromUtf8("a\xFE"), Text::FromUtf8("a\xFF"));
    EXPECT_NE(Text::FromUtf8("a\xFF"), Text::FromUtf8("a\xEF\xBF\xBD"));
    // Every byte after every lead, and a lone surrogate made up elsewhere still becomes U+FFFD.
    for (unsigned lead = 0x80; lead < 0x100; ++lead)
        for (unsigned next = 1; next < 0x100; next += 7) {
            const std::string bytes{char(lead), char(next), 'z'};
            EXPECT_EQ(Text::ToUtf8(Text::FromUtf8(bytes)), bytes);
        }
    EXPECT_EQ(Text::ToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

TEST(Text, ShownNamesEscapeControlAndStrayBytesOnly)
{
    EXPECT_EQ(Text::Shown("Sand.png"), "Sand.png");
    EXPECT_EQ(Text::Shown("caf\xC3\xA9\t\xE2\x82\xAC"), "caf\xC3\xA9\t\xE2\x82\xAC");
    EXPECT_EQ(Text::Shown("a\xFF/b\xFE"), "a\\xff/b\\xfe");
    EXPECT_EQ(Text::Shown(std::string("x\0y\x1b[2J\x7f", 8)), "x\\x00y\\x1b[2J\\x7f");
    EXPECT_EQ(Text::Shown("\xC0\xAF"), "\\xc0\\xaf");  // an overlong "/" is shown as its bytes

    // The log shows wide and narrow pieces alike.
    LogCapture log;
    Log::Error() << "wide: " << Text::FromUtf8("d\xFF.pak") << " narrow: " << std::string("d\xFE.pak");
    ASSERT_EQ(log.entries().size(), 1u);
    EXPECT_EQ(log.entries()[0].text, "wide: d\\xff.pak narrow: d\\xfe.pak");
}

// Only the shortest form of a code point is a code point: overlong forms would smuggle "/"
// or "." past a check made on the encoded name.
TEST(Text, OnlyWellFormedSequencesDecode)
{
    const auto strays = [](const std::string& bytes) {
        std::wstring out;
        for (const char b : bytes) out += Stray(static_cast<unsigned char>(b));
        return out;
    };
    struct Case { const char* name; std::string in; std::wstring out; } cases[] = {
        {"overlong /", "\xC0\xAF", strays("\xC0\xAF")},
        {"overlong NUL", std::string("\xC0\x80", 2), strays("\xC0\x80")},
        {"overlong DEL", "\xC1\xBF", strays("\xC1\xBF")},
        {"overlong .", "\xE0\x80\xAE", strays("\xE0\x80\xAE")},
        {"overlong U+FFFF", "\xF0\x8F\xBF\xBF", strays("\xF0\x8F\xBF\xBF")},
        {"surrogate half", "\xED\xA0\x80", strays("\xED\xA0\x80")},
        {"past U+10FFFF", "\xF4\x90\x80\x80", strays("\xF4\x90\x80\x80")},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", strays("\xF8\x88\x80\x80\x80")},
        {"lead FF", "\xFF\x80\x80", strays("\xFF\x80\x80")},
        {"smallest two-byte", "\xC2\x80", L"\u0080"},
        {"smallest three-byte", "\xE0\xA0\x80", L"\u0800"},
        {"last before surrogates", "\xED\x9F\xBF", L"\uD7FF"},
        {"smallest four-byte", "\xF0\x90\x80\x80", std::wstring(1, static_cast<wchar_t>(0x10000))},
        {"largest", "\xF4\x8F\xBF\xBF", std::wstring(1, static_cast<wchar_t>(0x10FFFF))},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Text::FromUtf8(c.in), c.out) << c.name;
        EXPECT_EQ(Text::ToUtf8(Text::FromUtf8(c.in)), c.in) << c.name;
    }
}

TEST(Log, OneLineMixesNarrowAndWideText)
{
    LogCapture log;
    Log::Error() << "Cannot read from file: " << std::wstring(L"Thanks/thanks1.png") << " (" << 3 << ")";
    Log::Warning() << L"w" << 'c';
    ASSERT_EQ(log.entries().size(), 2u);
    EXPECT_EQ(log.entries()[0].text, "Cannot read from file: Thanks/thanks1.png (3)");
    EXPECT_EQ(log.entries()[0].level, Log::Level::Error);
    EXPECT_EQ(log.entries()[1].text, "wc");
    EXPECT_EQ(log.entries()[1].level, Log::Level::Warning);
}

// What standard output receives from three log lines written by a child process whose
// standard output is a terminal (a pseudo-terminal) or a pipe.
std::string ConsoleOutput(bool terminal)
{
    std::fflush(stdout);
    int fd = -1;
    pid_t pid;
    if (terminal) {
        pid = forkpty(&fd, nullptr, nullptr, nullptr);
    } else {
        int ends[2];
        if (pipe(ends) != 0) return "no pipe";
        pid = fork();
        if (pid == 0) dup2(ends[1], STDOUT_FILENO);
        close(pid == 0 ? ends[0] : ends[1]);
        fd = ends[0];
    }
    if (pid < 0) return "no fork";
    if (pid == 0) {
        Log::Error() << "red";
        Log::Info() << "plain";
        Log::Warning() << L"yellow";
        _exit(0);
    }
    std::string out;
    char buffer[256];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<size_t>(n));
    close(fd);
    waitpid(pid, nullptr, 0);
    out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());  // the terminal's CR LF
    return out;
}

TEST(Log, ColoursOnlyOnATerminalAndResetsAfterEveryLine)
{
    EXPECT_EQ(ConsoleOutput(true), "\x1b[91mred\x1b[0m\nplain\x1b[0m\n\x1b[93myellow\x1b[0m\n");
    EXPECT_EQ(ConsoleOutput(false), "red\nplain\nyellow\n");
}

}  // namespace
