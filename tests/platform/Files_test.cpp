// The system's files behind UTF-8 paths: which names stay inside a data folder, on each system,
// and that reading, writing and listing keep names and bytes as they are.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/Files.h"
#include "support/ScratchFolder.h"

namespace {

TEST(Files, NamesThatStayInsideADataFolder)
{
    // inside: on every system; onWindows: where Windows reads the name differently.
    struct Case { const char* name; bool inside; bool onWindows; } cases[] = {
        {"Plasma.mat", true, true},
        {"Hdr/Bright.mat", true, true},
        {"a..b/c", true, true},
        {"./Plasma.mat", true, true},
        {"caf\xC3\xA9.png", true, true},
        {"", false, false},
        {"..", false, false},
        {"../secret.txt", false, false},
        {"Hdr/../../secret.txt", false, false},
        {"/etc/hostname", false, false},
        {"..\\x", true, false},
        {"Hdr\\..\\..\\x", true, false},
        {"\\x", true, false},
        {"C:\\x", true, false},
        {"C:x", true, false},
        {"\\\\server\\share\\x", true, false},
        {"//server/share/x", false, false},
        {"CON", true, false},
        {"con.png", true, false},
        {"NUL.txt", true, false},
        {"Hdr/aux", true, false},
        {"COM1", true, false},
        {"lpt9.mat", true, false},
        {"CONOUT$", true, false},
        {"COM\xC2\xB9", true, false},
        {"CONSOLE.png", true, true},
        {"COM10", true, true},
        {"Plasma.mat:stream", true, false},
        {"Plasma.mat.", true, false},
        {".. /x", true, false},
        {"a?.png", true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Files::StaysInside(c.name), kOnWindows ? c.onWindows : c.inside) << c.name;
}

TEST(Files, ReadsWritesAndListsByUtf8Names)
{
    ScratchFolder scratch;
    const std::string folder = Files::ToUtf8(scratch.Path());
    const std::string name = folder + "/caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80.bin";
    const std::string bytes("a\r\nb\n\0\x1a", 7);  // newlines and ^Z must survive: binary mode
    std::FILE* out = Files::Create(name);
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), out), bytes.size());
    std::fclose(out);

    std::unique_ptr<unsigned char[]> data;
    uint64_t size = 0;
    std::string detail;
    ASSERT_EQ(Files::ReadRegular(name, 100, data, size, detail), Files::ReadResult::Read);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.get()), size), bytes);
    EXPECT_EQ(Files::ReadRegular(name, 3, data, size, detail), Files::ReadResult::TooLarge);
    EXPECT_EQ(Files::ReadRegular(folder, 100, data, size, detail), Files::ReadResult::Folder);
    EXPECT_EQ(Files::ReadRegular(folder + "/gone", 100, data, size, detail), Files::ReadResult::Missing);

    const Files::Status status = Files::Look(name);
    EXPECT_EQ(status.kind, Files::Kind::Regular);
    EXPECT_EQ(status.size, bytes.size());
    EXPECT_NE(status.modified, 0);
    EXPECT_EQ(Files::Look(folder).kind, Files::Kind::Folder);
    EXPECT_EQ(Files::Look(folder + "/gone").kind, Files::Kind::Missing);

    EXPECT_EQ(Files::ListRegular(folder), std::vector<std::string>{"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80.bin"});
}

}  // namespace
