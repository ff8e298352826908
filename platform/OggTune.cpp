// Ogg Vorbis tunes read from memory.
#include "platform/OggTune.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_set>
#include <vector>

namespace OggTune {
namespace {

constexpr int kMaxChannels = 8;  // what the player's converter can fold down to stereo

// The setup header's codebooks, as the Vorbis bit stream lays them out.
constexpr unsigned char kSetupPacket = 5;
constexpr long kPacketTypeAndMagic = 7;  // the type byte and "vorbis"
constexpr long kCodebookSync = 0x564342;
constexpr long kLookupNone = 0;
constexpr long kLookupLattice = 1;  // values are the points of a lattice, one coordinate list
constexpr long kLookupListed = 2;   // every entry lists its values
// What libvorbis keeps for each entry of a book (its length, code, index, sorting and tree),
// rounded up; and for each stored value and each expanded one.
constexpr uint64_t kBytesPerEntry = 32;
constexpr uint64_t kBytesPerStoredValue = 8;
constexpr uint64_t kBytesPerExpandedValue = 4;

size_t ReadMemory(void* into, size_t size, size_t count, void* source)
{
    auto* memory = static_cast<Memory*>(source);
    if (size == 0)
        return 0;
    const size_t items = std::min(count, (memory->size - memory->offset) / size);
    if (items)
        std::memcpy(into, memory->data + memory->offset, items * size);
    memory->offset += items * size;
    return items;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence)
{
    auto* memory = static_cast<Memory*>(source);
    const ogg_int64_t base = whence == SEEK_SET   ? 0
                             : whence == SEEK_CUR ? ogg_int64_t(memory->offset)
                                                  : ogg_int64_t(memory->size);
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END)
        return -1;
    if (offset > ogg_int64_t(memory->size) || offset < -ogg_int64_t(memory->size))
        return -1;
    const ogg_int64_t target = base + offset;
    if (target < 0 || target > ogg_int64_t(memory->size))
        return -1;
    memory->offset = size_t(target);
    return 0;
}

long TellMemory(void* source) { return long(static_cast<Memory*>(source)->offset); }

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

// What a file without an Ogg page is, from its first bytes, for a message that helps.
std::string WhatItIs(const unsigned char* data, size_t size, bool stoppedInJunk)
{
    const auto starts = [&](const char* magic, size_t at = 0) {
        const size_t length = std::strlen(magic);
        return size >= at + length && std::memcmp(data + at, magic, length) == 0;
    };
    if (size == 0)
        return "the file is empty";
    if (starts("RIFF") && starts("WAVE", 8))
        return "it is a WAV file (RIFF)";
    if (starts("RIFF"))
        return "it is a RIFF file";
    if (starts("fLaC"))
        return "it is a FLAC file";
    if (starts("ID3") || (size >= 2 && data[0] == 0xFF && (data[1] & 0xE0) == 0xE0))
        return "it is an MP3 file";
    if (stoppedInJunk)
        return "no Ogg page in its first " + std::to_string(kMaxJunkBytes) + " bytes";
    return "no Ogg page in it";
}

int ILog(uint64_t value)
{
    int bits = 0;
    for (; value; value >>= 1)
        ++bits;
    return bits;
}

// The values of a lattice book: the largest r with r to the power dimensions not above entries.
uint64_t LatticeValues(uint64_t entries, uint64_t dimensions)
{
    const auto fits = [&](uint64_t base) {
        uint64_t power = 1;
        for (uint64_t i = 0; i < dimensions; ++i) {
            if (power > entries / base)
                return false;
            power *= base;
        }
        return true;
    };
    uint64_t root = std::max<uint64_t>(1, uint64_t(std::pow(double(entries), 1.0 / double(dimensions))));
    while (fits(root + 1))
        ++root;
    while (root > 1 && !fits(root))
        --root;
    return root;
}

// Walks the codebooks of a setup header as libvorbis will read them, adding what each expands to
// onto bytes; why one cannot be taken (too many entries, the tune's books past their budget, a
// layout libvorbis would refuse as well), or empty. Other packets are libvorbis's to judge.
std::string CodebookProblem(const ogg_packet& packet, uint64_t& bytes)
{
    if (packet.bytes < kPacketTypeAndMagic || packet.packet[0] != kSetupPacket)
        return {};
    oggpack_buffer bits;
    oggpack_readinit(&bits, packet.packet + kPacketTypeAndMagic, int(packet.bytes - kPacketTypeAndMagic));
    const long lastBit = long(packet.bytes - kPacketTypeAndMagic) * 8;
    const long books = oggpack_read(&bits, 8) + 1;
    for (long book = 0; book < books; ++book) {
        const std::string which = "codebook " + std::to_string(book);
        if (oggpack_read(&bits, 24) != kCodebookSync)
            return which + " is damaged";
        const long dimensions = oggpack_read(&bits, 16);
        const long entries = oggpack_read(&bits, 24);
        if (entries > kMaxCodebookEntries)
            return which + " has " + std::to_string(entries) + " entries, more than the " +
                   std::to_string(kMaxCodebookEntries) + " a codebook may have";
        long used = 0;
        if (oggpack_read(&bits, 1) == 1) {  // ordered: runs of entries of one length, all used
            oggpack_read(&bits, 5);
            for (long entry = 0; entry < entries && oggpack_bits(&bits) <= lastBit;)
                entry += oggpack_read(&bits, ILog(uint64_t(entries - entry)));
            used = entries;
        } else {
            const bool sparse = oggpack_read(&bits, 1) == 1;
            for (long entry = 0; entry < entries && oggpack_bits(&bits) <= lastBit; ++entry) {
                if (sparse && oggpack_read(&bits, 1) != 1)
                    continue;
                oggpack_read(&bits, 5);
                ++used;
            }
        }
        const long lookup = oggpack_read(&bits, 4);
        uint64_t stored = 0, expanded = 0;
        if (lookup == kLookupLattice || lookup == kLookupListed) {
            oggpack_read(&bits, 32);  // the least value
            oggpack_read(&bits, 32);  // the step
            const long valueBits = oggpack_read(&bits, 4) + 1;
            oggpack_read(&bits, 1);
            if (dimensions <= 0 || valueBits <= 0)
                return which + " is damaged";
            stored = lookup == kLookupLattice ? LatticeValues(uint64_t(entries), uint64_t(dimensions))
                                              : uint64_t(entries) * uint64_t(dimensions);
            expanded = uint64_t(used) * uint64_t(dimensions);
            const uint64_t skip = stored * uint64_t(valueBits);
            if (skip > uint64_t(lastBit))
                return which + " is cut short";
            oggpack_adv(&bits, int(skip));
        } else if (lookup != kLookupNone) {
            return which + " is damaged";
        }
        if (oggpack_bits(&bits) > lastBit)
            return which + " is cut short";
        bytes += uint64_t(entries) * kBytesPerEntry + stored * kBytesPerStoredValue + expanded * kBytesPerExpandedValue;
        if (bytes > kMaxCodebookBytes)
            return "the codebooks up to " + which + " expand to " + std::to_string(bytes) + " bytes, more than the " +
                   std::to_string(kMaxCodebookBytes) + " a tune's may";
    }
    return {};
}

// The codec of an Ogg stream's first packet, when it is not Vorbis.
std::string CodecOf(const ogg_packet& packet)
{
    const auto starts = [&](const char* magic, size_t length) {
        return packet.bytes >= long(length) && std::memcmp(packet.packet, magic, length) == 0;
    };
    if (starts("OpusHead", 8))
        return "Opus";
    if (starts("\x7F" "FLAC", 5))
        return "FLAC";
    if (starts("Speex   ", 8))
        return "Speex";
    if (starts("\x80theora", 7))
        return "Theora video";
    return "an unknown codec";
}

// Walks the pages of a chain once, front to back, the way a player hears it: each link is a group
// of beginning pages, then the pages of those streams; its Vorbis stream's three headers must
// parse, and a page of sound must follow them. libvorbisfile finds the links of a seekable stream
// by bisection, and 1.3.7 keeps what it took for the earlier links when a later one turns out
// broken, so a chain is checked here before the decoder sees it.
class ChainScan {
public:
    ChainScan()
    {
        ogg_sync_init(&m_sync);
        ogg_stream_init(&m_stream, 0);
        vorbis_info_init(&m_info);
        vorbis_comment_init(&m_comment);
    }
    ~ChainScan()
    {
        vorbis_comment_clear(&m_comment);
        vorbis_info_clear(&m_info);
        ogg_stream_clear(&m_stream);
        ogg_sync_clear(&m_sync);
    }
    ChainScan(const ChainScan&) = delete;
    ChainScan& operator=(const ChainScan&) = delete;

