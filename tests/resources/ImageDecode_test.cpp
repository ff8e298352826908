// The image decoders alone: real files from ImageMagick decode; headers declaring more pixels
// than the budget are refused before any pixel is allocated.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "resources/ImageDecode.h"
#include "support/ScratchFolder.h"

namespace {

// Rewrites the declared size of a PNG (IHDR, CRC fixed) or a baseline JPEG (SOF0) made by
// ImageMagick, keeping its small data: what a hostile file looks like.
const char* const kForge = R"(
import struct, sys, zlib
png = bytearray(open("small.png", "rb").read())
png[16:24] = struct.pack(">II", int(sys.argv[1]), int(sys.argv[2]))
png[29:33] = struct.pack(">I", zlib.crc32(bytes(png[12:29])))
open("big.png", "wb").write(png)
jpg = bytearray(open("small.jpg", "rb").read())
at = jpg.find(b"\xff\xc0")
if max(int(sys.argv[1]), int(sys.argv[2])) <= 65535:  # what a JPEG side can be
    jpg[at+5:at+9] = struct.pack(">HH", int(sys.argv[2]), int(sys.argv[1]))
    open("big.jpg", "wb").write(jpg)
)";

TEST(ImageDecode, ImagesAboveThePixelBudgetAreRefusedFromTheirHeader)
{
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Run("convert -size 64x32 xc:orange -define png:color-type=2 small.png && "
                          "convert -size 64x32 xc:orange small.jpg"),
              0);
    for (const char* const size : {"16384 16384", "4097 4097"}) {
        SCOPED_TRACE(size);
        scratch.Write("forge.py", kForge);
        ASSERT_EQ(scratch.Run(std::string("python3 forge.py ") + size), 0);
        for (const std::string name : {"big.png", "big.jpg"}) {
            const std::string data = scratch.Read(name);
            const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
            DecodedImage image;
            const bool decoded = name == "big.png" ? DecodePng(bytes, data.size(), image) : DecodeJpeg(bytes, data.size(), image);
            EXPECT_FALSE(decoded) << name;
            EXPECT_NE(image.error.find("pixels, more than the 16777216 an image may have"), std::string::npos)
                << name << ": " << image.error;
            EXPECT_TRUE(image.pixels.empty());
        }
    }
    for (const std::string name : {"small.png", "small.jpg"}) {
        const std::string data = scratch.Read(name);
        DecodedImage image;
        const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
        ASSERT_TRUE(name == "small.png" ? DecodePng(bytes, data.size(), image) : DecodeJpeg(bytes, data.size(), image))
            << image.error;
        EXPECT_EQ(image.width, 64);
        EXPECT_EQ(image.height, 32);
        EXPECT_EQ(image.pixels.size(), size_t(64 * 32 * image.channels));
    }
}

TEST(ImageDecode, ASideOverTheLimitIsNamedWithTheSizeOnce)
{
    // Few pixels, one side too long: the message names the side, not the pixel budget, and libpng's
    // two lines for the one problem are not heard.
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Run("convert -size 64x32 xc:orange -define png:color-type=2 small.png && "
                          "convert -size 64x32 xc:orange small.jpg"),
              0);
    scratch.Write("forge.py", kForge);
    for (const char* const size : {"1 65536", "1 65500", "16385 1"}) {
        SCOPED_TRACE(size);
        ASSERT_EQ(scratch.Run(std::string("rm -f big.jpg && python3 forge.py ") + size), 0);
        const std::string side = std::string(size).replace(std::string(size).find(' '), 1, " x ");
        for (const std::string name : {"big.png", "big.jpg"}) {
            if (!std::filesystem::exists(scratch / name)) continue;
            const std::string data = scratch.Read(name);
            const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
            DecodedImage image;
            EXPECT_FALSE(name == "big.png" ? DecodePng(bytes, data.size(), image) : DecodeJpeg(bytes, data.size(), image));
            EXPECT_EQ(image.error, "the image has " + side + " pixels, a side longer than the 16384 an image may have")
                << name;
            EXPECT_TRUE(image.warnings.empty()) << name << ": " << image.warnings.front();
        }
    }
}

