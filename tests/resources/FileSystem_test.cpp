// k_FileSystem over archives written by Python's zipfile and Info-ZIP, damaged archives, and loose files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/Text.h"
#include "core/IFile.h"
#include "support/ScratchFolder.h"
#include "resources/k_FileSystem.h"
#include "support/LogCapture.h"

namespace {

using namespace std::string_literals;

std::string Content(const IFile& file)
{
    return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetSize());
}

// The entries every archive below is checked against; names are UTF-8.
const char* const kWriteEntries = R"(
import warnings, zipfile
warnings.simplefilter("ignore")  # the duplicate name is on purpose
D, S = zipfile.ZIP_DEFLATED, zipfile.ZIP_STORED
entries = [
    ("textures/sand.png", b"sand" * 2000, D),
    ("Stored/Plain.txt", b"stored bytes", S),
    ("empty.bin", b"", D),
    ("four.bin", bytes([0x78, 0x56, 0x34, 0x12]), S),
    ("dup.txt", b"first", D),
    ("DUP.TXT", b"second", D),
    ("caf\u00e9/\u00c4.txt", b"utf8", S),
    ("Folder\\Back.txt", b"back", S),
    ("n" * 255, b"255 bytes", S),
    ("m" * 256, b"256 bytes", S),
    ("L" * 255 + "-and-more", b"long", S),
]
with zipfile.ZipFile("python.zip", "w") as z:
    for name, data, method in entries:
        z.writestr(zipfile.ZipInfo(name, (2020, 5, 17, 12, 0, 0)), data, method)
)";

class ArchiveLookup : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_scratch = new ScratchFolder;
        ASSERT_EQ(s_scratch->Python("entries.py", kWriteEntries), 0);
    }
    static void TearDownTestSuite() { delete s_scratch; }

    static ScratchFolder* s_scratch;
};
ScratchFolder* ArchiveLookup::s_scratch = nullptr;

TEST_F(ArchiveLookup, FullNamesMatchIgnoringOnlyAsciiCase)
{
    struct Case {
        std::wstring request;
        std::optional<std::string> content;  // nullopt: not found
    };
    const std::string sand = [] { std::string s; for (int i = 0; i < 2000; ++i) s += "sand"; return s; }();
    const Case cases[] = {
        {L"textures/sand.png", sand},
        {L"Textures/Sand.PNG", sand},
        {L"TEXTURES/SAND.PNG", sand},
        {L"textures\\sand.png", std::nullopt},  // no separator translation
        {L"/textures/sand.png", std::nullopt},
        {L"textures/sand.pn", std::nullopt},
        {L"textures/sand.png ", std::nullopt},
        {L"sand.png", std::nullopt},
        {L"stored/plain.txt", "stored bytes"},
        {L"Dup.txt", "first"},  // the first match wins
        {L"CAF\u00e9/\u00c4.TXT", "utf8"},
        {L"caf\u00c9/\u00c4.txt", std::nullopt},  // non-ASCII letters keep their case
        {L"caf\u00e9/\u00e4.txt", std::nullopt},
        {L"Folder\\Back.txt", "back"},
        {L"Folder/Back.txt", std::nullopt},
        {std::wstring(255, L'n'), "255 bytes"},
        {std::wstring(255, L'N'), "255 bytes"},
        {std::wstring(256, L'm'), std::nullopt},  // 256 bytes and more are never found
        {std::wstring(255, L'L'), std::nullopt},  // a prefix of a longer stored name
        {L"", std::nullopt},
    };
    LogCapture log;
    k_FileSystem files(nullptr, s_scratch->Path().wstring());
    files.MountArchive(L"python.zip");
    for (const Case& c : cases) {
        SCOPED_TRACE(Text::ToUtf8(c.request));
        std::unique_ptr<IFile> file = files.OpenFile(c.request);
        ASSERT_EQ(file != nullptr, c.content.has_value());
        if (file) {
            EXPECT_EQ(Content(*file), *c.content);
        }
    }
    // A missing name is the caller's to report; one that cannot be found at all says why.
    EXPECT_EQ(log.Count(Log::Level::Error), 1);
    EXPECT_TRUE(log.Has(Log::Level::Error, "Name is too long to be found in the archive (256 bytes, at most 255): mmm"));
}

