// Ogg Vorbis tunes read from memory: a decoder that opens only tunes the player can play, and a
// decode of the whole tune for checks that must hear every packet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

namespace OggTune {

// The sample rates a tune may have: what the player converts to the device's rate with bounded
// memory, and every rate an encoder offers. A header claiming 1 Hz or 4 GHz is refused.
constexpr long kMinRate = 8000;
constexpr long kMaxRate = 384000;
// Bytes that are no Ogg page are skipped, as a decoder does, but only this many in a row: past
// them the rest of the file is taken for junk and not read.
constexpr size_t kMaxJunkBytes = size_t(1) << 20;
// A codebook of more entries is refused before libvorbis sees it: it sets up a book with 8 bytes
// an entry on the stack. Five times the largest book an encoder writes (6561 entries).
constexpr long kMaxCodebookEntries = 1L << 15;
// What the codebooks of all links together may take once libvorbis has expanded them (their
// entries, lookup tables and values a dimension each, reckoned high): the demo's tune's come to
// 392 KB, one book of 255 entries in 65,535 dimensions to 67 MB.
constexpr uint64_t kMaxCodebookBytes = uint64_t(32) << 20;

// The block the decoder reads from, and how far it has read.
struct Memory {
    const unsigned char* data;
    size_t size;
    size_t offset;
};

// libvorbisfile over a block of memory that outlives it, cleared on every path out. Before the
// library sees the bytes, their chain of links is checked in one pass (a page of no stream, a
// serial number used twice, a link without its three headers or without sound, codebooks past
// kMaxCodebookEntries or kMaxCodebookBytes); after opening, the format (1 to 8 channels,
// kMinRate to kMaxRate, every link alike). A chain starts at its first link. The library sees
// the bytes only up to the end of the last whole page.
class Decoder {
public:
    Decoder(const void* data, size_t size);
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    bool IsOpen() const { return m_open; }
    // Why the tune could not be opened, naming the link and byte or format; empty when open.
    const std::string& Problem() const { return m_problem; }
    OggVorbis_File* Get() { return &m_vorbis; }
    // What follows the last whole page (junk, or a page cut short), naming its bytes; empty when
    // nothing does. Playing does not need it; a check reports it.
    const std::string& Trailing() const { return m_trailing; }
    // The frames the tune holds: what its pages claim, but never more than its packets can
    // decode to, so a forged last position does not make it last for ages.
    ogg_int64_t Frames() const { return m_frames; }

private:
    Memory m_memory;
    OggVorbis_File m_vorbis{};
    std::string m_problem;
    std::string m_trailing;
    ogg_int64_t m_frames = 0;
    bool m_open = false;
};

// Decodes the whole tune. False with the reason (not a Vorbis stream, unplayable format,
// damaged data or an early end, with the time where it happens) when any part cannot be heard.
bool DecodeWhole(Decoder& decoder, std::string& problem);
bool DecodeWhole(const void* data, size_t size, std::string& problem);

}  // namespace OggTune