    std::string Run(const unsigned char* data, size_t size)
    {
        constexpr size_t kChunk = 1 << 16;
        size_t fed = 0;
        for (;;) {
            ogg_page page;
            const long step = ogg_sync_pageseek(&m_sync, &page);
            if (step < 0) {  // bytes that are no page: skipped, as the decoder skips them
                m_offset += size_t(-step);
                m_junk += size_t(-step);
                if (m_junk > kMaxJunkBytes) {
                    m_stoppedInJunk = true;
                    break;
                }
                continue;
            }
            if (step == 0) {  // the rest of a page is missing: feed more, or stop at the end
                if (fed == size)
                    break;
                const size_t chunk = std::min(kChunk, size - fed);
                std::memcpy(ogg_sync_buffer(&m_sync, long(chunk)), data + fed, chunk);
                ogg_sync_wrote(&m_sync, long(chunk));
                fed += chunk;
                continue;
            }
            std::string problem = Page(page);
            if (!problem.empty())
                return problem;
            m_offset += size_t(step);
            m_lastPageEnd = m_offset;
            m_junk = 0;
        }
        if (m_link < 0)
            return "not an Ogg Vorbis stream: " + WhatItIs(data, size, m_stoppedInJunk);
        return EndLink();
    }

    // Where the last whole page ends, and whether the scan gave up in junk before the end.
    size_t LastPageEnd() const { return m_lastPageEnd; }
    // The frames the packets of each link decode to, before the last page's position cuts them.
    const std::vector<ogg_int64_t>& LinkFrames() const { return m_linkFrames; }
    bool StoppedInJunk() const { return m_stoppedInJunk; }

private:
    std::string Page(ogg_page& page)
    {
        const int serial = ogg_page_serialno(&page);
        if (ogg_page_bos(&page)) {
            if (m_link < 0 || m_begun) {
                if (std::string problem = EndLink(); !problem.empty())
                    return problem;
                BeginLink();
            }
            if (!m_everySerial.insert(serial).second)
                return At() + "a stream begins again with serial number " + std::to_string(serial);
            m_linkSerials.insert(serial);
            if (!m_hasVorbis) {
                ogg_stream_reset_serialno(&m_stream, serial);
                ogg_stream_pagein(&m_stream, &page);
                ogg_packet packet;
                if (ogg_stream_packetout(&m_stream, &packet) == 1) {
                    if (vorbis_synthesis_idheader(&packet)) {
                        m_hasVorbis = true;
                        m_vorbisSerial = serial;
                        return Header(packet);
                    }
                    if (m_otherKind.empty())
                        m_otherKind = CodecOf(packet);
                }
            }
            return {};
        }
        if (m_link < 0)
            return At() + "a page comes before any stream begins";
        m_begun = true;
        if (!m_linkSerials.count(serial))
            return At() + "a page belongs to no stream of link " + std::to_string(m_link);
        if (!m_hasVorbis || serial != m_vorbisSerial)
            return {};
        if (m_headers == 3) {
            m_sound = m_sound || ogg_page_granulepos(&page) != -1;
            ogg_stream_pagein(&m_stream, &page);
            CountFrames();
            return {};
        }
        ogg_stream_pagein(&m_stream, &page);
        for (;;) {
            ogg_packet packet;
            const int out = ogg_stream_packetout(&m_stream, &packet);
            if (out == 0)
                return {};
            if (out < 0)
                return At() + "link " + std::to_string(m_link) + " misses a part of its Vorbis headers";
            if (std::string problem = Header(packet); !problem.empty())
                return problem;
            if (m_headers == 3) {  // sound may share the page of the last header
                CountFrames();
                return {};
            }
        }
    }

