// Wide and UTF-8 text, and the log line assembled from both.
#include <gtest/gtest.h>

#include "platform/Text.h"
#include "support/LogCapture.h"

namespace {

TEST(Text, RoundTripsEveryPlane)
{
    const std::wstring samples[] = {L"", L"data.pak", L"Textures/Sand.PNG", L"caf\u00e9 \u20ac \u65e5\u672c",
                                    L"\U0001F600", L"\U0001F480 \U00010000\U0010FFFF"};
    for (const std::wstring& s : samples) EXPECT_EQ(Text::FromUtf8(Text::ToUtf8(s)), s);
    EXPECT_EQ(Text::ToUtf8(L"\u00e9"), "\xC3\xA9");
    // Beyond U+FFFF one character is four bytes, whether wide strings are UTF-32 or UTF-16 (where
    // U+1F480's second half lies among the halves that carry stray bytes).
    EXPECT_EQ(Text::ToUtf8(L"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Text::ToUtf8(L"\U0001F480"), "\xF0\x9F\x92\x80");
    EXPECT_EQ(Text::Shown("\xF0\x9F\x92\x80\xFF"), "\xF0\x9F\x92\x80\\xff");
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

TEST(Text, ShownNamesEscapeC1ControlsAndDirectionOverrides)
{
    // CSI, OSC ... ST as C1 code points: terminals that take 8-bit controls act on them.
    EXPECT_EQ(Text::Shown("a\xC2\x9B" "2Jb"), "a\\u009b2Jb");
    EXPECT_EQ(Text::Shown("\xC2\x9D" "0;X\xC2\x9C"), "\\u009d0;X\\u009c");
    EXPECT_EQ(Text::Shown("\xC2\x80\xC2\x9F\xC2\xA0"), "\\u0080\\u009f\xC2\xA0");  // NBSP is text
    // The same value as a stray byte stays a byte: the two never look alike.
    EXPECT_EQ(Text::Shown("\x9B"), "\\x9b");
    // Overrides, embeddings, isolates and marks reorder what follows them.
    EXPECT_EQ(Text::Shown("txt.\xE2\x80\xAEgnp"), "txt.\\u202egnp");
    EXPECT_EQ(Text::Shown("\xE2\x80\xAA\xE2\x81\xA6\xE2\x81\xA9\xE2\x80\x8E\xE2\x80\x8F\xD8\x9C"),
              "\\u202a\\u2066\\u2069\\u200e\\u200f\\u061c");
    EXPECT_EQ(Text::Shown("\xE2\x80\x8D\xE2\x80\xAF"), "\xE2\x80\x8D\xE2\x80\xAF");  // neighbours stay
    // A log line passes through the same escaping.
    LogCapture log;
    Log::Error() << "Cannot open " << std::wstring(L"x\x202Ey\x9B");
    ASSERT_EQ(log.entries().size(), 1u);
    EXPECT_EQ(log.entries()[0].text, "Cannot open x\\u202ey\\u009b");
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
        {"smallest four-byte", "\xF0\x90\x80\x80", L"\U00010000"},
        {"largest", "\xF4\x8F\xBF\xBF", L"\U0010FFFF"},
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

}  // namespace