TEST(Names, BytesThatAreNotUtf8NameTheirOwnFiles)
{
    if (kOnWindows) GTEST_SKIP() << "Windows names are UTF-16: no file there is named by such bytes";
    ScratchFolder scratch;
    scratch.Write("loose\xFF/a\xFE.mat", "fe");
    scratch.Write("loose\xFF/a\xFF.mat", "ff");
    ASSERT_EQ(scratch.Python("make.py", R"(
import os, zipfile
with zipfile.ZipFile("plain.zip", "w") as z:
    z.writestr("aX.mat", b"fe")
    z.writestr("aY.mat", b"ff")
# Raw bytes in the names, as an archiver without the UTF-8 flag writes them.
data = open("plain.zip", "rb").read().replace(b"aX.", b"a\xfe.").replace(b"aY.", b"a\xff.")
open(os.fsdecode(b"d\xffata.pak"), "wb").write(data)
)"), 0);
    LogCapture log;
    k_FileSystem files(nullptr, Text::FromUtf8(scratch.Path().string()));
    for (const char* where : {"loose\xFF", "d\xFF" "ata.pak"}) {
        SCOPED_TRACE(where);
        ASSERT_TRUE(files.Mount(Text::FromUtf8(where)));
        EXPECT_EQ(files.ListFiles(), (std::vector<std::wstring>{Text::FromUtf8("a\xFE.mat"), Text::FromUtf8("a\xFF.mat")}));
        for (const std::string name : {"a\xFE.mat", "a\xFF.mat"}) {
            std::unique_ptr<IFile> file = files.OpenFile(Text::FromUtf8(name));
            ASSERT_TRUE(file);
            EXPECT_EQ(Content(*file), name == "a\xFE.mat" ? "fe" : "ff");
        }
        EXPECT_FALSE(files.OpenFile(L"a\uFFFD.mat"));  // what both names looked like before
    }
    EXPECT_TRUE(log.Has(Log::Level::Info, "Initializing file system with data folder: loose\\xff"));
    EXPECT_TRUE(log.Has(Log::Level::Info, "Initializing file system with data file: d\\xffata.pak"));
    EXPECT_EQ(log.Count(Log::Level::Error), 0);
}

TEST(Names, ANameTooLongForTheFileSystemSaysSo)
{
    ScratchFolder scratch;
    scratch.Write("loose/Plasma.mat", "plasma");
    k_FileSystem files(nullptr, scratch.Path().wstring());
    files.UseDirectory(L"loose");
    LogCapture log;
    EXPECT_FALSE(files.OpenFile(std::wstring(300, L'n') + L".mat"));
    EXPECT_TRUE(log.Has(Log::Level::Error, kOnWindows ? "Name is too long for the file system (304 UTF-16 units in one part, at most 255; "
                                                       : "Name is too long for the file system (304 bytes in one part, at most 255; "));
    EXPECT_FALSE(files.OpenFile(L"Missing.mat"));  // merely missing: the caller reports it
    EXPECT_EQ(log.Count(Log::Level::Error), 1);
}

TEST_F(ArchiveLookup, SmallEntriesKeepTheirExactSize)
{
    k_FileSystem files(nullptr, s_scratch->Path().wstring());
    files.MountArchive(L"python.zip");
    std::unique_ptr<IFile> empty = files.OpenFile(L"EMPTY.BIN");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->GetSize(), 0u);
    EXPECT_TRUE(empty->IsAtEnd());

    std::unique_ptr<IFile> four = files.OpenFile(L"four.bin");
    ASSERT_TRUE(four);
    EXPECT_EQ(four->ReadInt(), 0x12345678);
    EXPECT_TRUE(four->IsAtEnd());
}

TEST_F(ArchiveLookup, MountLogsTheNameAndResolvesAgainstTheBaseDirectory)
{
    LogCapture log;
    k_FileSystem relative(nullptr, s_scratch->Path().wstring());
    relative.MountArchive(L"python.zip");
    EXPECT_TRUE(log.Has(Log::Level::Info, "Initializing file system with data file: python.zip"));
    EXPECT_TRUE(relative.OpenFile(L"four.bin"));

    k_FileSystem absolute(nullptr, L"/nonexistent");
    absolute.MountArchive((*s_scratch / "python.zip").wstring());
    EXPECT_TRUE(absolute.OpenFile(L"four.bin"));
    EXPECT_EQ(log.Count(Log::Level::Error), 0);
}

// Info-ZIP writes its own headers (extra fields, directory entries); both methods must read back.
TEST(InfoZipArchive, StoredAndDeflatedEntriesReadBack)
{
    ScratchFolder scratch;
    std::string big;
    for (int i = 0; i < 5000; ++i)
        big += "line " + std::to_string(i) + "\n";
    scratch.Write("tree/Textures/Sand.png", big);
    scratch.Write("tree/Plasma.mat", "pass Plasma\n");
    scratch.Write("tree/empty.txt", "");
    ASSERT_EQ(scratch.Run("cd tree && zip -q -X -r -0 ../stored.zip . && zip -q -X -r -9 ../deflated.zip ."), 0);
    // Written to a pipe, zip cannot seek back: each entry's sizes and CRC follow its data.
    ASSERT_EQ(scratch.Run("cd tree && zip -q -X -r -0 - . | cat > ../streamed-stored.zip && "
                          "zip -q -X -r -9 - . | cat > ../streamed-deflated.zip"), 0);

    for (const wchar_t* archive :
         {L"stored.zip", L"deflated.zip", L"streamed-stored.zip", L"streamed-deflated.zip"}) {
        SCOPED_TRACE(Text::ToUtf8(archive));
        k_FileSystem files(nullptr, scratch.Path().wstring());
        files.MountArchive(archive);
        std::unique_ptr<IFile> sand = files.OpenFile(L"textures/sand.PNG");
        ASSERT_TRUE(sand);
        EXPECT_EQ(Content(*sand), big);
        std::unique_ptr<IFile> material = files.OpenFile(L"Plasma.mat");
        ASSERT_TRUE(material);
        EXPECT_EQ(Content(*material), "pass Plasma\n");
        std::unique_ptr<IFile> empty = files.OpenFile(L"empty.txt");
        ASSERT_TRUE(empty);
        EXPECT_EQ(empty->GetSize(), 0u);
    }
}