    std::string Header(ogg_packet& packet)
    {
        // libvorbis takes the codebooks in as they come; what it makes of them is checked first.
        if (std::string problem = CodebookProblem(packet, m_codebookBytes); !problem.empty())
            return At() + "link " + std::to_string(m_link) + ": " + problem;
        if (vorbis_synthesis_headerin(&m_info, &m_comment, &packet) != 0)
            return At() + "the Vorbis headers of link " + std::to_string(m_link) + " are damaged";
        ++m_headers;
        return {};
    }

    // Adds the frames of the sound packets the stream holds: each decodes to the frames between
    // the centres of its window and the one before.
    void CountFrames()
    {
        ogg_packet packet;
        for (int out; (out = ogg_stream_packetout(&m_stream, &packet)) != 0;) {
            const long block = out > 0 ? vorbis_packet_blocksize(&m_info, &packet) : 0;
            if (block <= 0)
                continue;
            if (m_lastBlock > 0)
                m_linkFrames.back() += (m_lastBlock + block) / 4;
            m_lastBlock = block;
        }
    }

    void BeginLink()
    {
        ++m_link;
        m_linkFrames.push_back(0);
        m_lastBlock = 0;
        m_begun = m_hasVorbis = m_sound = false;
        m_otherKind.clear();
        m_headers = 0;
        m_linkSerials.clear();
        vorbis_comment_clear(&m_comment);
        vorbis_info_clear(&m_info);
        vorbis_info_init(&m_info);
        vorbis_comment_init(&m_comment);
    }

