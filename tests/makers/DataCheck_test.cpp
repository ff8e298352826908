// "meridian --check-data": the project's own archive is clean, and each kind of broken content
// is reported with its file (and line) and fails the check.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

#include "support/ScratchFolder.h"

namespace {

struct Result {
    int exitCode = -1;
    std::string output;
};

Result Check(const std::string& path)
{
    Result result;
    FILE* pipe = popen(("'" MERIDIAN_PATH "' --check-data '" + path + "' 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    for (size_t read; (read = fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, read);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// A short tune made by oggenc, written into folder under name.
void WriteTune(const ScratchFolder& folder, const std::string& name)
{
    ASSERT_EQ(folder.EncodeTune(name, 1, 22050, 0.25), 0);
}

const char* const kShaders = "vertexshader v {{\nvoid main() { gl_Position = gl_Vertex; }\n}}\n"
                             "pixelshader p {{\nvoid main() { gl_FragColor = vec4(1.0); }\n}}\n";

TEST(DataCheckTest, TheProjectsArchiveIsClean)
{
    const char* build = std::getenv("KORVANTA_BUILD_DIR");
    ASSERT_NE(build, nullptr);
    const Result result = Check(std::string(build) + "/data.pak");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find(" 0 errors, 0 warnings."), std::string::npos) << result.output;
}

TEST(DataCheckTest, ACleanFolderPasses)
{
    ScratchFolder folder;
    folder.Write("Plasma.mat", std::string(kShaders) + "material {\ntarget Plasma\nuseshader v\nuseshader p\n"
                                                       "loadtexture 0 Pictures/p.png\n}\n");
    folder.Write("Shaders/plain.vs", "void main() { gl_Position = gl_Vertex; }\n");
    WriteTune(folder, "kv-meridian.ogg");
    ASSERT_EQ(folder.Run("mkdir -p Pictures && convert -size 8x8 xc:teal -define png:color-type=2 Pictures/p.png"
                         " && convert -size 8x8 xc:teal Pictures/q.jpg"),
              0);
    const Result result = Check(folder.Path().string());
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("Checked 1 materials, 1 shaders, 2 images and 1 tunes"), std::string::npos)
        << result.output;
}

TEST(DataCheckTest, BrokenContentFailsWithItsFileAndLine)
{
    struct Case {
        const char* what;
        const char* file;
        std::string content;
        const char* reported;
    } cases[] = {
        {"GLSL error", "Broken.mat", "\n\npixelshader p {{\nvoid main() {\n  gl_FragColor = nothing;\n}\n}}\n"
                                     "material {\nuseshader p\n}\n",
         "Broken.mat: error: 0:5("},
        {"short colour", "Colour.mat", std::string(kShaders) + "material {\nuseshader p\nambient 1 1 1\n}\n",
         "Colour.mat: warning: MaterialLoader: Missing values for ambient, line ignored (Colour.mat:9)"},
        {"unknown key", "Key.mat", std::string(kShaders) + "material {\nuseshader p\nblend true\n}\n",
         "Key.mat: warning: MaterialLoader: Unknown contenttype: blend (Key.mat:9)"},
        {"topology", "Geo.mat", "geometryshader g Triangles TriangleStrip 3 {{\nvoid main() {}\n}}\n",
         "Geo.mat: error: Invalid value passed to r_PrimitiveTopology::Parse! Unknown topology: Triangles (Geo.mat:1)"},
        {"no shaders", "Empty.mat", "material {\n}\n", "Empty.mat: error: MaterialLoader: No shaders definied. (Empty.mat:2)"},
        {"missing texture", "Tex.mat", std::string(kShaders) + "material {\nuseshader p\nloadtexture 0 gone.png\n}\n",
         "Tex.mat: error: MaterialLoader: Texture gone.png not loaded (Tex.mat:9)"},
        {"link error", "Link.mat",
         "vertexshader v {{\nvarying vec2 uv;\nvoid main() { gl_Position = gl_Vertex; uv = vec2(0.0); }\n}}\n"
         "pixelshader p {{\nvarying vec3 uv;\nvoid main() { gl_FragColor = vec4(uv, 1.0); }\n}}\n"
         "material {\nuseshader v\nuseshader p\n}\n",
         "Link.mat: error: the program of the pass for '' does not link"},
        {"include cycle", "Loop.mat", std::string(kShaders) + "include {\nLoop.mat\n}\nmaterial {\nuseshader p\n}\n",
         "Loop.mat: warning: MaterialLoader: Include cycle: Loop.mat is already being loaded (Loop.mat:8)"},
        {"corrupt image", "bad.png", "\x89PNG\r\n\x1a\nnot really", "bad.png: error: Cannot decode PNG file bad.png"},
        {"upper-case extension", "Photo.JPG", "", "Photo.JPG: error: image extensions must be lower-case"},
        {"empty material", "Nothing.mat", "", "Nothing.mat: warning: MaterialLoader: The file holds no section (Nothing.mat)"},
        {"unclosed material", "Open.mat", std::string(kShaders) + "material {\nuseshader p\n",
         "Open.mat: warning: MaterialLoader: Section material opened on line 7 is never closed, ignored (Open.mat:8)"},
        {"unclosed shader", "OpenShader.mat", "pixelshader p {{\nvoid main() {}\n",
         "OpenShader.mat: warning: MaterialLoader: Section pixelshader opened on line 1 is never closed"},
        {"missing include", "Inc.mat", std::string(kShaders) + "include {\nGone.mat\n}\nmaterial {\nuseshader p\n}\n",
         "Inc.mat: error: MaterialLoader: Include not found: Gone.mat (Inc.mat:8)"},
        {"garbage music", "kv-meridian.ogg", std::string(3000, 'g'),
         "kv-meridian.ogg: error: the tune cannot be played in full: not an Ogg Vorbis stream"},
        {"empty music", "kv-meridian.ogg", "", "kv-meridian.ogg: error: the tune cannot be played in full"},
        {"missing music", "", "", "kv-meridian.ogg: error: the music is missing"},
    };
    for (const Case& c : cases) {
        ScratchFolder folder;
        const std::string file = c.file;
        if (file.size() != 0 && file != "kv-meridian.ogg") WriteTune(folder, "kv-meridian.ogg");
        if (file.size() != 0) folder.Write(c.file, c.content);
        if (std::string(c.file) == "Photo.JPG") {
            ASSERT_EQ(folder.Run("convert -size 8x8 xc:red jpg:Photo.JPG"), 0);
        }
        const Result result = Check(folder.Path().string());
        EXPECT_EQ(result.exitCode, 1) << c.what << "\n" << result.output;
        EXPECT_NE(result.output.find(c.reported), std::string::npos) << c.what << "\n" << result.output;
    }
}

TEST(DataCheckTest, AnArchiveWithADamagedDirectoryFails)
{
    ScratchFolder folder;
    WriteTune(folder, "kv-meridian.ogg");
    ASSERT_EQ(folder.Python("make.py", R"(
import zipfile
with zipfile.ZipFile("data.pak", "w") as z:
    z.write("kv-meridian.ogg")
    for i in range(36):
        z.writestr("Shaders/s%02d.vs" % i, "void main() { gl_Position = gl_Vertex; }\n")
data = bytearray(open("data.pak", "rb").read())
second = data.find(b"PK\x01\x02", data.find(b"PK\x01\x02") + 4)
data[second:second + 4] = b"XXXX"
open("data.pak", "wb").write(data)
)"), 0);
    const Result result = Check((folder.Path() / "data.pak").string());
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_NE(result.output.find("error: The archive's directory is damaged: 1 of its 37 entries can be read"),
              std::string::npos)
        << result.output;
}

TEST(DataCheckTest, AMissingPathFails)
{
    const Result result = Check("/nonexistent/data.pak");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("neither a folder nor a readable archive"), std::string::npos) << result.output;
}

// Archives whose entries are built by Python around a real tune (tune.ogg, made first).
const char* const kPack = R"(
import sys, zipfile, zlib
def crc(data):  # Ogg's CRC-32: polynomial 0x04c11db7, not reflected
    value = 0
    for byte in data:
        value ^= byte << 24
        for _ in range(8):
            value = ((value << 1) ^ 0x04C11DB7 if value & 0x80000000 else value << 1) & 0xFFFFFFFF
    return value
tune = open("tune.ogg", "rb").read()
def rate(hz):  # the identification header's rate, page 0's checksum set again
    page = bytearray(tune[:58])
    page[40:44] = hz.to_bytes(4, "little")
    page[22:26] = bytes(4)
    page[22:26] = crc(page).to_bytes(4, "little")
    return bytes(page) + tune[58:]
case = sys.argv[1]
with zipfile.ZipFile("data.pak", "w", zipfile.ZIP_DEFLATED) as z:
    if case == "junk":
        with z.open("kv-meridian.ogg", "w") as entry:
            entry.write(tune)
            for _ in range(32):
                entry.write(bytes(1 << 20))
    elif case == "1 Hz":
        z.writestr("kv-meridian.ogg", rate(1))
    elif case == "4294967295 Hz":
        z.writestr("kv-meridian.ogg", rate(4294967295))
    else:
        z.writestr("kv-meridian.ogg", tune)
    if case == "duplicate":
        z.writestr("Shaders/plain.vs", "void main() { gl_Position = gl_Vertex; }\n")
        z.writestr("shaders/PLAIN.vs", "void main() { gl_Position = gl_Vertex; }\n")
    if case == "huge":
        with z.open("Big.mat", "w") as entry:
            for _ in range(200):
                entry.write(bytes(1000000))
)";

TEST(DataCheckTest, WhatAnArchiveHidesIsReported)
{
    struct Case {
        const char* what;
        const char* reported;
    } cases[] = {
        {"junk", "kv-meridian.ogg: warning: The tune has 33554432 bytes after the last page of the stream, from byte "},
        {"1 Hz", "kv-meridian.ogg: error: the tune cannot be played in full: link 0 has 1 channels at 1 Hz; 8000 to "
                 "384000 Hz can be played"},
        {"4294967295 Hz", "Hz; 8000 to 384000 Hz can be played"},
        {"duplicate", "warning: The archive holds a second entry named shaders/PLAIN.vs; only the first can be opened"},
        {"huge", "Big.mat: error: File is too large to load (200000000 bytes, at most 67108864): Big.mat"},
    };
    ScratchFolder folder;
    WriteTune(folder, "tune.ogg");
    folder.Write("pack.py", kPack);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(folder.Run(std::string("python3 pack.py '") + c.what + "'"), 0);
        const Result result = Check((folder.Path() / "data.pak").string());
        EXPECT_EQ(result.exitCode, 1) << result.output;
        EXPECT_NE(result.output.find(c.reported), std::string::npos) << result.output;
    }
}

