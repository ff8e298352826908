// The image decoders alone: real files from ImageMagick decode; headers declaring more pixels
// than the budget are refused before any pixel is allocated.
#include <gtest/gtest.h>

#include <cstdlib>
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
