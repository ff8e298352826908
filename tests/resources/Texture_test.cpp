// PNG and JPEG textures decoded from files that ImageMagick writes, read back from GL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "core/IResourceFactory.h"
#include "core/ITexture.h"
#include "support/ScratchFolder.h"
#include "resources/k_TextureBase.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"

namespace {

struct Texels {
    int width = 0;
    int height = 0;
    int alphaBits = 0;
    std::vector<unsigned char> rgba;  // level 0, bottom row first as GL stores it

    const unsigned char* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

class TextureTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        engine->GetFileSystem()->UseDirectory(Text::FromUtf8(folder.Path().string()));
    }

    // Writes a file with ImageMagick's convert.
    void Convert(const std::string& arguments)
    {
        ASSERT_EQ(folder.Run("convert " + arguments), 0) << arguments;
    }

    ITexture* Load(const std::string& file)
    {
        const std::wstring name = Text::FromUtf8(file);
        return engine->GetResourceFactory()->LoadTexture(name, name);
    }

    static Texels Read(ITexture* texture)
    {
        Texels texels;
        texture->Bind(0);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texels.width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texels.height);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &texels.alphaBits);
        texels.rgba.resize(static_cast<size_t>(texels.width) * texels.height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.rgba.data());
        return texels;
    }

    // The PNG colour type and bit depth from the header, to be sure what the encoder wrote.
    std::pair<int, int> PngTypeAndDepth(const std::string& file)
    {
        const std::string bytes = folder.Read(file);
        if (bytes.size() < 26) return {-1, -1};
        return {static_cast<unsigned char>(bytes[25]), static_cast<unsigned char>(bytes[24])};
    }

    ScratchFolder folder;
};

std::vector<int> Rgba(const unsigned char* texel) { return {texel[0], texel[1], texel[2], texel[3]}; }