TEST(InfoZipArchive, EncryptedAndBzip2EntriesAreRefusedByName)
{
    ScratchFolder scratch;
    std::string numbers;
    for (int i = 0; i < 2000; ++i)
        numbers += std::to_string(i) + "\n";
    scratch.Write("numbers.txt", numbers);
    scratch.Write("hello.txt", "hello\n");
    ASSERT_EQ(scratch.Run("zip -q -X -P secret locked.zip numbers.txt hello.txt && "
                          "zip -q -X -Z bzip2 bzip2.zip numbers.txt"), 0);
    struct Case {
        const wchar_t* archive;
        const wchar_t* name;
    };
    const Case cases[] = {
        {L"locked.zip", L"numbers.txt"},  // deflated, then encrypted
        {L"locked.zip", L"hello.txt"},    // stored, then encrypted
        {L"bzip2.zip", L"numbers.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Text::ToUtf8(c.archive) + " " + Text::ToUtf8(c.name));
        LogCapture log;
        k_FileSystem files(nullptr, scratch.Path().wstring());
        files.MountArchive(c.archive);
        EXPECT_FALSE(files.OpenFile(c.name));
        EXPECT_TRUE(log.Has(Log::Level::Error, "encrypted or uses an unsupported compression method: " +
                                                   Text::ToUtf8(c.name)));
    }
}

// Flips bytes inside the data of two entries, so their CRC (or the deflate stream) no longer holds.
const char* const kDamage = R"(
import zipfile
text = "".join("row %d of a compressible text\n" % i for i in range(2000)).encode()
with zipfile.ZipFile("damaged.zip", "w") as z:
    z.writestr("good.txt", text, zipfile.ZIP_DEFLATED)
    z.writestr("bad-deflated.txt", text, zipfile.ZIP_DEFLATED)
    z.writestr("bad-stored.txt", text, zipfile.ZIP_STORED)
    z.writestr("after.txt", b"still readable", zipfile.ZIP_STORED)
data = bytearray(open("damaged.zip", "rb").read())
for info in zipfile.ZipFile("damaged.zip").infolist():
    if info.filename.startswith("bad"):
        h = info.header_offset
        start = h + 30 + int.from_bytes(data[h+26:h+28], "little") + int.from_bytes(data[h+28:h+30], "little")
        for k in range(4):
            data[start + info.compress_size // 2 + k] ^= 0x5A
open("damaged.zip", "wb").write(data)
)";

TEST(DamagedArchive, DamagedEntriesAreRefusedAndNamedOthersStillRead)
{
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Python("damage.py", kDamage), 0);
    LogCapture log;
    k_FileSystem files(nullptr, scratch.Path().wstring());
    files.MountArchive(L"damaged.zip");
    for (const wchar_t* name : {L"bad-deflated.txt", L"bad-stored.txt"}) {
        SCOPED_TRACE(Text::ToUtf8(name));
        EXPECT_FALSE(files.OpenFile(name));
        EXPECT_TRUE(log.Has(Log::Level::Error, Text::ToUtf8(name)));
    }
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "row " + std::to_string(i) + " of a compressible text\n";
    std::unique_ptr<IFile> good = files.OpenFile(L"good.txt");
    ASSERT_TRUE(good);
    EXPECT_EQ(Content(*good), text);
    std::unique_ptr<IFile> after = files.OpenFile(L"after.txt");
    ASSERT_TRUE(after);
    EXPECT_EQ(Content(*after), "still readable");
}

// Rewrites the sizes in the central directory: a forged header must be refused before it is
// allocated, and one that merely disagrees with the data must fail extraction.
const char* const kForge = R"(
import zipfile
with zipfile.ZipFile("forged.zip", "w") as z:
    z.writestr("huge.bin", b"h" * 1000, zipfile.ZIP_DEFLATED)
    z.writestr("ratio.bin", b"r" * 1000, zipfile.ZIP_DEFLATED)
    z.writestr("packed.bin", b"p" * 1000, zipfile.ZIP_DEFLATED)
    z.writestr("stored.bin", b"s" * 1000, zipfile.ZIP_STORED)
    z.writestr("short.bin", b"t" * 1000, zipfile.ZIP_DEFLATED)
    z.writestr("fine.bin", b"f" * 1000, zipfile.ZIP_DEFLATED)
data = bytearray(open("forged.zip", "rb").read())
at = data.find(b"PK\x01\x02")
while at >= 0:
    n = int.from_bytes(data[at+28:at+30], "little")
    name = data[at+46:at+46+n].decode()
    packed = int.from_bytes(data[at+20:at+24], "little")
    size = int.from_bytes(data[at+24:at+28], "little")
    forged = {"huge.bin": (packed, 0xFFFFFFF0), "ratio.bin": (packed, packed * 1032 + 1),
              "packed.bin": (0x7FFFFFF0, size), "stored.bin": (packed, size + 1),
              "short.bin": (packed, size - 1)}.get(name, (packed, size))
    data[at+20:at+24] = forged[0].to_bytes(4, "little")
    data[at+24:at+28] = forged[1].to_bytes(4, "little")
    at = data.find(b"PK\x01\x02", at + 46 + n)
open("forged.zip", "wb").write(data)
)";

