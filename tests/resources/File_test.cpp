// k_File: bounded little-endian reads, the cursor as a pointer, and saving the whole buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <limits>
#include <string>

#include "support/ScratchFolder.h"
#include "resources/k_File.h"
#include "support/LogCapture.h"

namespace {

k_File Make(const std::string& bytes)
{
    std::unique_ptr<unsigned char[]> data(new unsigned char[bytes.size()]);
    std::memcpy(data.get(), bytes.data(), bytes.size());
    return k_File(nullptr, std::move(data), uint32_t(bytes.size()));
}

// Runs read and reports whether it raised the integrity error (and nothing else).
template <typename Read>
bool RaisesIntegrityError(Read read)
{
    try {
        read();
    } catch (const wchar_t* message) {
        return std::wcscmp(message, L"File integrity is broken.") == 0;
    }
    return false;
}

using namespace std::string_literals;

TEST(File, EmptyFileIsAtEndAndRefusesEveryRead)
{
    k_File file = Make("");
    EXPECT_EQ(file.GetSize(), 0u);
    EXPECT_TRUE(file.IsAtEnd());
    EXPECT_TRUE(RaisesIntegrityError([&] { file.ReadInt(); }));
    EXPECT_TRUE(RaisesIntegrityError([&] { file.ReadFloat(); }));
    EXPECT_TRUE(RaisesIntegrityError([&] { file.ReadString(); }));
    EXPECT_TRUE(RaisesIntegrityError([&] { file.ReadBytes(1); }));
}

TEST(File, FourBytesAllowExactlyOneInt)
{
    k_File file = Make("\x78\x56\x34\x12"s);
    EXPECT_EQ(file.ReadInt(), 0x12345678);
    EXPECT_TRUE(file.IsAtEnd());
    EXPECT_TRUE(RaisesIntegrityError([&] { file.ReadInt(); }));
    EXPECT_EQ(file.GetPosition(), file.GetData() + 4);
}

TEST(File, ValuesAreLittleEndian)
{
    k_File file = Make("\xff\xff\xff\xff\x00\x00\xc0\x3f\x00\x00\x00\x80"s);
    EXPECT_EQ(file.ReadInt(), -1);
    EXPECT_EQ(file.ReadFloat(), 1.5f);
    EXPECT_EQ(file.ReadInt(), std::numeric_limits<int32_t>::min());
}

TEST(File, FailedReadLeavesTheCursorWhereItWas)
{
    k_File file = Make("abcdef");
    file.ReadBytes(3);
    const unsigned char* before = file.GetPosition();
    EXPECT_TRUE(RaisesIntegrityError([&] { file.ReadInt(); }));
    EXPECT_TRUE(RaisesIntegrityError([&] { file.ReadBytes(4); }));
    EXPECT_TRUE(RaisesIntegrityError([&] { file.ReadBytes(std::numeric_limits<size_t>::max()); }));
    EXPECT_EQ(file.GetPosition(), before);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.ReadBytes(3).get()), 3), "def");
}

TEST(File, StringsEndAtTheFirstNul)
{
    struct Case {
        std::string bytes;
        std::vector<std::string> strings;  // read in turn; then one more read must fail
        size_t stop;                       // cursor offset after the last good read
    };
    const Case cases[] = {
        {"ab\0"s, {"ab"}, 3},
        {"\0"s, {""}, 1},
        {"a\0bc\0"s, {"a", "bc"}, 5},
        {"ab\0cd"s, {"ab"}, 3},  // the tail "cd" has no NUL
        {"ab", {}, 0},
        {"", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        k_File file = Make(c.bytes);
        for (const std::string& expected : c.strings)
            EXPECT_EQ(file.ReadString(), expected);
        EXPECT_TRUE(RaisesIntegrityError([&] { file.ReadString(); }));
        EXPECT_EQ(file.GetPosition(), file.GetData() + c.stop);
    }
}

TEST(File, PositionsArePointersInsideTheBufferBothEndsIncluded)
{
    k_File file = Make("0123456789");
    const unsigned char* data = file.GetData();
    file.SetPosition(data + 10);
    EXPECT_TRUE(file.IsAtEnd());
    file.SetPosition(data + 6);
    EXPECT_FALSE(file.IsAtEnd());
    EXPECT_EQ(file.ReadBytes(4)[0], '6');
    file.SetPosition(data);
    EXPECT_EQ(file.GetPosition(), data);

    const unsigned char elsewhere[4] = {};
    EXPECT_TRUE(RaisesIntegrityError([&] { file.SetPosition(elsewhere); }));
    EXPECT_TRUE(RaisesIntegrityError([&] { file.SetPosition(nullptr); }));
    EXPECT_EQ(file.GetPosition(), data);

    file.ReadInt();
    file.Rewind();
    EXPECT_EQ(file.GetPosition(), data);
}

TEST(File, SaveWritesTheWholeBufferWhateverTheCursor)
{
    ScratchFolder scratch;
    const std::string bytes = "head\0middle\0tail"s;
    k_File file = Make(bytes);
    file.ReadString();
    file.SaveToFile((scratch / "saved.bin").wstring());
    EXPECT_EQ(scratch.Read("saved.bin"), bytes);
    EXPECT_EQ(file.ReadString(), "middle");  // saving does not move the cursor
}

TEST(File, SaveToAnImpossiblePathLogsAndWritesNothing)
{
    ScratchFolder scratch;
    LogCapture log;
    k_File file = Make("data");
    file.SaveToFile((scratch / "no-such-folder/saved.bin").wstring());
    EXPECT_TRUE(log.Has(Log::Level::Error, "no-such-folder/saved.bin"));
    EXPECT_FALSE(std::filesystem::exists(scratch / "no-such-folder"));
}

}  // namespace