TEST_F(TextureTest, PaletteWithTransparencyBecomesRgba)
{
    // The top-left pixel is transparent; GL's row 1 is the image's top row.
    Convert("-size 2x2 xc:red -alpha set -region 1x1+0+0 -alpha transparent +region PNG8:palette-alpha.png");
    ASSERT_EQ(PngTypeAndDepth("palette-alpha.png").first, 3);
    ASSERT_NE(folder.Read("palette-alpha.png").find("tRNS"), std::string::npos);
    ITexture* texture = Load("palette-alpha.png");
    ASSERT_NE(texture, nullptr);
    const Texels texels = Read(texture);
    EXPECT_GT(texels.alphaBits, 0);
    EXPECT_EQ(Rgba(texels.At(0, 1))[3], 0);
    EXPECT_EQ(Rgba(texels.At(1, 1)), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(Rgba(texels.At(0, 0)), (std::vector<int>{255, 0, 0, 255}));
}

TEST_F(TextureTest, PaletteWithoutTransparencyBecomesRgb)
{
    // Two pixels wide: rows of 6 bytes catch an upload that assumes 4-byte aligned rows.
    Convert("-size 2x2 xc:red -fill blue -draw 'point 1,0' PNG8:palette.png");
    ASSERT_EQ(PngTypeAndDepth("palette.png").first, 3);
    ITexture* texture = Load("palette.png");
    ASSERT_NE(texture, nullptr);
    const Texels texels = Read(texture);
    EXPECT_EQ(texels.alphaBits, 0);
    EXPECT_EQ(Rgba(texels.At(1, 1)), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(Rgba(texels.At(0, 1)), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(Rgba(texels.At(1, 0)), (std::vector<int>{255, 0, 0, 255}));
}

TEST_F(TextureTest, LowDepthPaletteExpands)
{
    Convert("-size 4x2 xc:red -fill lime -draw 'point 3,1' -define png:bit-depth=2 -define png:color-type=3 "
            "palette2.png");
    ASSERT_EQ(PngTypeAndDepth("palette2.png"), (std::pair<int, int>{3, 2}));
    ITexture* texture = Load("palette2.png");
    ASSERT_NE(texture, nullptr);
    const Texels texels = Read(texture);
    EXPECT_EQ(Rgba(texels.At(3, 0)), (std::vector<int>{0, 255, 0, 255}));
    EXPECT_EQ(Rgba(texels.At(0, 1)), (std::vector<int>{255, 0, 0, 255}));
}

TEST_F(TextureTest, SixteenBitRgbaBecomesEightBit)
{
    Convert("-size 4x2 xc:'rgba(255,128,0,0.5)' -depth 16 PNG64:rgba16.png");
    ASSERT_EQ(PngTypeAndDepth("rgba16.png"), (std::pair<int, int>{6, 16}));
    ITexture* texture = Load("rgba16.png");
    ASSERT_NE(texture, nullptr);
    const Texels texels = Read(texture);
    const std::vector<int> texel = Rgba(texels.At(2, 1));
    EXPECT_EQ(texel[0], 255);
    EXPECT_NEAR(texel[1], 128, 1);
    EXPECT_EQ(texel[2], 0);
    EXPECT_NEAR(texel[3], 128, 1);
}

TEST_F(TextureTest, GreyWithAlphaBecomesRgba)
{
    for (const char* depth : {"8", "16"}) {
        const std::string file = std::string("grey-alpha") + depth + ".png";
        Convert("-size 4x2 xc:'graya(25%,0.5)' -depth " + std::string(depth) + " -define png:color-type=4 " + file);
        ASSERT_EQ(PngTypeAndDepth(file).first, 4);
        ITexture* texture = Load(file);
        ASSERT_NE(texture, nullptr) << file;
        const std::vector<int> texel = Rgba(Read(texture).At(0, 0));
        EXPECT_NEAR(texel[0], 64, 1) << file;
        EXPECT_EQ(texel[1], texel[0]) << file;
        EXPECT_EQ(texel[2], texel[0]) << file;
        EXPECT_NEAR(texel[3], 128, 1) << file;
    }
}

TEST_F(TextureTest, PlainGreyIsRejected)
{
    for (const char* depth : {"2", "8", "16"}) {
        const std::string file = std::string("grey") + depth + ".png";
        Convert("-size 4x2 xc:gray50 -depth " + std::string(depth) + " -define png:bit-depth=" + depth +
                " -define png:color-type=0 " + file);
        ASSERT_EQ(PngTypeAndDepth(file), (std::pair<int, int>{0, std::stoi(depth)}));
        LogCapture log;
        EXPECT_EQ(Load(file), nullptr) << file;
        EXPECT_TRUE(log.Contains("Cannot decode PNG file " + file)) << file;
    }
}

TEST_F(TextureTest, PngAndJpegOfOnePictureAreFlippedAgainstEachOther)
{
    // White upper half, black lower half.
    Convert("-size 4x4 xc:black -fill white -draw 'rectangle 0,0 3,1' -define png:color-type=2 picture.png");
    Convert("-size 4x4 xc:black -fill white -draw 'rectangle 0,0 3,1' -quality 100 picture.jpg");
    ITexture* png = Load("picture.png");
    ITexture* jpeg = Load("picture.jpg");
    ASSERT_NE(png, nullptr);
    ASSERT_NE(jpeg, nullptr);
    const Texels fromPng = Read(png);
    const Texels fromJpeg = Read(jpeg);
    // GL row 0 is the first row uploaded: the bottom row for PNG, the top row for JPEG.
    EXPECT_EQ(Rgba(fromPng.At(1, 0)), (std::vector<int>{0, 0, 0, 255}));
    EXPECT_EQ(Rgba(fromPng.At(1, 3)), (std::vector<int>{255, 255, 255, 255}));
    EXPECT_GT(fromJpeg.At(1, 0)[0], 230);
    EXPECT_LT(fromJpeg.At(1, 3)[0], 25);
}

TEST_F(TextureTest, GreyJpegIsConvertedToRgb)
{
    Convert("-size 4x2 xc:gray50 -colorspace Gray -type Grayscale -quality 100 grey.jpg");
    ASSERT_EQ(folder.Run("identify -format '%[colorspace]' grey.jpg | grep -q Gray"), 0);
    ITexture* texture = Load("grey.jpg");
    ASSERT_NE(texture, nullptr);
    const Texels texels = Read(texture);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            const std::vector<int> texel = Rgba(texels.At(x, y));
            EXPECT_NEAR(texel[0], 128, 2);
            EXPECT_EQ(texel[1], texel[0]);
            EXPECT_EQ(texel[2], texel[0]);
        }
}

TEST_F(TextureTest, EveryImageTextureReportsFormatTwoWithMipmaps)
{
    Convert("-size 8x4 xc:navy -define png:color-type=2 rgb.png");
    Convert("-size 8x4 xc:'rgba(0,0,128,0.5)' -define png:color-type=6 rgba.png");
    Convert("-size 8x4 xc:navy rgb.jpg");
    for (const char* file : {"rgb.png", "rgba.png", "rgb.jpg"}) {
        ITexture* texture = Load(file);
        ASSERT_NE(texture, nullptr) << file;
        EXPECT_EQ(texture->GetFormat(), 2) << file;
        EXPECT_TRUE(texture->HasMipmaps()) << file;
        EXPECT_EQ(texture->GetWidth(), 8) << file;
        EXPECT_EQ(texture->GetHeight(), 4) << file;
        GLint levels = 0;
        texture->Bind(0);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &levels);
        EXPECT_EQ(levels, 1) << file << ": the mipmap chain reaches 1 pixel";
    }
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureTest, BindSelectsTheUnitAndEnablesTexturing)
{
    Convert("-size 4x4 xc:navy -define png:color-type=2 bind.png");
    ITexture* texture = Load("bind.png");
    ASSERT_NE(texture, nullptr);
    texture->Bind(3);
    GLint active = 0, bound = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(active, GL_TEXTURE0 + 3);
    EXPECT_EQ(static_cast<unsigned>(bound), static_cast<k_TextureBase*>(texture)->GetTextureObject());
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(TextureTest, DamagedFilesFailWithoutEndingTheProcess)
{
    Convert("-size 64x64 plasma:fractal -define png:color-type=2 whole.png");
    Convert("-size 64x64 plasma:fractal whole.jpg");
    const std::string png = folder.Read("whole.png");
    const std::string jpeg = folder.Read("whole.jpg");
    struct Case {
        const char* file;
        std::string bytes;
        const char* logged;
    } cases[] = {
        {"truncated.png", png.substr(0, png.size() / 2), "Cannot decode PNG file truncated.png"},
        {"header-only.png", png.substr(0, 20), "Cannot decode PNG file header-only.png"},
        {"no-signature.png", "GIF89a" + png.substr(6), "Cannot decode PNG file no-signature.png"},
        {"crc.png", png.substr(0, 30) + "X" + png.substr(31), "Cannot decode PNG file crc.png"},
        {"corrupt.jpg", jpeg.substr(0, 2) + std::string(200, '\x55'), "Cannot decode JPEG file corrupt.jpg"},
        {"not-a.jpg", "plain text", "Cannot decode JPEG file not-a.jpg"},
        {"empty.jpg", "", "Cannot decode JPEG file empty.jpg"},
    };
    for (const Case& c : cases) {
        folder.Write(c.file, c.bytes);
        LogCapture log;
        EXPECT_EQ(Load(c.file), nullptr) << c.file;
        EXPECT_TRUE(log.Contains(c.logged)) << c.file;
    }
    EXPECT_NE(Load("whole.png"), nullptr) << "the decoders still work afterwards";
    EXPECT_NE(Load("whole.jpg"), nullptr);
}

TEST_F(TextureTest, TruncatedJpegIsRefusedWithTheDecodersReason)
{
    // libjpeg fills a picture that ends early with grey and only warns: a corrupt picture, not shown.
    Convert("-size 64x64 plasma:fractal whole.jpg");
    const std::string jpeg = folder.Read("whole.jpg");
    folder.Write("short.jpg", jpeg.substr(0, jpeg.size() * 2 / 3));
    LogCapture log;
    EXPECT_EQ(Load("short.jpg"), nullptr);
    EXPECT_TRUE(log.Has(Log::Level::Error, "Cannot decode JPEG file short.jpg: Premature end of JPEG file"));
    EXPECT_EQ(log.Count(Log::Level::Warning), 0) << "the reason is told once";
}

TEST_F(TextureTest, MissingFileIsLogged)
{
    LogCapture log;
    EXPECT_EQ(Load("nowhere.png"), nullptr);
    EXPECT_TRUE(log.Contains("Cannot read from file: nowhere.png"));
}

}  // namespace
