// Ogg Vorbis tunes read from memory: the decoder's callbacks over a block of bytes, the format
// the player accepts, and a decode of the whole tune for checks that must hear every packet.
#pragma once

#include <cstddef>
#include <string>
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

namespace OggTune {

// The block the decoder reads from, and how far it has read.
struct Memory {
    const unsigned char* data;
    size_t size;
    size_t offset;
};

// Read, seek and tell over a Memory handed to ov_open_callbacks as its source.
ov_callbacks MemoryCallbacks();

// Why the opened tune cannot be played (channels outside 1 to 8, no rate, links of different
// formats), naming the link and its format; empty when it can.
std::string FormatProblem(OggVorbis_File* vorbis);

// Decodes the whole tune. False with the reason (not a Vorbis stream, unplayable format,
// damaged data or an early end, with the time where it happens) when any part cannot be heard.
bool DecodeWhole(const void* data, size_t size, std::string& problem);

}  // namespace OggTune
