// The part image textures share: open the file, decode it, upload it with mipmaps.
#pragma once

#include <string>
#include <vector>

#include "resources/k_TextureBase.h"

class k_ImageTexture : public k_TextureBase {
public:
    bool HasMipmaps() override { return true; }

protected:
    // Reports 2 (RGBA 8-bit) whatever the image holds.
    k_ImageTexture(IEngine* engine) : k_TextureBase(engine, 2) {}

    // Generates and binds the texture object, then Loads the file. A missing file is logged
    // ("Cannot read from file: "); it and every decode failure throw ReportedFailure.
    void LoadFromArchive(const std::wstring& fileName);
    // Stores the size and builds the mipmaps of tightly packed rows of 3 or 4 bytes per pixel.
    void Upload(int width, int height, int channels, const std::vector<unsigned char>& pixels);
    // Logs "Cannot decode <kind> file <name>: <reason>" and throws ReportedFailure.
    [[noreturn]] void Fail(const char* kind, const std::string& reason);

    std::wstring m_fileName;
};