TEST(DataCheckTest, LinksInAFolderAreCheckedAsTheDemoOpensThem)
{
    ScratchFolder outside;
    ASSERT_EQ(outside.Run("mkdir -p Thanks && convert -size 8x8 xc:teal -define png:color-type=2 Thanks/t.png"), 0);
    ScratchFolder folder;
    WriteTune(folder, "kv-meridian.ogg");
    ASSERT_EQ(folder.Run("mkdir -p Pictures && convert -size 8x8 xc:teal -define png:color-type=2 Pictures/p.png && "
                         "ln -s '" + outside.Path().string() + "/Thanks/t.png' x.mat && ln -s '" + outside.Path().string() +
                         "/Thanks' Thanks && "
                         "ln -s missing.png gone.png && ln -s Pictures/p.png same.png && ln -s Pictures Again"),
              0);
    const Result result = Check(folder.Path().string());
    EXPECT_EQ(result.exitCode, 1) << result.output;
    for (const char* reported : {"x.mat: error: Refused a name outside the data folder: x.mat",
                                 "error: Refused a name outside the data folder: Thanks",
                                 "gone.png: error: Cannot open gone.png: it is a link to a file that does not exist",
                                 "Checked 1 materials, 0 shaders, 3 images and 1 tunes"})
        EXPECT_NE(result.output.find(reported), std::string::npos) << reported << "\n" << result.output;
    EXPECT_EQ(result.output.find("same.png: error"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("Again"), std::string::npos) << result.output;  // walked as Pictures
}

}  // namespace