TEST(DamagedArchive, ImpossibleDeclaredSizesAreRefused)
{
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Python("forge.py", kForge), 0);
    k_FileSystem files(nullptr, scratch.Path().wstring());
    files.MountArchive(L"forged.zip");
    struct Case {
        const wchar_t* name;
        const char* reason;
    };
    const Case cases[] = {
        {L"huge.bin", "impossible size"},    // over the 1 GiB any asset could need
        {L"ratio.bin", "impossible size"},   // more than deflate can expand its data to
        {L"packed.bin", "shorter than its directory claims"},  // more compressed data than it holds
        {L"stored.bin", "impossible size"},  // stored data must be as long as the file
        {L"short.bin", "damaged"},           // plausible, but the data says otherwise
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Text::ToUtf8(c.name));
        LogCapture log;
        EXPECT_FALSE(files.OpenFile(c.name));
        ASSERT_EQ(log.Count(Log::Level::Error), 1);
        EXPECT_TRUE(log.Has(Log::Level::Error, c.reason)) << log.Lines()[0];
        EXPECT_TRUE(log.Has(Log::Level::Error, Text::ToUtf8(c.name)));
    }
    std::unique_ptr<IFile> fine = files.OpenFile(L"fine.bin");
    ASSERT_TRUE(fine);
    EXPECT_EQ(Content(*fine), std::string(1000, 'f'));
}

