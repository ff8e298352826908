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

TEST(Text, MalformedBytesBecomeReplacementCharacters)
{
    struct Case { std::string in; std::wstring out; } cases[] = {
        {"a\xFF" "b", L"a\uFFFDb"},
        {"\xC3", L"\uFFFD"},          // cut short at the end
        {"\xE2\x82" "x", L"\uFFFD\uFFFDx"},
        {"\x80", L"\uFFFD"},
    };
    for (const Case& c : cases) EXPECT_EQ(Text::FromUtf8(c.in), c.out);
}

// Only the shortest form of a code point is a code point: overlong forms would smuggle "/"
// or "." past a check made on the encoded name.
TEST(Text, OnlyWellFormedSequencesDecode)
{
    const std::wstring bad2(2, L'\uFFFD'), bad3(3, L'\uFFFD'), bad4(4, L'\uFFFD'), bad5(5, L'\uFFFD');
    struct Case { const char* name; std::string in; std::wstring out; } cases[] = {
        {"overlong /", "\xC0\xAF", bad2},
        {"overlong NUL", std::string("\xC0\x80", 2), bad2},
        {"overlong DEL", "\xC1\xBF", bad2},
        {"overlong .", "\xE0\x80\xAE", bad3},
        {"overlong U+FFFF", "\xF0\x8F\xBF\xBF", bad4},
        {"surrogate half", "\xED\xA0\x80", bad3},
        {"past U+10FFFF", "\xF4\x90\x80\x80", bad4},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", bad5},
        {"lead FF", "\xFF\x80\x80", bad3},
        {"smallest two-byte", "\xC2\x80", L"\u0080"},
        {"smallest three-byte", "\xE0\xA0\x80", L"\u0800"},
        {"last before surrogates", "\xED\x9F\xBF", L"\uD7FF"},
        {"smallest four-byte", "\xF0\x90\x80\x80", std::wstring(1, static_cast<wchar_t>(0x10000))},
        {"largest", "\xF4\x8F\xBF\xBF", std::wstring(1, static_cast<wchar_t>(0x10FFFF))},
    };
    for (const Case& c : cases) EXPECT_EQ(Text::FromUtf8(c.in), c.out) << c.name;
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
