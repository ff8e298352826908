// Frame capture through libpng; rows are flipped because GL's origin is the bottom left.
#include "makers/FrameCapture.h"

#include <GL/glew.h>
#include <png.h>
#include <zlib.h>
#include <cstdio>
#include <vector>

#include "makers/OutputFile.h"
#include "platform/Log.h"

namespace {

void WritePng(png_structp png, png_bytep data, png_size_t size)
{
    if (!static_cast<OutputFile*>(png_get_io_ptr(png))->Write(data, size)) png_error(png, "cannot write");
}

}  // namespace

void ReadFrame(int width, int height, std::vector<unsigned char>& pixels)
{
    pixels.resize(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
}

std::string WriteFramePng(const unsigned char* pixels, int width, int height, PngEffort effort,
                          const std::string& path)
{
    OutputFile output(path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    volatile bool ok = false;  // survives libpng's longjmp
    if (info && !setjmp(png_jmpbuf(png))) {
        png_set_write_fn(png, &output, WritePng, nullptr);
        if (effort == PngEffort::Fast) {
            png_set_compression_level(png, Z_BEST_SPEED);
            png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
            png_set_compression_strategy(png, Z_RLE);
        }
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int row = height - 1; row >= 0; --row)
            png_write_row(png, pixels + static_cast<size_t>(row) * width * 3);
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return output.Close(ok) ? std::string() : output.GetProblem();
}

std::string CaptureFrame(int width, int height, const std::string& path)
{
    std::vector<unsigned char> pixels;
    ReadFrame(width, height, pixels);
    const std::string problem = WriteFramePng(pixels.data(), width, height, PngEffort::Small, path);
    if (!problem.empty()) Log::Error() << problem;
    return problem;
}

std::string CapturePath(const std::string& folder, double seconds)
{
    char name[64];
    std::snprintf(name, sizeof name, "/t%08.3f.png", seconds);
    return folder + name;
}