TEST(DamagedArchive, UnreadableArchivesMountAsFailedAndYieldNothing)
{
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Python("make.py", R"(
import zipfile
with zipfile.ZipFile("whole.zip", "w") as z:
    z.writestr("a.txt", "".join(str(i) for i in range(5000)), zipfile.ZIP_DEFLATED)
    z.writestr("b.txt", b"bbb", zipfile.ZIP_STORED)
data = open("whole.zip", "rb").read()
open("half.zip", "wb").write(data[:len(data) // 2])
open("tail-cut.zip", "wb").write(data[:-10])
open("text.zip", "wb").write(b"this is not an archive")
)"), 0);
    scratch.Write("folder.zip/inside.txt", "a folder, not an archive");
    scratch.Write("empty.zip", "");

    struct Case {
        const wchar_t* archive;
        const char* error;  // logged by the mount or by the lookups
    };
    const Case cases[] = {
        {L"half.zip", "half.zip: not a ZIP archive, or cut short before its directory"},
        {L"tail-cut.zip", "archive's directory"},  // its end record is cut short
        {L"text.zip", "text.zip: not a ZIP archive"},
        {L"missing.zip", "missing.zip: No such file or directory"},
        {L"folder.zip", "folder.zip: it is a folder"},
        {L"empty.zip", "empty.zip: the file is empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Text::ToUtf8(c.archive));
        LogCapture log;
        k_FileSystem files(nullptr, scratch.Path().wstring());
        const bool mounted = files.MountArchive(c.archive);
        EXPECT_EQ(mounted, std::wstring(c.archive) == L"tail-cut.zip");
        if (!mounted) {
            EXPECT_TRUE(log.Has(Log::Level::Error, "FAILED! " + scratch.Path().string() + "/"));
        }
        EXPECT_FALSE(files.OpenFile(L"a.txt"));
        EXPECT_FALSE(files.OpenFile(L"b.txt"));
        EXPECT_TRUE(log.Has(Log::Level::Error, c.error));
    }

    LogCapture log;
    k_FileSystem files(nullptr, scratch.Path().wstring());
    files.MountArchive(L"half.zip");
    files.MountArchive(L"whole.zip");  // a later mount replaces a failed one
    EXPECT_TRUE(files.OpenFile(L"b.txt"));
}

TEST(DamagedArchive, ADirectoryDamagedPartWayIsReportedWithWhatItStillLists)
{
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Python("make.py", R"(
import zipfile
with zipfile.ZipFile("cut.zip", "w") as z:
    for i in range(37):
        z.writestr("e%02d.txt" % i, b"entry %d" % i)
data = bytearray(open("cut.zip", "rb").read())
second = data.find(b"PK\x01\x02", data.find(b"PK\x01\x02") + 4)
data[second:second + 4] = b"XXXX"
open("cut.zip", "wb").write(data)
)"), 0);
    LogCapture log;
    k_FileSystem files(nullptr, scratch.Path().wstring());
    EXPECT_TRUE(files.MountArchive(L"cut.zip"));
    EXPECT_TRUE(log.Has(Log::Level::Error, "The archive's directory is damaged: 1 of its 37 entries can be read"));
    EXPECT_EQ(files.ListFiles(), std::vector<std::wstring>{L"e00.txt"});
    EXPECT_TRUE(files.OpenFile(L"e00.txt"));
    EXPECT_FALSE(files.OpenFile(L"e01.txt"));
}

TEST(DirectoryCount, AnArchiveOfExactly65535EntriesReadsWhole)
{
    // The largest count the end record holds without the 64-bit one: every entry is there.
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Python("make.py", R"(
import zipfile
with zipfile.ZipFile("full.zip", "w") as z:
    for i in range(65535):
        z.writestr("e%05d" % i, b"")
    z.comment = b"count 65535"
)"), 0);
    LogCapture log;
    k_FileSystem files(nullptr, scratch.Path().wstring());
    ASSERT_TRUE(files.MountArchive(L"full.zip"));
    EXPECT_FALSE(log.Contains("damaged")) << log.Lines().back();
    EXPECT_EQ(files.ListFiles().size(), 65535u);
    EXPECT_TRUE(files.OpenFile(L"e65534"));
}

TEST(DamagedArchive, AnEntryNamedWithANulByteIsReportedAndNotListed)
{
    // Not "nul.zip": Windows takes NUL with any extension for its null device.
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Python("make.py", R"(
import zipfile
with zipfile.ZipFile("nul-name.zip", "w") as z:
    z.writestr("a.png", b"kept")
    z.writestr("bXhidden.png", b"unreachable")
data = open("nul-name.zip", "rb").read().replace(b"bXhidden", b"b\0hidden")
open("nul-name.zip", "wb").write(data)
)"), 0);
    LogCapture log;
    k_FileSystem files(nullptr, scratch.Path().wstring());
    ASSERT_TRUE(files.MountArchive(L"nul-name.zip"));
    EXPECT_TRUE(log.Has(Log::Level::Warning, "an entry whose name holds a NUL byte, which no name can open: b\\x00hidden.png"));
    EXPECT_EQ(files.ListFiles(), std::vector<std::wstring>{L"a.png"});
    EXPECT_FALSE(log.Contains("damaged"));
}

// One deflated entry, and its directory record copied under other names of its length (the local
// header must agree): every copy points at the same stream, as in an archive made to inflate one
// stream thousands of times. Arguments: the copies, and the megabytes of zeros in the stream.
const char* const kSharedStream = R"(
import struct, sys, zipfile
copies, megabytes = int(sys.argv[1]), int(sys.argv[2])
with zipfile.ZipFile("shared.zip", "w", zipfile.ZIP_DEFLATED) as z:
    with z.open("original.png", "w") as entry:
        for _ in range(megabytes):
            entry.write(bytes(1 << 20))
    z.writestr("own.txt", b"an entry of its own")
data = open("shared.zip", "rb").read()
end = data.rfind(b"PK\x05\x06")
count, size, start = struct.unpack("<HII", data[end + 10:end + 20])
directory = data[start:start + size]
first = directory[:46 + struct.unpack("<H", directory[28:30])[0]]
records = [first[:46] + b"c%07d.png" % i for i in range(copies)]
directory += b"".join(records)
total = count + copies
tail = data[end:end + 8] + struct.pack("<HHII", total, total, len(directory), start) + data[end + 20:]
open("shared.zip", "wb").write(data[:start] + directory + tail)
)";

TEST(DamagedArchive, EntriesSharingAnotherEntrysDataAreRefusedWithoutInflatingIt)
{
    ScratchFolder scratch;
    scratch.Write("make.py", kSharedStream);
    ASSERT_EQ(scratch.Run("python3 make.py 3 1"), 0);
    LogCapture log;
    k_FileSystem files(nullptr, scratch.Path().wstring());
    ASSERT_TRUE(files.MountArchive(L"shared.zip"));
    ASSERT_EQ(files.ListFiles().size(), 5u);
    EXPECT_FALSE(log.Contains("damaged"));
    // Whichever is opened first keeps the bytes; every other entry over them is refused.
    std::unique_ptr<IFile> copy = files.OpenFile(L"c0000001.png");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GetSize(), 1u << 20);
    EXPECT_TRUE(files.OpenFile(L"c0000001.png")) << "the same entry opens again";
    for (const wchar_t* other : {L"original.png", L"c0000000.png", L"c0000002.png"}) {
        SCOPED_TRACE(Text::ToUtf8(other));
        log.Clear();
        EXPECT_FALSE(files.OpenFile(other));
        EXPECT_TRUE(log.Has(Log::Level::Error, "Archive entry shares its data with the entry c0000001.png, not read: " +
                                                   Text::ToUtf8(other)));
    }
    EXPECT_TRUE(files.OpenFile(L"own.txt"));
}

TEST(DamagedArchive, AnEntryCutShortSaysTheArchiveIsShorterThanItsDirectory)
{
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Python("make.py", R"(
import struct, zipfile
with zipfile.ZipFile("cut.zip", "w") as z:
    z.writestr("a.txt", b"kept", zipfile.ZIP_STORED)
    z.writestr("b.bin", b"b" * 10000, zipfile.ZIP_STORED)
data = bytearray(open("cut.zip", "rb").read())
end = data.rfind(b"PK\x05\x06")
directory = struct.unpack("<I", data[end+16:end+20])[0]
data[end+16:end+20] = struct.pack("<I", directory - 5000)
open("cut.zip", "wb").write(data[:directory - 5000] + data[directory:])
)"), 0);
    LogCapture log;
    k_FileSystem files(nullptr, scratch.Path().wstring());
    ASSERT_TRUE(files.MountArchive(L"cut.zip"));
    EXPECT_TRUE(files.OpenFile(L"a.txt"));
    EXPECT_FALSE(files.OpenFile(L"b.bin"));
    EXPECT_TRUE(log.Has(Log::Level::Error, "The archive is shorter than its directory claims: b.bin needs"));
    EXPECT_FALSE(log.Contains("impossible size"));
}

TEST(LooseFiles, NamesLeavingTheFolderAreRefused)
{
    ScratchFolder scratch;
    scratch.Write("loose/Plasma.mat", "inside");
    scratch.Write("secret.txt", "outside");
    scratch.Write("loose/a..b/c", "dots in a name are fine");
    k_FileSystem files(nullptr, scratch.Path().wstring());
    files.UseDirectory(L"loose");
    for (const wchar_t* name : {L"../secret.txt", L"Hdr/../../secret.txt", L"/etc/hostname", L"..", L""}) {
        SCOPED_TRACE(Text::ToUtf8(name));
        LogCapture log;
        EXPECT_FALSE(files.OpenFile(name));
        EXPECT_TRUE(log.Has(Log::Level::Error, "Refused a name outside the data folder: " + Text::ToUtf8(name)));
    }
    EXPECT_TRUE(files.OpenFile(L"Plasma.mat"));
    EXPECT_TRUE(files.OpenFile(L"a..b/c"));
}

// A backslash, a drive, a server or a device name is only a file name on Linux; on Windows each
// leaves the folder or opens a device, and is refused like "../x", never opened.
TEST(LooseFiles, WindowsNamesLeavingTheFolderAreRefusedThere)
{
    ScratchFolder scratch;
    scratch.Write("secret.txt", "outside");
    scratch.Write("loose/Plasma.mat", "inside");
    k_FileSystem files(nullptr, scratch.Path().wstring());
    files.UseDirectory(L"loose");
    for (const wchar_t* name : {L"..\\secret.txt", L"C:\\windows\\win.ini", L"\\\\server\\share\\x", L"CON",
                                L"nul.txt", L"COM1", L"Hdr/LPT1.mat", L"Plasma.mat:stream"}) {
        SCOPED_TRACE(Text::ToUtf8(name));
        LogCapture log;
        EXPECT_FALSE(files.OpenFile(name));
        EXPECT_EQ(log.Has(Log::Level::Error, "Refused a name outside the data folder: " + Text::ToUtf8(name)),
                  kOnWindows);
    }
}

TEST(LooseFiles, OnlyRegularFilesOpenAndAFifoDoesNotBlock)
{
    if (kOnWindows) GTEST_SKIP() << "a FIFO is a POSIX kind of file";
    ScratchFolder scratch;
    scratch.Write("loose/Plasma.mat", "plasma");
    ASSERT_EQ(scratch.Run("mkfifo loose/pipe.mat"), 0);
    k_FileSystem files(nullptr, scratch.Path().wstring());
    files.UseDirectory(L"loose");
    LogCapture log;
    EXPECT_FALSE(files.OpenFile(L"pipe.mat"));  // blocked forever in open before
    EXPECT_TRUE(log.Has(Log::Level::Error, "Not a regular file, not read: pipe.mat"));
    EXPECT_EQ(files.ListFiles(), std::vector<std::wstring>{L"Plasma.mat"});
}

TEST(LooseFiles, DirectoryModeReadsWholeFilesBelowItsFolder)
{
    ScratchFolder scratch;
    scratch.Write("loose/Hdr/Glow.mat", "glow");
    scratch.Write("loose/empty.bin", "");
    k_FileSystem files(nullptr, scratch.Path().wstring());
    files.UseDirectory(L"loose");

    std::unique_ptr<IFile> glow = files.OpenFile(L"Hdr/Glow.mat");
    ASSERT_TRUE(glow);
    EXPECT_EQ(Content(*glow), "glow");
    std::unique_ptr<IFile> empty = files.OpenFile(L"empty.bin");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->IsAtEnd());
    EXPECT_FALSE(files.OpenFile(L"Hdr/Missing.mat"));
    EXPECT_FALSE(files.OpenFile(L"Hdr"));  // a folder is not a file

    files.UseDirectory((scratch / "loose/Hdr").wstring());  // an absolute folder is taken as is
    EXPECT_TRUE(files.OpenFile(L"Glow.mat"));
}

