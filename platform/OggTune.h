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

// Why the bytes are no chain of Ogg Vorbis links whose headers parse (a page of no stream, a
// serial number used twice, a link without its three headers), with the byte where it shows;
// empty when they are. Checked in one pass before libvorbisfile opens a tune.
std::string ChainProblem(const void* data, size_t size);

// Checks the chain, opens the tune over the memory and checks its format. False with the reason
// (vorbis then holds nothing to clear); true with a decoder the caller clears with ov_clear.
bool Open(Memory& memory, OggVorbis_File* vorbis, std::string& problem);

// Why the opened tune cannot be played (channels outside 1 to 8, no rate, links of different
// formats), naming the link and its format; empty when it can.
std::string FormatProblem(OggVorbis_File* vorbis);

// Decodes the whole tune. False with the reason (not a Vorbis stream, unplayable format,
// damaged data or an early end, with the time where it happens) when any part cannot be heard.
bool DecodeWhole(const void* data, size_t size, std::string& problem);

}  // namespace OggTune
