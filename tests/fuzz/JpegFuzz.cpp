// Fuzz target: the JPEG decoding path of the image textures, without OpenGL.
#include "fuzz/FuzzTarget.h"
#include "resources/ImageDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DecodedImage image;
    DecodeJpeg(data, size, image);
    return 0;
}