TEST(FileList, ListsEveryFileOfTheArchiveOrFolderSorted)
{
    ScratchFolder scratch;
    scratch.Write("loose/Hdr/Glow.mat", "glow");
    scratch.Write("loose/Plasma.mat", "plasma");
    ASSERT_EQ(scratch.Python("make.py", R"(
import zipfile
with zipfile.ZipFile("data.pak", "w") as z:
    z.writestr("Thanks/", b"")  # a folder entry is no file
    z.writestr("Thanks/thanks1.png", b"1")
    z.writestr("kv-meridian.ogg", b"o")
    z.writestr("Common/Blur.mat", b"b")
)"), 0);
    LogCapture log;
    k_FileSystem files(nullptr, scratch.Path().wstring());
    EXPECT_TRUE(files.ListFiles().empty());  // nothing mounted yet
    files.Mount(L"data.pak");
    EXPECT_EQ(files.ListFiles(),
              (std::vector<std::wstring>{L"Common/Blur.mat", L"Thanks/thanks1.png", L"kv-meridian.ogg"}));
    files.Mount(L"loose");
    EXPECT_EQ(files.ListFiles(), (std::vector<std::wstring>{L"Hdr/Glow.mat", L"Plasma.mat"}));
    files.Mount(L"missing.pak");
    EXPECT_TRUE(files.ListFiles().empty());
}

TEST(LooseFiles, MountChoosesTheModeByWhatThePathIs)
{
    ScratchFolder scratch;
    scratch.Write("loose/Plasma.mat", "loose plasma");
    ASSERT_EQ(scratch.Python("make.py", R"(
import zipfile
with zipfile.ZipFile("data.pak", "w") as z:
    z.writestr("Plasma.mat", b"packed plasma", zipfile.ZIP_DEFLATED)
)"), 0);
    LogCapture log;
    k_FileSystem files(nullptr, L"/nonexistent");
    files.Mount((scratch / "missing").wstring());
    EXPECT_TRUE(log.Has(Log::Level::Error, "FAILED!"));
    EXPECT_FALSE(files.OpenFile(L"Plasma.mat"));

    files.Mount((scratch / "loose").wstring());
    std::unique_ptr<IFile> loose = files.OpenFile(L"Plasma.mat");
    ASSERT_TRUE(loose);
    EXPECT_EQ(Content(*loose), "loose plasma");

    files.Mount((scratch / "data.pak").wstring());
    std::unique_ptr<IFile> packed = files.OpenFile(L"plasma.MAT");
    ASSERT_TRUE(packed);
    EXPECT_EQ(Content(*packed), "packed plasma");

    // Back to loose files with the archive still open: it is closed with the file system.
    files.UseDirectory((scratch / "loose").wstring());
    loose = files.OpenFile(L"Plasma.mat");
    ASSERT_TRUE(loose);
    EXPECT_EQ(Content(*loose), "loose plasma");
    EXPECT_EQ(log.Count(Log::Level::Error), 1);
}

TEST(Budget, AnEntryOrLooseFileOverTheBudgetIsRefusedBeforeItIsRead)
{
    // 200 MB of zeros deflate to about 200 KB: an honest entry, far under deflate's ratio.
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Python("make.py", R"(
import os, zipfile
with zipfile.ZipFile("data.pak", "w", zipfile.ZIP_DEFLATED) as z:
    with z.open("Big.mat", "w") as entry:
        for _ in range(200):
            entry.write(bytes(1000000))
    z.writestr("small.mat", b"small")
os.makedirs("loose", exist_ok=True)
with open("loose/Big.mat", "wb") as f:
    f.truncate(200000000)  # sparse: nothing is written
open("loose/small.mat", "wb").write(b"small")
)"), 0);
    ASSERT_LT(std::filesystem::file_size(scratch / "data.pak"), 1000000u);
    for (const wchar_t* where : {L"data.pak", L"loose"}) {
        SCOPED_TRACE(Text::ToUtf8(where));
        k_FileSystem files(nullptr, scratch.Path().wstring());
        ASSERT_TRUE(files.Mount(where));
        LogCapture log;
        EXPECT_FALSE(files.OpenFile(L"Big.mat"));
        EXPECT_TRUE(log.Has(Log::Level::Error,
                            "File is too large to load (200000000 bytes, at most 67108864): Big.mat"));
        EXPECT_EQ(log.Count(Log::Level::Error), 1);
        EXPECT_TRUE(files.OpenFile(L"small.mat"));
    }
}

TEST_F(ArchiveLookup, ASecondEntryOfTheSameNameIsReportedWhenMounted)
{
    LogCapture log;
    k_FileSystem files(nullptr, s_scratch->Path().wstring());
    files.MountArchive(L"python.zip");
    EXPECT_TRUE(log.Has(Log::Level::Warning, "The archive holds a second entry named DUP.TXT; only the first can be opened"));
    EXPECT_EQ(log.Count(Log::Level::Warning), 1);
}

// Links inside a data folder: where they lead decides, not where they lie.
class LinkedFiles : public testing::Test {
protected:
    void SetUp() override
    {
        scratch.Write("secret.txt", "outside");
        scratch.Write("outside/x.png", "outside");
        scratch.Write("loose/Plasma.mat", "plasma");
        scratch.Write("loose/Real/a.png", "a");
        ASSERT_EQ(scratch.Run("cd loose && ln -s Plasma.mat Inside.mat && ln -s ../secret.txt Shadow.mat && "
                              "ln -s \"$(cd .. && pwd)/secret.txt\" Host.mat && ln -s Missing.png Gone.png && ln -s Loop.png Loop.png && "
                              "ln -s ../outside Away && ln -s Real Pictures && ln -s a.png Real/b.png && "
                              "ln -s .. Real/Up && ln -s ../../loose Real/Back"),
                  0);
        files.UseDirectory(L"loose");
    }

    ScratchFolder scratch;
    k_FileSystem files{nullptr, scratch.Path().wstring()};
};

TEST_F(LinkedFiles, LinksOpenOnlyWhenTheyLeadInsideTheFolder)
{
    struct Case {
        const wchar_t* name;
        const char* content;  // null: refused
        const char* error;    // the line logged, or null
    };
    const Case cases[] = {
        {L"Inside.mat", "plasma", nullptr},
        {L"Pictures/a.png", "a", nullptr},
        {L"Real/b.png", "a", nullptr},
        {L"Real/Up/Plasma.mat", "plasma", nullptr},
        {L"Real/Back/Plasma.mat", "plasma", nullptr},
        {L"Shadow.mat", nullptr, "Refused a name outside the data folder: Shadow.mat"},
        {L"Host.mat", nullptr, "Refused a name outside the data folder: Host.mat"},
        {L"Away/x.png", nullptr, "Refused a name outside the data folder: Away/x.png"},
        // Windows (and Wine, which shows it Unix links) sees a link to nothing as a missing file.
        {L"Gone.png", nullptr, kOnWindows ? nullptr : "Cannot open Gone.png: it is a link to a file that does not exist"},
        {L"Loop.png", nullptr,
         kOnWindows ? "Cannot open Loop.png: The filename cannot be resolved"
                    : "Cannot open Loop.png: Too many levels of symbolic links"},
        {L"Missing.png", nullptr, nullptr},  // simply missing: the caller reports it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Text::ToUtf8(c.name));
        LogCapture log;
        std::unique_ptr<IFile> file = files.OpenFile(c.name);
        ASSERT_EQ(file != nullptr, c.content != nullptr);
        if (file) {
            EXPECT_EQ(Content(*file), c.content);
        }
        const std::string said = log.Lines().empty() ? "" : log.Lines()[0];
        EXPECT_EQ(log.Count(Log::Level::Error), c.error ? 1 : 0) << said;
        if (c.error) {
            EXPECT_TRUE(log.Has(Log::Level::Error, c.error)) << said;
        }
        EXPECT_EQ(files.LoosePath(c.name).empty(), c.error && std::strstr(c.error, "Refused"));
    }
}

TEST_F(LinkedFiles, TheListHoldsWhatTheDemoCanOpenAndNamesWhatItCannot)
{
    LogCapture log;
    // Real folders keep their names; a folder reached only by a link is walked once; links that
    // lead nowhere are listed so that opening them says why (Windows sees no such links).
    std::vector<std::wstring> listed{L"Gone.png", L"Host.mat",   L"Inside.mat", L"Loop.png",
                                     L"Plasma.mat", L"Real/a.png", L"Real/b.png", L"Shadow.mat"};
    if (kOnWindows) listed = {L"Host.mat", L"Inside.mat", L"Plasma.mat", L"Real/a.png", L"Real/b.png", L"Shadow.mat"};
    EXPECT_EQ(files.ListFiles(), listed);
    EXPECT_TRUE(log.Has(Log::Level::Error, "Refused a name outside the data folder: Away"));
    EXPECT_EQ(log.Count(Log::Level::Error), 1);
}

TEST(LinkedFolder, OneOutsideIsReportedAsTheDemoRefusesItAndOneInsideIsListedOnce)
{
    ScratchFolder scratch;
    scratch.Write("store/Thanks/t1.png", "1");
    scratch.Write("loose/Plasma.mat", "plasma");
    ASSERT_EQ(scratch.Run("ln -s ../store/Thanks loose/Thanks"), 0);
    k_FileSystem files(nullptr, scratch.Path().wstring());
    files.UseDirectory(L"loose");
    LogCapture log;
    EXPECT_EQ(files.ListFiles(), std::vector<std::wstring>{L"Plasma.mat"});
    EXPECT_TRUE(log.Has(Log::Level::Error, "Refused a name outside the data folder: Thanks"));
    EXPECT_FALSE(files.OpenFile(L"Thanks/t1.png"));
    EXPECT_TRUE(log.Has(Log::Level::Error, "Refused a name outside the data folder: Thanks/t1.png"));
    ASSERT_EQ(scratch.Run("rm loose/Thanks && mkdir loose/store && mv store/Thanks loose/store/ && "
                          "ln -s store/Thanks loose/Thanks && rm -r store"), 0);
    EXPECT_EQ(files.ListFiles(), (std::vector<std::wstring>{L"Plasma.mat", L"store/Thanks/t1.png"}));
}

// Permissions do not stop root, so these cases need an ordinary user.
TEST(Unreadable, AFileOrFolderWithoutPermissionIsReportedWithTheReason)
{
    ScratchFolder scratch;
    // Asked of the shell, which is the Linux side under Wine too.
    if (scratch.Run("[ \"$(id -u)\" -eq 0 ]") == 0)
        GTEST_SKIP() << "running as root, for whom permissions do not deny reading";
    scratch.Write("loose/Logo.png", "logo");
    scratch.Write("loose/Closed/a.png", "a");
    scratch.Write("loose/Open.mat", "open");
    ASSERT_EQ(scratch.Run("chmod 000 loose/Logo.png && chmod 100 loose/Closed"), 0);
    k_FileSystem files(nullptr, scratch.Path().wstring());
    files.UseDirectory(L"loose");
    LogCapture log;
    EXPECT_EQ(files.ListFiles(), (std::vector<std::wstring>{L"Logo.png", L"Open.mat"}));
    EXPECT_TRUE(log.Has(Log::Level::Error, "Cannot read the folder Closed: Permission denied"));
    EXPECT_FALSE(files.OpenFile(L"Logo.png"));
    EXPECT_TRUE(log.Has(Log::Level::Error, "Cannot open Logo.png: Permission denied"));
    EXPECT_TRUE(files.OpenFile(L"Closed/a.png"));  // named, it still opens: the listing said so
    scratch.Run("chmod 700 loose/Closed");
}

}  // namespace
