// JPEG textures through libjpeg. The library's fatal errors return here by longjmp instead of
// ending the process, so the decoding function keeps objects with destructors outside its frame.
#include "resources/k_JpegTexture.h"

#include <cstdio>  // jpeglib.h needs FILE
#include <csetjmp>
#include <jpeglib.h>
#include <jerror.h>
#include <memory>
#include <string>

#include "platform/Log.h"
#include "core/IFile.h"
#include "resources/ImageDecode.h"

namespace {

struct JpegDecode {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    jpeg_progress_mgr progress;
    std::jmp_buf failed;
    DecodedImage* image = nullptr;
};

JpegDecode* DecodeOf(j_common_ptr info) { return reinterpret_cast<JpegDecode*>(info->client_data); }

void OnError(j_common_ptr info)
{
    char message[JMSG_LENGTH_MAX];
    info->err->format_message(info, message);
    DecodeOf(info)->image->error = message;
    std::longjmp(DecodeOf(info)->failed, 1);
}

void OnMessage(j_common_ptr info)
{
    char message[JMSG_LENGTH_MAX];
    info->err->format_message(info, message);
    DecodeOf(info)->image->warnings.push_back(message);
}

// Warnings that mean rows are missing or wrong: the library fills them in grey and goes on. A
// scan that ends before its data (JWRN_HIT_MARKER) is not among them: an empty scan is harmless.
bool MeansDamage(int code)
{
    return code == JWRN_JPEG_EOF || code == JWRN_HUFF_BAD_CODE || code == JWRN_MUST_RESYNC;
}

// Only warnings (level -1) are kept, the first of them; trace messages are dropped. The first
// warning of damage becomes the reason the image is refused once it is decoded, and what follows
// it is its consequence.
void OnEmit(j_common_ptr info, int level)
{
    DecodedImage& image = *DecodeOf(info)->image;
    if (level >= 0 || !image.error.empty()) return;
    if (MeansDamage(info->err->msg_code)) {
        char message[JMSG_LENGTH_MAX];
        info->err->format_message(info, message);
        image.error = message;
        return;
    }
    if (info->err->num_warnings++ == 0) OnMessage(info);
}

// Each scan of a progressive image passes over all of it again, so a file that repeats a short
// scan header thousands of times would take seconds per 100 KB: stopped at the scan budget.
void OnProgress(j_common_ptr info)
{
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number <= kMaxJpegScans)
        return;
    DecodeOf(info)->image->error =
        "the image has more than " + std::to_string(kMaxJpegScans) + " scans, the most an image may have";
    std::longjmp(DecodeOf(info)->failed, 1);
}

bool Decode(JpegDecode& decode, const unsigned char* data, unsigned long size)
{
    DecodedImage& image = *decode.image;
    decode.info.err = jpeg_std_error(&decode.errors);
    decode.errors.error_exit = OnError;
    decode.errors.output_message = OnMessage;
    decode.errors.emit_message = OnEmit;
    if (setjmp(decode.failed)) {
        jpeg_destroy_decompress(&decode.info);
        return false;
    }
    decode.info.client_data = &decode;
    jpeg_create_decompress(&decode.info);
    decode.progress.progress_monitor = OnProgress;
    decode.info.progress = &decode.progress;
    jpeg_mem_src(&decode.info, data, size);
    jpeg_read_header(&decode.info, TRUE);
    if (decode.info.jpeg_color_space == JCS_GRAYSCALE) decode.info.out_color_space = JCS_RGB;
    if (std::string problem = ImageSizeProblem(decode.info.image_width, decode.info.image_height); !problem.empty()) {
        image.error = problem;
        jpeg_destroy_decompress(&decode.info);
        return false;
    }
    jpeg_start_decompress(&decode.info);
    if (decode.info.output_components != 3) {
        image.error = "only RGB and grey-scale images are supported";
        jpeg_destroy_decompress(&decode.info);
        return false;
    }
    image.width = static_cast<int>(decode.info.output_width);
    image.height = static_cast<int>(decode.info.output_height);
    image.channels = 3;
    const size_t stride = static_cast<size_t>(image.width) * 3;
    image.pixels.resize(stride * image.height);
    while (decode.info.output_scanline < decode.info.output_height) {
        JSAMPROW row = &image.pixels[stride * decode.info.output_scanline];
        jpeg_read_scanlines(&decode.info, &row, 1);
    }
    jpeg_finish_decompress(&decode.info);
    jpeg_destroy_decompress(&decode.info);
    return image.error.empty();
}

}  // namespace

bool DecodeJpeg(const unsigned char* data, size_t size, DecodedImage& image)
{
    auto decode = std::make_unique<JpegDecode>();
    decode->image = &image;
    return Decode(*decode, data, static_cast<unsigned long>(size));
}

k_JpegTexture::k_JpegTexture(IEngine* engine, const std::wstring& fileName) : k_ImageTexture(engine)
{
    LoadFromArchive(fileName);
}

void k_JpegTexture::Load(IFile& file)
{
    DecodedImage image;
    const bool decoded = DecodeJpeg(file.GetData(), file.GetSize(), image);
    for (const std::string& warning : image.warnings) Log::Warning() << "JPEG " << m_fileName << ": " << warning;
    if (!decoded) Fail("JPEG", image.error);
    Upload(image.width, image.height, 3, image.pixels);
}