    std::string EndLink() const
    {
        if (m_link < 0)
            return {};
        const std::string link = "link " + std::to_string(m_link);
        if (!m_hasVorbis)
            return (m_link == 0 ? "not an Ogg Vorbis stream: " : "") + link + " holds no Vorbis stream" +
                   (m_otherKind.empty() ? "" : " (it holds " + m_otherKind + ")");
        if (m_headers < 3)
            return link + " ends before its Vorbis headers do";
        if (!m_sound)
            return link + " holds no sound";
        return {};
    }

    std::string At() const { return "at byte " + std::to_string(m_offset) + ": "; }

    ogg_sync_state m_sync;
    ogg_stream_state m_stream;
    vorbis_info m_info;
    vorbis_comment m_comment;
    size_t m_offset = 0;
    size_t m_lastPageEnd = 0;
    size_t m_junk = 0;  // bytes skipped since the last page
    bool m_stoppedInJunk = false;
    int m_link = -1;
    bool m_begun = false;  // a page after the link's beginning pages has been seen
    bool m_hasVorbis = false;
    int m_vorbisSerial = 0;
    int m_headers = 0;
    bool m_sound = false;  // a page of sound with a position follows the headers
    std::string m_otherKind;  // the codec of the link's first stream when it is not Vorbis
    uint64_t m_codebookBytes = 0;  // what the codebooks of every link so far expand to
    std::vector<ogg_int64_t> m_linkFrames;
    long m_lastBlock = 0;  // the block size of the link's previous packet; 0 before its first
    std::unordered_set<int> m_linkSerials, m_everySerial;
};

ov_callbacks MemoryCallbacks() { return {ReadMemory, SeekMemory, nullptr, TellMemory}; }

// Why the opened tune cannot be played (channels outside 1 to 8, no rate, links of different
// formats), naming the link and its format; empty when it can.
std::string FormatProblem(OggVorbis_File* vorbis)
{
    const vorbis_info* first = ov_info(vorbis, 0);
    const long links = ov_streams(vorbis);
    for (long link = 0; link < links; ++link) {
        const vorbis_info* info = ov_info(vorbis, int(link));
        if (!info || !first)
            return "link " + std::to_string(link) + " has no format";
        const std::string format = std::to_string(info->channels) + " channels at " + std::to_string(info->rate) + " Hz";
        if (info->channels < 1 || info->channels > kMaxChannels)
            return "link " + std::to_string(link) + " has " + format + "; 1 to " + std::to_string(kMaxChannels) +
                   " channels can be played";
        if (info->rate < kMinRate || info->rate > kMaxRate)
            return "link " + std::to_string(link) + " has " + format + "; " + std::to_string(kMinRate) + " to " +
                   std::to_string(kMaxRate) + " Hz can be played";
        if (info->channels != first->channels || info->rate != first->rate)
            return "link " + std::to_string(link) + " has " + format + ", unlike the first link";
    }
    return {};
}

// Each link's length as its positions claim it, cut to what its packets decode to.
ogg_int64_t HeldFrames(OggVorbis_File* vorbis, const std::vector<ogg_int64_t>& linkFrames)
{
    const long links = ov_streams(vorbis);
    if (size_t(links) != linkFrames.size()) {  // the scan and the library see the same links
        ogg_int64_t decodable = 0;
        for (ogg_int64_t frames : linkFrames)
            decodable += frames;
        return std::min(ov_pcm_total(vorbis, -1), decodable);
    }
    ogg_int64_t frames = 0;
    for (long link = 0; link < links; ++link)
        frames += std::max<ogg_int64_t>(0, std::min(ov_pcm_total(vorbis, int(link)), linkFrames[size_t(link)]));
    return frames;
}

}  // namespace

