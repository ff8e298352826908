// pakbuild: deterministic archives that Python's zipfile and k_FileSystem both read back.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "core/IFile.h"
#include "support/ScratchFolder.h"
#include "resources/k_FileSystem.h"
#include "support/LogCapture.h"

namespace {

const std::string kPakBuild = PAKBUILD_PATH;

std::string Noise(size_t size)
{
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (char& c : bytes) {
        state = state * 1664525u + 1013904223u;
        c = char(state >> 24);
    }
    return bytes;
}

class PakBuild : public testing::Test {
protected:
    void SetUp() override
    {
        scratch.Write("data/Plasma.mat", "pass Plasma\n");
        scratch.Write("data/Hdr/Glow.mat", "pass Hdr\n");
        scratch.Write("data/Common/deep/er/still.glsl", "void main() {}\n");
        scratch.Write("data/empty.txt", "");
        scratch.Write("music/kv-meridian.ogg", Noise(200000));
        scratch.Write("pictures/Upper/Case.PNG", Noise(3000));
        ASSERT_EQ(mkfifo((scratch / "data/pipe").c_str(), 0600), 0);                     // not a file
        std::filesystem::create_symlink("nowhere", scratch / "data/dangling");           // not a file
        std::filesystem::create_symlink("Plasma.mat", scratch / "data/Linked.mat");       // reads as one
    }
    int Build(const std::string& out, const std::string& roots = "data pictures music")
    {
        return scratch.Run("'" + kPakBuild + "' " + out + " " + roots + " > /dev/null 2>&1");
    }

    ScratchFolder scratch;
};

TEST_F(PakBuild, SameSourcesGiveTheSameBytes)
{
    ASSERT_EQ(Build("first.pak"), 0);
    // Newer timestamps and another output name must not change a byte.
    ASSERT_EQ(scratch.Run("touch -d '2031-02-03 04:05:06' data/Plasma.mat music/kv-meridian.ogg"), 0);
    ASSERT_EQ(Build("second.pak"), 0);
    const std::string first = scratch.Read("first.pak");
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, scratch.Read("second.pak"));
}

TEST_F(PakBuild, PythonReadsSortedDeflatedEntriesWithAFixedDate)
{
    ASSERT_EQ(Build("data.pak"), 0);
    ASSERT_EQ(scratch.Python("check.py", R"(
import zipfile
z = zipfile.ZipFile("data.pak")
assert z.testzip() is None, "bad CRC"
names = z.namelist()
expected = ["Common/deep/er/still.glsl", "Hdr/Glow.mat", "Linked.mat", "Plasma.mat", "Upper/Case.PNG",
            "empty.txt", "kv-meridian.ogg"]
assert names == expected, names
for info in z.infolist():
    assert info.compress_type == zipfile.ZIP_DEFLATED, info
    assert info.date_time == (1980, 1, 1, 0, 0, 0), info
assert z.read("Hdr/Glow.mat") == b"pass Hdr\n"
assert z.read("Linked.mat") == b"pass Plasma\n"
assert z.read("kv-meridian.ogg") == open("music/kv-meridian.ogg", "rb").read()
)"), 0);
}

TEST_F(PakBuild, TheFileSystemFindsEveryEntry)
{
    ASSERT_EQ(Build("data.pak"), 0);
    LogCapture log;
    k_FileSystem files(nullptr, scratch.Path().wstring());
    files.MountArchive(L"data.pak");
    std::unique_ptr<IFile> music = files.OpenFile(L"kv-meridian.ogg");
    ASSERT_TRUE(music);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(music->GetData()), music->GetSize()),
              scratch.Read("music/kv-meridian.ogg"));
    EXPECT_TRUE(files.OpenFile(L"upper/case.png"));
    EXPECT_TRUE(files.OpenFile(L"Common/deep/er/still.glsl"));
    std::unique_ptr<IFile> empty = files.OpenFile(L"empty.txt");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->GetSize(), 0u);
    EXPECT_EQ(log.Count(Log::Level::Error), 0);
}

TEST_F(PakBuild, FailedRunsLeaveNoArchiveBehind)
{
    scratch.Write("old.pak", "the previous archive");
    scratch.Write("clash/Plasma.mat", "a second Plasma.mat");
    scratch.Write("case/PLASMA.mat", "found only if sorted first");
    scratch.Write("folders/hdr/Glow.mat", "beside data/Hdr/Glow.mat");
    const char* failing[] = {
        "data missing-root",  // a root that does not exist
        "data clash",         // two roots hold the same name
        "data case",          // names that differ in letter case alone: one could never be read
        "data folders",       // the same, through a folder's name
        "data/Plasma.mat",    // a root that is a file
    };
    for (const char* roots : failing) {
        SCOPED_TRACE(roots);
        EXPECT_NE(Build("old.pak", roots), 0);
        EXPECT_EQ(scratch.Read("old.pak"), "the previous archive");
        EXPECT_NE(Build("new.pak", roots), 0);
        EXPECT_FALSE(std::filesystem::exists(scratch / "new.pak"));
        EXPECT_FALSE(std::filesystem::exists(scratch / "new.pak.partial"));
        EXPECT_FALSE(std::filesystem::exists(scratch / "old.pak.partial"));
    }
}

TEST_F(PakBuild, AnArchiveInsideARootDoesNotPackItself)
{
    ASSERT_EQ(Build("data/data.pak", "data"), 0);
    ASSERT_EQ(Build("data/data.pak", "data"), 0);  // now the old archive lies in the root
    ASSERT_EQ(scratch.Python("check.py", R"(
import zipfile
names = zipfile.ZipFile("data/data.pak").namelist()
assert "data.pak" not in names and "data.pak.partial" not in names, names
)"), 0);
}

}  // namespace
