// Decoding PNG and JPEG images from memory into tightly packed rows, without OpenGL: the image
// textures upload the result; fuzzing calls the decoders alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Images of more pixels are refused from their header, before any pixel is allocated: 4096 x
// 4096 (64 MiB as RGBA), eight times the largest picture of the demo.
constexpr uint64_t kMaxImagePixels = uint64_t(4096) * 4096;
// The longest side worth decoding: the largest texture a driver is asked for.
constexpr uint64_t kMaxImageSide = 16384;
// Progressive JPEG files are refused past this many scans: ten times what an encoder's standard
// progression writes (10 for colour), and every scan costs a pass over the whole image.
constexpr int kMaxJpegScans = 100;

struct DecodedImage {
    int width = 0;
    int height = 0;
    int channels = 0;  // 3 (RGB) or 4 (RGBA)
    std::vector<unsigned char> pixels;
    std::vector<std::string> warnings;  // what the library warned about, in order
    std::string error;                  // why decoding failed
};

// Why an image of that size is refused, naming its size and the limit it passes (its side before
// its pixels); empty when it may be decoded.
inline std::string ImageSizeProblem(uint64_t width, uint64_t height)
{
    const std::string size = "the image has " + std::to_string(width) + " x " + std::to_string(height) + " pixels, ";
    if (width > kMaxImageSide || height > kMaxImageSide)
        return size + "a side longer than the " + std::to_string(kMaxImageSide) + " an image may have";
    if (width * height > kMaxImagePixels)
        return size + "more than the " + std::to_string(kMaxImagePixels) + " an image may have";
    return {};
}

// Each false with image.error set when the data cannot be decoded or the image is too large.
bool DecodePng(const unsigned char* data, size_t size, DecodedImage& image);
bool DecodeJpeg(const unsigned char* data, size_t size, DecodedImage& image);