Decoder::Decoder(const void* data, size_t size) : m_memory{static_cast<const unsigned char*>(data), data ? size : 0, 0}
{
    ChainScan scan;
    m_problem = scan.Run(m_memory.data, m_memory.size);
    if (!m_problem.empty())
        return;
    // The library would search junk after the stream page by page, for minutes in a large one.
    const size_t end = scan.LastPageEnd();
    if (end < m_memory.size)
        m_trailing = std::to_string(m_memory.size - end) + " bytes after the last page of the stream, from byte " +
                     std::to_string(end) +
                     (scan.StoppedInJunk() ? " (read no further than " + std::to_string(kMaxJunkBytes) + " of them)" : "");
    m_memory.size = end;
    const int opened = ov_open_callbacks(&m_memory, &m_vorbis, nullptr, 0, MemoryCallbacks());
    if (opened != 0) {  // a failed open has already released what it took
        m_problem = "not an Ogg Vorbis stream (vorbisfile error " + std::to_string(opened) + ")";
        return;
    }
    m_problem = FormatProblem(&m_vorbis);
    // libvorbisfile 1.3.7 leaves a chain whose first link is shorter than its read chunk
    // positioned at the second link; without this the first would never be heard.
    if (m_problem.empty() && ov_streams(&m_vorbis) > 1 && ov_pcm_seek(&m_vorbis, 0) != 0)
        m_problem = "cannot go back to the start of link 0";
    if (!m_problem.empty()) {
        ov_clear(&m_vorbis);
        return;
    }
    m_frames = HeldFrames(&m_vorbis, scan.LinkFrames());
    m_open = true;
}

Decoder::~Decoder()
{
    if (m_open)
        ov_clear(&m_vorbis);
}

bool DecodeWhole(const void* data, size_t size, std::string& problem)
{
    Decoder decoder(data, size);
    return DecodeWhole(decoder, problem);
}

bool DecodeWhole(Decoder& decoder, std::string& problem)
{
    problem = decoder.Problem();
    if (!decoder.IsOpen())
        return false;
    OggVorbis_File* vorbis = decoder.Get();
    const double rate = double(ov_info(vorbis, 0)->rate);
    const ogg_int64_t total = decoder.Frames();
    ogg_int64_t frames = 0;
    while (problem.empty()) {
        float** planes = nullptr;
        int link = 0;
        const long decoded = ov_read_float(vorbis, &planes, 4096, &link);
        if (decoded == 0)
            break;
        if (decoded < 0)
            problem = "damaged data at " + Seconds(double(frames) / rate) + " (vorbisfile error " +
                      std::to_string(decoded) + ")";
        else
            frames += decoded;
    }
    if (problem.empty() && frames == 0)
        problem = "the tune holds no sound";
    else if (problem.empty() && total > 0 && frames < total)
        problem = "the tune stops at " + Seconds(double(frames) / rate) + " of its " + Seconds(double(total) / rate);
    return problem.empty();
}

}  // namespace OggTune
