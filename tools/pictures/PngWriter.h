// PngWriter: writes 8-bit RGBA pixels as a PNG file (zlib level 8, no time stamp, so output is reproducible).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `rgba` holds width * height * 4 bytes, rows top to bottom. Returns false and fills `error` on failure.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
              std::string& error);
