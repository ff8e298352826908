// Wide and UTF-8 text, and the log line assembled from both.
#include <gtest/gtest.h>

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
