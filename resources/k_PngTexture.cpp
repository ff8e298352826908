// PNG textures through libpng. libpng reports errors by longjmp, so the decoding function keeps
// every object with a destructor outside its own frame.
#include "resources/k_PngTexture.h"

#include <png.h>
#include <csetjmp>
#include <cstring>
#include <string>

#include "platform/Log.h"
#include "core/IFile.h"
#include "resources/ImageDecode.h"

namespace {

constexpr int kSignatureBytes = 8;
constexpr png_alloc_size_t kMaxChunkBytes = 8 * 1024 * 1024;
constexpr uint64_t kMaxDeflateRatio = 1032;  // deflate cannot expand data further
// Five bytes a name, as libpng takes them: text, profile, suggested palettes and Exif.
const png_byte kUnreadChunks[] = "iCCP\0iTXt\0tEXt\0zTXt\0sPLT\0eXIf";
constexpr int kUnreadChunkCount = 6;

struct PngDecode {
    const unsigned char* data = nullptr;
    size_t size = 0;
    size_t offset = kSignatureBytes;
    DecodedImage* image = nullptr;
    std::vector<png_bytep> rows;
};

void OnError(png_structp png, png_const_charp message)
{
    static_cast<PngDecode*>(png_get_error_ptr(png))->image->error = message;
    png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp message)
{
    static_cast<PngDecode*>(png_get_error_ptr(png))->image->warnings.push_back(message);
}

void ReadBytes(png_structp png, png_bytep out, png_size_t count)
{
    PngDecode* decode = static_cast<PngDecode*>(png_get_io_ptr(png));
    if (count > decode->size - decode->offset) png_error(png, "the data ends early");
    std::memcpy(out, decode->data + decode->offset, count);
    decode->offset += count;
}

bool Decode(PngDecode& decode)
{
    DecodedImage& image = *decode.image;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &decode, OnError, OnWarning);
    if (!png) {
        image.error = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        if (image.error.empty()) image.error = "out of memory";
        return false;
    }
    png_set_read_fn(png, &decode, ReadBytes);
    png_set_sig_bytes(png, kSignatureBytes);
    // The size was checked from the header before; this only backs that up.
    png_set_user_limits(png, png_uint_32(kMaxImageSide), png_uint_32(kMaxImageSide));
    // Text, profiles and unknown chunks are skipped unread, never inflated or kept: libpng would
    // hold up to a thousand of them at 8 MB each, and nothing here reads them.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kUnreadChunks, kUnreadChunkCount);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_read_info(png, info);

    const png_byte colourType = png_get_color_type(png, info);
    const png_byte bitDepth = png_get_bit_depth(png, info);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
        if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    if (bitDepth == 16) png_set_strip_16(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    image.width = static_cast<int>(png_get_image_width(png, info));
    image.height = static_cast<int>(png_get_image_height(png, info));
    image.channels = png_get_channels(png, info);
    if (image.channels != 3 && image.channels != 4) {
        png_destroy_read_struct(&png, &info, nullptr);
        image.error = "grey images without alpha are not supported";
        return false;
    }
    const size_t stride = static_cast<size_t>(image.width) * image.channels;
    image.pixels.resize(stride * image.height);
    decode.rows.resize(image.height);
    for (int r = 0; r < image.height; ++r) decode.rows[r] = &image.pixels[stride * (image.height - 1 - r)];
    png_read_image(png, decode.rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// libpng allocates an ancillary chunk (text, profile) at its declared length before reading
// it, so a 200-byte file could claim gigabytes: every chunk must fit in the data first. And
// the image data must be able to inflate to the declared size, or its pixels are not worth
// allocating.
bool ChunksFit(const unsigned char* data, size_t size, std::string& error)
{
    uint64_t leastRaw = 0;  // the image's rows without filter bytes, from its header
    uint64_t imageData = 0;
    for (size_t offset = kSignatureBytes; size - offset >= 12;) {
        const uint32_t length = png_get_uint_32(data + offset);
        const std::string name(reinterpret_cast<const char*>(data + offset + 4), 4);
        if (length > size - offset - 12) {
            error = "chunk " + name + " declares " + std::to_string(length) + " bytes, more than the file holds";
            return false;
        }
        if (name == "IHDR" && length >= 13) {
            static const int kChannels[] = {1, 0, 3, 1, 2, 0, 4};  // by colour type
            const unsigned char* header = data + offset + 8;
            const int channels = header[9] < 7 ? kChannels[header[9]] : 0;
            const uint64_t bitsPerRow = uint64_t(png_get_uint_32(header)) * header[8] * channels;
            leastRaw = (bitsPerRow + 7) / 8 * png_get_uint_32(header + 4);
            // Told here once with the size; libpng would give two lines without it.
            error = ImageSizeProblem(png_get_uint_32(header), png_get_uint_32(header + 4));
            if (!error.empty())
                return false;
        }
        if (name == "IDAT") imageData += length;
        if (name == "IEND") break;
        offset += 12 + size_t(length);
    }
    if (imageData * kMaxDeflateRatio < leastRaw) {
        error = "the image data (" + std::to_string(imageData) + " bytes) is too short for the image's size";
        return false;
    }
    return true;
}

}  // namespace

k_PngTexture::k_PngTexture(IEngine* engine, const std::wstring& fileName) : k_ImageTexture(engine)
{
    LoadFromArchive(fileName);
}

bool DecodePng(const unsigned char* data, size_t size, DecodedImage& image)
{
    if (size < kSignatureBytes || png_sig_cmp(data, 0, kSignatureBytes) != 0) {
        image.error = "no PNG signature";
        return false;
    }
    if (!ChunksFit(data, size, image.error)) return false;
    PngDecode decode;
    decode.data = data;
    decode.size = size;
    decode.image = &image;
    return Decode(decode);
}

void k_PngTexture::Load(IFile& file)
{
    DecodedImage image;
    const bool decoded = DecodePng(file.GetData(), file.GetSize(), image);
    for (const std::string& warning : image.warnings) Log::Warning() << "PNG " << m_fileName << ": " << warning;
    if (!decoded) Fail("PNG", image.error);
    Upload(image.width, image.height, image.channels, image.pixels);
}
