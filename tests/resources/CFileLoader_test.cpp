// The generic section reader: tokens, end markers, blank lines and line numbers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/k_Engine.h"
#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "support/ScratchFolder.h"
#include "resources/k_CFileLoader.h"

namespace {

// Writes down every call as one line: "begin name [tokens] @line", "line [tokens] @line", "end name @line".
class RecordingLoader : public k_CFileLoader {
public:
    using k_CFileLoader::k_CFileLoader;

    std::vector<std::string> calls;
    std::string refuseAt;  // a token 0 whose line is refused
    std::string rawSection;  // the section that takes raw lines

protected:
    bool BeginSection(const std::string& name, const std::vector<std::string>& header) override
    {
        calls.push_back("begin " + name + " [" + Join(header) + "] @" + std::to_string(GetLineNumber()));
        m_current = name;
        return true;
    }
    bool ReadLine(const std::vector<std::string>& tokens, const std::string& line) override
    {
        calls.push_back("line [" + Join(tokens) + "] raw(" + line + ") @" + std::to_string(GetLineNumber()));
        return tokens.empty() || tokens[0] != refuseAt;
    }
    bool TakesRawLines() const override { return !rawSection.empty() && rawSection == m_current; }
    bool EndSection(const std::string& name) override
    {
        calls.push_back("end " + name + " @" + std::to_string(GetLineNumber()));
        m_current.clear();
        return true;
    }

private:
    std::string m_current;

    static std::string Join(const std::vector<std::string>& tokens)
    {
        std::string joined;
        for (const std::string& token : tokens) joined += (joined.empty() ? "" : "|") + token;
        return joined;
    }
};

class CFileLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { engine.GetFileSystem()->UseDirectory(Text::FromUtf8(folder.Path().string())); }

    std::vector<std::string> Read(const std::string& text, bool* result = nullptr, const std::string& refuseAt = "",
                                  const std::string& rawSection = "")
    {
        folder.Write("f.txt", text);
        RecordingLoader loader(&engine);
        loader.refuseAt = refuseAt;
        loader.rawSection = rawSection;
        const bool loaded = loader.Load(L"f.txt");
        if (result) *result = loaded;
        return loader.calls;
    }

    ScratchFolder folder;
    k_Engine engine{L"."};
};

TEST_F(CFileLoaderTest, SectionsAndTokens)
{
    const std::vector<std::string> expected = {
        "begin material [material|{] @2",
        "line [ambient|0.2|0.2|0.2|1] raw(  ambient (0.2, 0.2,\t0.2, 1)) @3",
        "end material @5",
        "begin include [include|(x)|{] @6",
    };
    EXPECT_EQ(Read("\n , material {\n  ambient (0.2, 0.2,\t0.2, 1)\n  ()\n}\ninclude ,,(x) {\n"), expected)
        << "header separators skip commas, not parentheses";
}

TEST_F(CFileLoaderTest, DoubleBracesEndOnlyAtDoubleBraces)
{
    const std::vector<std::string> expected = {
        "begin pixelshader [pixelshader|p|{{] @1",
        "line [void|main|{] raw(void main() {) @2",
        "line [}] raw(}) @3",
        "end pixelshader @4",
    };
    EXPECT_EQ(Read("pixelshader p {{\nvoid main() {\n}\n}} trailing\n"), expected);
}

TEST_F(CFileLoaderTest, CarriageReturnsAreSeparatorsButStayInTheRawLine)
{
    const std::vector<std::string> expected = {
        "begin a [a] @1",
        "line [x|1] raw(x 1\r) @2",
        "end a @3",
    };
    EXPECT_EQ(Read("a\r\nx 1\r\n}\r\n"), expected);
}

TEST_F(CFileLoaderTest, BlankLinesCountButAreNotHandedOver)
{
    const std::vector<std::string> expected = {"begin s [s] @3", "line [v] raw(v) @6", "end s @8"};
    EXPECT_EQ(Read("\n\t\ns\n\n \t\nv\n\n}\n"), expected);
}

TEST_F(CFileLoaderTest, ASectionTakingRawLinesGetsSeparatorAndBlankLinesToo)
{
    const std::vector<std::string> expected = {
        "begin code [code|{{] @1", "line [f|1] raw(f(1) @2", "line [] raw(  ,) @3", "line [] raw() @4",
        "line [] raw()) @5",       "end code @6",          "begin s [s] @7",     "line [v] raw(v) @9",
        "end s @10",
    };
    EXPECT_EQ(Read("code {{\nf(1\n  ,\n\n)\n}}\ns\n)\nv\n}\n", nullptr, "", "code"), expected)
        << "only the raw section keeps lines without tokens";
}

TEST_F(CFileLoaderTest, AFileEndingInsideASectionNeverEndsIt)
{
    const std::vector<std::string> expected = {"begin s [s|{] @1", "line [v] raw(v) @2"};
    bool loaded = false;
    EXPECT_EQ(Read("s {\nv", &loaded), expected);
    EXPECT_TRUE(loaded);
}

TEST_F(CFileLoaderTest, EndMarkerIsTheExactFirstToken)
{
    const std::vector<std::string> expected = {
        "begin s [s] @1", "line [};] raw(};) @2", "line [x|}] raw(x }) @3", "end s @4",
    };
    EXPECT_EQ(Read("s\n};\nx }\n} ignored\n"), expected);
}

TEST_F(CFileLoaderTest, ARefusedLineStopsTheFile)
{
    bool loaded = true;
    const std::vector<std::string> calls = Read("s {\nstop\nnever\n}\n", &loaded, "stop");
    EXPECT_FALSE(loaded);
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(CFileLoaderTest, MissingFileIsFalse)
{
    RecordingLoader loader(&engine);
    EXPECT_FALSE(loader.Load(L"absent.txt"));
    EXPECT_TRUE(loader.calls.empty());
}

}  // namespace
