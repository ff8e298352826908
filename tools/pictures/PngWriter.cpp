// PngWriter: libpng reports failures by longjmp, so everything with a destructor lives outside
// the function that calls setjmp.
#include "PngWriter.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t kMessageSize = 128;

// Keeps libpng's message for our own report instead of letting it print, then unwinds to Encode.
[[noreturn]] void OnError(png_structp png, png_const_charp message)
{
    char* out = static_cast<char*>(png_get_error_ptr(png));
    std::snprintf(out, kMessageSize, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Returns 0 on success, else 1 with libpng's reason in `message`; no C++ objects are constructed here.
int Encode(std::FILE* file, int width, int height, png_bytep* rows, char* message)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, message, OnError, OnWarning);
    if (!png)
        return 1;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return 1;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 1;
    }
    png_init_io(png, file);
    // Level 9 spends twice the time of level 8 on these mostly transparent pictures for under 1% less size.
    png_set_compression_level(png, 8);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return 0;
}

}  // namespace

bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba, std::string& error)
{
    if (width <= 0 || height <= 0 || rgba.size() != size_t(width) * size_t(height) * 4) {
        error = path + ": pixel buffer does not match the picture size";
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[size_t(y)] = const_cast<png_bytep>(&rgba[size_t(y) * size_t(width) * 4]);

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::string reason;
    char message[kMessageSize] = "out of memory";
    if (Encode(file, width, height, rows.data(), message) != 0)
        reason = std::string("libpng: ") + message;
    else if (std::fflush(file) != 0 || std::ferror(file))
        reason = std::strerror(errno);
    if (std::fclose(file) != 0 && reason.empty())
        reason = std::strerror(errno);
    if (!reason.empty()) {
        error = path + ": " + reason;
        std::remove(path.c_str());
        return false;
    }
    return true;
}
