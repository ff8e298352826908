// Fuzz target: the music decoded end to end, as the content check hears it, then opened as the
// player opens it and sought to the middle, as --seek and --loop do.
#include <string>

#include "fuzz/FuzzTarget.h"
#include "platform/OggTune.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string problem;
    OggTune::DecodeWhole(data, size, problem);

    OggTune::Decoder decoder(data, size);
    if (!decoder.IsOpen())
        return 0;
    const ogg_int64_t total = ov_pcm_total(decoder.Get(), -1);
    if (total > 0 && ov_pcm_seek(decoder.Get(), total / 2) == 0) {
        float** planes = nullptr;
        int link = 0;
        ov_read_float(decoder.Get(), &planes, 4096, &link);
    }
    return 0;
}
