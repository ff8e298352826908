// A texture decoded from a PNG file of the archive.
#pragma once

#include <string>

#include "resources/k_ImageTexture.h"

class k_PngTexture : public k_ImageTexture {
public:
    // Decodes and uploads the file; throws when it is missing or cannot be decoded.
    k_PngTexture(IEngine* engine, const std::wstring& fileName);

    // Palette, grey below 8 bits, grey with alpha and 16-bit images are converted to 8-bit
    // RGB or RGBA; plain grey images are rejected. Stored bottom row first.
    void Load(IFile& file) override;
};
