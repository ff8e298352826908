// Fuzz target: the music decoded end to end, as the content check hears it, then opened as the
// player opens it and sought to the middle, as --seek and --loop do.
#include <string>

#include "fuzz/FuzzTarget.h"
#include "platform/OggTune.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string problem;
    OggTune::DecodeWhole(data, size, problem);

    OggTune::Memory memory{data, size, 0};
    OggVorbis_File vorbis;
    if (!OggTune::Open(memory, &vorbis, problem))
        return 0;
    const ogg_int64_t total = ov_pcm_total(&vorbis, -1);
    if (total > 0 && ov_pcm_seek(&vorbis, total / 2) == 0) {
        float** planes = nullptr;
        int link = 0;
        ov_read_float(&vorbis, &planes, 4096, &link);
    }
    ov_clear(&vorbis);
    return 0;
}
