// Fuzz target: the music decoded end to end, as the content check hears it.
#include <string>

#include "fuzz/FuzzTarget.h"
#include "platform/OggTune.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string problem;
    OggTune::DecodeWhole(data, size, problem);
    return 0;
}