TEST(ImageDecode, TextAndProfileChunksAreSkippedUnread)
{
    // Damaged compressed text and profile chunks: libpng warns about each when it inflates them.
    // Skipped, the image decodes without a word, as it must when they inflate to megabytes.
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Run("convert -size 64x32 xc:orange -define png:color-type=2 small.png"), 0);
    ASSERT_EQ(scratch.Python("chunks.py", R"(
import struct, zlib
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
png = open("small.png", "rb").read()
at = png.find(b"IDAT") - 4
extra = chunk(b"zTXt", b"Comment\0\0" + b"not deflate data") + chunk(b"iCCP", b"icc\0\0" + b"broken") + \
        chunk(b"iTXt", b"Title\0\1\0\0\0" + b"not deflate") + chunk(b"tEXt", b"Author\0someone") + \
        chunk(b"zTXt", b"Big\0\0" + zlib.compress(bytes(7900000), 9))
open("text.png", "wb").write(png[:at] + extra * 4 + png[at:])
)"), 0);
    const std::string data = scratch.Read("text.png");
    DecodedImage image;
    ASSERT_TRUE(DecodePng(reinterpret_cast<const unsigned char*>(data.data()), data.size(), image)) << image.error;
    EXPECT_TRUE(image.warnings.empty()) << image.warnings.front();
    EXPECT_EQ(image.width, 64);
    EXPECT_EQ(image.pixels.size(), size_t(64 * 32 * 3));
}

TEST(ImageDecode, ATruncatedJpegIsRefusedWithTheDecodersReason)
{
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Run("convert -size 256x256 plasma:fractal -seed 3 whole.jpg && "
                          "head -c $(( $(stat -c %s whole.jpg) / 2 )) whole.jpg > half.jpg"),
              0);
    const std::string whole = scratch.Read("whole.jpg");
    const std::string half = scratch.Read("half.jpg");
    DecodedImage image;
    ASSERT_TRUE(DecodeJpeg(reinterpret_cast<const unsigned char*>(whole.data()), whole.size(), image)) << image.error;
    image = DecodedImage();
    EXPECT_FALSE(DecodeJpeg(reinterpret_cast<const unsigned char*>(half.data()), half.size(), image));
    EXPECT_EQ(image.error, "Premature end of JPEG file");
    EXPECT_TRUE(image.warnings.empty()) << "the reason is told once, as the error";
}

TEST(ImageDecode, APngWhoseDataCannotFillItsSizeIsRefusedBeforeItsPixelsAreAllocated)
{
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Run("convert -size 64x32 xc:orange -define png:color-type=2 small.png && "
                          "convert -size 64x32 xc:orange small.jpg"),
              0);
    scratch.Write("forge.py", kForge);
    ASSERT_EQ(scratch.Run("python3 forge.py 4000 4000"), 0);  // within the budget
    const std::string data = scratch.Read("big.png");
    DecodedImage image;
    EXPECT_FALSE(DecodePng(reinterpret_cast<const unsigned char*>(data.data()), data.size(), image));
    EXPECT_NE(image.error.find("is too short for the image's size"), std::string::npos) << image.error;
}

TEST(ImageDecode, AChunkClaimingGigabytesIsRefusedBeforeItIsAllocated)
{
    // Found by the PNG fuzz target: 218 bytes whose text chunk declares 1.95 GB.
    const char* source = std::getenv("KORVANTA_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Run(std::string("cp '") + source + "/tests/corpus/png/fuzz-text-chunk-claims-2gb.png' big.png"), 0);
    const std::string data = scratch.Read("big.png");
    DecodedImage image;
    EXPECT_FALSE(DecodePng(reinterpret_cast<const unsigned char*>(data.data()), data.size(), image));
    EXPECT_EQ(image.error, "chunk tEXt declares 1951551059 bytes, more than the file holds");
}

TEST(ImageDecode, AProgressiveJpegOfTooManyScansIsRefused)
{
    // A real progressive file, then its first scan header repeated before the end marker: each
    // empty scan is a pass over the whole image (10,000 of them, 140 KB, took 17 s).
    ScratchFolder scratch;
    ASSERT_EQ(scratch.Run("convert -size 256x256 plasma:fractal -interlace JPEG progressive.jpg"), 0);
    ASSERT_EQ(scratch.Python("repeat.py", R"(
data = open("progressive.jpg", "rb").read()
sos = data.find(b"\xff\xda")
header = data[sos:sos + 2 + int.from_bytes(data[sos + 2:sos + 4], "big")]
scans = data.count(b"\xff\xda")
for name, extra in (("most.jpg", 100 - scans), ("more.jpg", 101 - scans), ("many.jpg", 10000)):
    open(name, "wb").write(data[:-2] + header * extra + data[-2:])
)"), 0);
    struct Case {
        const char* file;
        bool decodes;
    };
    for (const Case c : {Case{"progressive.jpg", true}, Case{"most.jpg", true}, Case{"more.jpg", false},
                         Case{"many.jpg", false}}) {
        SCOPED_TRACE(c.file);
        const std::string data = scratch.Read(c.file);
        DecodedImage image;
        EXPECT_EQ(DecodeJpeg(reinterpret_cast<const unsigned char*>(data.data()), data.size(), image), c.decodes)
            << image.error;
        if (!c.decodes) {
            EXPECT_EQ(image.error, "the image has more than 100 scans, the most an image may have");
        }
    }
}

}  // namespace
