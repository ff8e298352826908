// The music of a span of demo time as a WAV file, decoded from the demo's Ogg Vorbis tune, so
// that a captured picture sequence gets sample-exact sound without any audio device.
#pragma once

#include <cstddef>
#include <string>

struct TuneFormat {
    long rate = 0;
    int channels = 0;
    double seconds = 0;  // the whole tune's length
};

// Reads the tune's format from its bytes; the reason the player could not play them, empty when
// it could.
std::string ReadTuneFormat(const void* ogg, size_t size, TuneFormat& format);

// Writes frames sample frames of the tune from firstFrame on as 16-bit PCM at the tune's own rate
// and channels; frames past the tune's end are silence. Empty on success, else the reason.
std::string ExportWav(const void* ogg, size_t size, long long firstFrame, long long frames, const std::string& path);
