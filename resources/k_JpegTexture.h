// A texture decoded from a JPEG file of the archive.
#pragma once

#include <string>

#include "resources/k_ImageTexture.h"

class k_JpegTexture : public k_ImageTexture {
public:
    // Decodes and uploads the file; throws when it is missing or cannot be decoded.
    k_JpegTexture(IEngine* engine, const std::wstring& fileName);

    // Uploads RGB, grey-scale images converted to RGB; stored top row first.
    void Load(IFile& file) override;
};
