// A whole tune decoded for the content check: tunes made by oggenc pass; every way a tune
// cannot be heard in full is named.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <ogg/ogg.h>
#include <string>
#include <vector>

#include "platform/OggTune.h"
#include "support/ScratchFolder.h"

namespace {

// Tones, one per channel, encoded by oggenc.
std::string MakeTune(const ScratchFolder& scratch, const std::string& name, int channels, double seconds = 0.25)
{
    EXPECT_EQ(scratch.EncodeTune(name + ".ogg", channels, 44100, seconds), 0);
    return scratch.Read(name + ".ogg");
}

// The pages of a tune, each given the serial number `serial` (so chains can be built from one
// encoding) and its checksum set again.
std::vector<std::string> Pages(const std::string& tune, int serial)
{
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    std::memcpy(ogg_sync_buffer(&sync, long(tune.size())), tune.data(), tune.size());
    ogg_sync_wrote(&sync, long(tune.size()));
    std::vector<std::string> pages;
    ogg_page page;
    while (ogg_sync_pageout(&sync, &page) == 1) {
        for (int i = 0; i < 4; ++i) page.header[14 + i] = static_cast<unsigned char>(serial >> (8 * i));
        ogg_page_checksum_set(&page);
        pages.push_back(std::string(reinterpret_cast<char*>(page.header), size_t(page.header_len)) +
                        std::string(reinterpret_cast<char*>(page.body), size_t(page.body_len)));
    }
    ogg_sync_clear(&sync);
    return pages;
}

// Pages first..last-1 of a tune's pages, one after another.
std::string Join(const std::vector<std::string>& pages, size_t first = 0, size_t last = size_t(-1))
{
    std::string joined;
    for (size_t i = first; i < pages.size() && i < last; ++i) joined += pages[i];
    return joined;
}

TEST(OggTune, EveryWayATuneCannotBeHeardInFullIsNamed)
{
    ScratchFolder scratch;
    const std::string stereo = MakeTune(scratch, "stereo", 2);
    // Bytes flipped in the middle of the audio pages: the decoder loses the rest.
    const auto damage = [](std::string tune) {
        for (size_t i = tune.size() / 2; i < tune.size() / 2 + 64; ++i) tune[i] = char(tune[i] ^ 0x5a);
        return tune;
    };
    struct Case {
        const char* what;
        std::string bytes;
        bool plays;
        const char* problem;  // a part of the reason
    } cases[] = {
        {"stereo", stereo, true, ""},
        {"mono", MakeTune(scratch, "mono", 1), true, ""},
        {"garbage", std::string(5000, '\x5a'), false, "not an Ogg Vorbis stream"},
        {"empty", "", false, "not an Ogg Vorbis stream"},
        {"nine channels", MakeTune(scratch, "nine", 9), false,
         "link 0 has 9 channels at 44100 Hz; 1 to 8 channels can be played"},
        {"no samples", MakeTune(scratch, "silent", 2, 0.0), false, "the tune holds no sound"},
        {"damaged pages", damage(MakeTune(scratch, "long", 2, 2.0)), false, ""},
        // Chains, checked before the decoder's bisection sees them (it keeps what it took for the
        // links before a broken one). Pages 0 and 1 of a tune are its headers, the rest sound.
        {"two links", Join(Pages(stereo, 1)) + Join(Pages(stereo, 2)), true, ""},
        {"a serial number used twice", Join(Pages(stereo, 1)) + Join(Pages(stereo, 1)), false,
         "a stream begins again with serial number 1"},
        {"a link with headers only", Join(Pages(stereo, 1)) + Join(Pages(stereo, 2), 0, 2), false,
         "link 1 holds no sound"},
        {"a link without its setup", Join(Pages(stereo, 1)) + Join(Pages(stereo, 2), 0, 1) + Join(Pages(stereo, 2), 2),
         false, "link 1"},
        {"a page of no stream", Join(Pages(stereo, 1)) + Join(Pages(stereo, 2), 2), false,
         "belongs to no stream of link 0"},
        {"sound before any stream begins", Join(Pages(stereo, 1), 2) + Join(Pages(stereo, 2)), false,
         "at byte 0: a page comes before any stream begins"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string problem;
        EXPECT_EQ(OggTune::DecodeWhole(c.bytes.data(), c.bytes.size(), problem), c.plays) << problem;
        EXPECT_EQ(problem.empty(), c.plays);
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
}

// The tune with the sample rate its identification header claims replaced (page 0 holds only
// that packet; the rate sits at byte 12 of it), the page's checksum set again.
std::string WithRate(const std::string& tune, uint32_t rate)
{
    std::string forged = tune;
    ogg_page page;
    page.header = reinterpret_cast<unsigned char*>(forged.data());
    page.header_len = 27 + static_cast<unsigned char>(forged[26]);
    page.body = page.header + page.header_len;
    page.body_len = 30;
    for (int i = 0; i < 4; ++i) page.body[12 + i] = static_cast<unsigned char>(rate >> (8 * i));
    ogg_page_checksum_set(&page);
    return forged;
}

// One Ogg stream whose first packet is packet, then a page of another packet, as an encoder of
// another codec in Ogg writes them.
std::string OggOf(const std::string& packet)
{
    ogg_stream_state stream;
    ogg_stream_init(&stream, 77);
    std::string bytes;
    for (int n = 0; n < 2; ++n) {
        const std::string body = n == 0 ? packet : std::string(100, 'x');
        ogg_packet p{};
        p.packet = reinterpret_cast<unsigned char*>(const_cast<char*>(body.data()));
        p.bytes = long(body.size());
        p.b_o_s = n == 0;
        p.e_o_s = n == 1;
        p.granulepos = n;
        p.packetno = n;
        ogg_stream_packetin(&stream, &p);
        ogg_page page;
        while (ogg_stream_flush(&stream, &page))
            bytes += std::string(reinterpret_cast<char*>(page.header), size_t(page.header_len)) +
                     std::string(reinterpret_cast<char*>(page.body), size_t(page.body_len));
    }
    ogg_stream_clear(&stream);
    return bytes;
}

// A tune that plays in full, or is refused with a reason.
struct Verdict {
    const char* what;
    std::string bytes;
    const char* problem;  // a part of the reason; empty: plays
};

void ExpectVerdicts(const std::vector<Verdict>& verdicts)
{
    for (const Verdict& c : verdicts) {
        SCOPED_TRACE(c.what);
        std::string problem;
        EXPECT_EQ(OggTune::DecodeWhole(c.bytes.data(), c.bytes.size(), problem), !*c.problem) << problem;
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
}

TEST(OggTune, OnlyRatesThePlayerConvertsArePlayedAndOtherFilesAreNamed)
{
    ScratchFolder scratch;
    const std::string stereo = MakeTune(scratch, "stereo", 2);
    ExpectVerdicts({
        {"1 Hz", WithRate(stereo, 1), "link 0 has 2 channels at 1 Hz; 8000 to 384000 Hz can be played"},
        {"7999 Hz", WithRate(stereo, 7999), "at 7999 Hz; 8000 to 384000 Hz"},
        {"8000 Hz", WithRate(stereo, 8000), ""},
        {"384000 Hz", WithRate(stereo, 384000), ""},
        {"384001 Hz", WithRate(stereo, 384001), "at 384001 Hz; 8000 to 384000 Hz"},
        {"2147483647 Hz", WithRate(stereo, 2147483647u), "at 2147483647 Hz; 8000 to 384000 Hz"},
        // libvorbis reads the rate into a C long: 32 bits on Windows, where this one is negative
        // and libvorbis itself refuses the headers.
        {"4294967295 Hz", WithRate(stereo, 4294967295u),
         kOnWindows ? "the Vorbis headers of link 0 are damaged" : "; 8000 to 384000 Hz can be played"},
        {"Opus in Ogg", OggOf(std::string("OpusHead\x01\x02", 10) + std::string(9, '\0')),
         "not an Ogg Vorbis stream: link 0 holds no Vorbis stream (it holds Opus)"},
        {"FLAC in Ogg", OggOf("\x7F" "FLAC\x01\x00\x00\x01" "fLaC"), "(it holds FLAC)"},
        {"a WAV file", "RIFF\x24\x10\x10\x10WAVEfmt " + std::string(100, 'w'), "not an Ogg Vorbis stream: it is a WAV file (RIFF)"},
        {"a FLAC file", "fLaC" + std::string(100, 'f'), "not an Ogg Vorbis stream: it is a FLAC file"},
        {"an MP3 file", "ID3\x04" + std::string(100, 'm'), "not an Ogg Vorbis stream: it is an MP3 file"},
        {"empty", "", "not an Ogg Vorbis stream: the file is empty"},
        {"cut inside its headers", stereo.substr(0, 200), "link 0 ends before its Vorbis headers do"},
    });
}

TEST(OggTune, BytesAfterTheLastPageAreReportedAndJunkIsReadOnlySoFar)
{
    ScratchFolder scratch;
    const std::string tune = MakeTune(scratch, "tune", 2);
    const std::string size = std::to_string(tune.size());
    struct Case {
        const char* what;
        std::string bytes;
        std::string trailing;  // empty: nothing follows the stream
    } cases[] = {
        {"nothing", tune, ""},
        {"a few zeros", tune + std::string(10, '\0'), "10 bytes after the last page of the stream, from byte " + size},
        {"a page cut short", tune + tune.substr(0, 20), "20 bytes after the last page of the stream, from byte " + size},
        // Read whole, 8 MiB of zeros took seconds, 1 GB never ended.
        {"8 MiB of zeros", tune + std::string(size_t(8) << 20, '\0'),
         "8388608 bytes after the last page of the stream, from byte " + size + " (read no further than 1048576 of them)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OggTune::Decoder decoder(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(decoder.Trailing(), c.trailing);
        std::string problem;
        EXPECT_TRUE(OggTune::DecodeWhole(decoder, problem)) << problem;  // the tune itself plays in full
    }
    // Junk before any page is given up on as well, and said to be so.
    const std::string junk(size_t(2) << 20, '\0');
    std::string problem;
    EXPECT_FALSE(OggTune::DecodeWhole(junk.data(), junk.size(), problem));
    EXPECT_EQ(problem, "not an Ogg Vorbis stream: no Ogg page in its first 1048576 bytes");
}

int Bits(unsigned long value)
{
    int bits = 0;
    for (; value; value >>= 1) ++bits;
    return bits;
}

// Reads past one codebook of an encoder's setup header (the layout every decoder follows).
void SkipCodebook(oggpack_buffer& in)
{
    oggpack_read(&in, 24);
    const long dimensions = oggpack_read(&in, 16), entries = oggpack_read(&in, 24);
    if (oggpack_read(&in, 1)) {
        oggpack_read(&in, 5);
        for (long entry = 0; entry < entries;) entry += oggpack_read(&in, Bits(unsigned(entries - entry)));
    } else {
        const bool sparse = oggpack_read(&in, 1);
        for (long entry = 0; entry < entries; ++entry)
            if (!sparse || oggpack_read(&in, 1)) oggpack_read(&in, 5);
    }
    const long lookup = oggpack_read(&in, 4);
    if (lookup == 0) return;
    oggpack_read(&in, 32);
    oggpack_read(&in, 32);
    const long valueBits = oggpack_read(&in, 4) + 1;
    oggpack_read(&in, 1);
    long values = entries * dimensions;
    if (lookup == 1) {  // a lattice: the largest r with r^dimensions <= entries
        values = 1;
        while (std::pow(double(values + 1), double(dimensions)) <= double(entries)) ++values;
    }
    for (long i = 0; i < values; ++i) oggpack_read(&in, int(valueBits));
}

// The tune with count codebooks added after those of its setup header, each written by book (the
// floors and residues name books by number, so the new ones come last): its header packets paged
// again (ids 0 and 1, as oggenc pages them), its sound pages as they were.
std::string WithCodebooks(const std::string& tune, int count, void (*book)(oggpack_buffer&))
{
    const std::vector<std::string> pages = Pages(tune, 1);
    ogg_stream_state in, out;
    ogg_stream_init(&in, 1);
    ogg_stream_init(&out, 1);
    for (int i = 0; i < 2; ++i) {
        ogg_page page;
        page.header = reinterpret_cast<unsigned char*>(const_cast<char*>(pages[size_t(i)].data()));
        page.header_len = 27 + static_cast<unsigned char>(pages[size_t(i)][26]);
        page.body = page.header + page.header_len;
        page.body_len = long(pages[size_t(i)].size()) - page.header_len;
        ogg_stream_pagein(&in, &page);
    }
    std::string headers;
    oggpack_buffer setup;
    oggpack_writeinit(&setup);
    for (int n = 0; n < 3; ++n) {
        ogg_packet packet;
        EXPECT_EQ(ogg_stream_packetout(&in, &packet), 1);
        if (n == 2) {  // type and "vorbis", the count, the old books, the new, then the rest as it was
            oggpack_buffer old, copy;
            oggpack_readinit(&old, packet.packet + 7, int(packet.bytes - 7));
            for (int i = 0; i < 7; ++i) oggpack_write(&setup, packet.packet[i], 8);
            const long books = oggpack_read(&old, 8) + 1;
            oggpack_write(&setup, unsigned(books - 1 + count), 8);
            oggpack_readinit(&copy, packet.packet + 7, int(packet.bytes - 7));
            oggpack_read(&copy, 8);
            for (long i = 0; i < books; ++i) SkipCodebook(old);
            for (long bit = 8; bit < oggpack_bits(&old); ++bit) oggpack_write(&setup, unsigned(oggpack_read(&copy, 1)), 1);
            for (int i = 0; i < count; ++i) book(setup);
            for (long bit = oggpack_bits(&old); bit < (packet.bytes - 7) * 8; ++bit)
                oggpack_write(&setup, unsigned(oggpack_read(&copy, 1)), 1);
            packet.packet = oggpack_get_buffer(&setup);
            packet.bytes = oggpack_bytes(&setup);
        }
        ogg_stream_packetin(&out, &packet);
        ogg_page page;
        while ((n == 0 || n == 2) && ogg_stream_flush(&out, &page))
            headers += std::string(reinterpret_cast<char*>(page.header), size_t(page.header_len)) +
                       std::string(reinterpret_cast<char*>(page.body), size_t(page.body_len));
    }
    oggpack_writeclear(&setup);
    ogg_stream_clear(&in);
    ogg_stream_clear(&out);
    return headers + Join(pages, 2);
}

constexpr unsigned kSync = 0x564342;

// An ordered book of one dimension, 2^bits entries all of length bits: a complete tree in a dozen
// bytes, unused by any floor or residue.
template <int bits>
void ManyEntries(oggpack_buffer& out)
{
    oggpack_write(&out, kSync, 24);
    oggpack_write(&out, 1, 16);             // dimensions
    oggpack_write(&out, 1u << bits, 24);    // entries
    oggpack_write(&out, 1, 1);              // ordered
    oggpack_write(&out, bits - 1, 5);       // the first length, less one
    oggpack_write(&out, 1u << bits, bits + 1);  // every entry has it
    oggpack_write(&out, 0, 4);              // no lookup
}

// 255 entries of 65,535 dimensions over a lattice of one value: libvorbis expands it to 67 MB.
void Wide(oggpack_buffer& out)
{
    oggpack_write(&out, kSync, 24);
    oggpack_write(&out, 65535, 16);
    oggpack_write(&out, 255, 24);
    oggpack_write(&out, 1, 1);  // ordered: one entry of length 7, then 254 of length 8
    oggpack_write(&out, 6, 5);
    oggpack_write(&out, 1, 8);
    oggpack_write(&out, 254, 8);
    oggpack_write(&out, 1, 4);   // a lattice
    oggpack_write(&out, 0, 32);  // its least value
    oggpack_write(&out, 0, 32);  // its step
    oggpack_write(&out, 0, 4);   // one bit a value
    oggpack_write(&out, 0, 1);
    oggpack_write(&out, 0, 1);   // the one value
}

TEST(OggTune, CodebooksLibvorbisCannotTakeSafelyAreRefusedFromTheSetupHeader)
{
    ScratchFolder scratch;
    const std::string stereo = MakeTune(scratch, "stereo", 2);
    ExpectVerdicts({
        {"the tune as it was, paged again", WithCodebooks(stereo, 0, Wide), ""},
        {"a book of 32768 entries", WithCodebooks(stereo, 1, ManyEntries<15>), ""},
        // 8 bytes an entry on libvorbis's stack: 2^20 entries overflowed it.
        {"a book of 65536 entries", WithCodebooks(stereo, 1, ManyEntries<16>),
         "has 65536 entries, more than the 32768 a codebook may have"},
        {"a book of 2^20 entries", WithCodebooks(stereo, 1, ManyEntries<20>), "link 0: codebook 38 has 1048576 entries"},
        {"a book expanding to 67 MB", WithCodebooks(stereo, 1, Wide),
         "link 0: the codebooks up to codebook 38 expand to 67230364 bytes, more than the 33554432 a tune's may"},
        {"twenty of them", WithCodebooks(stereo, 20, Wide), "more than the 33554432 a tune's may"},
        {"a second link's", Join(Pages(stereo, 2)) + WithCodebooks(stereo, 1, ManyEntries<20>),
         "link 1: codebook 38 has 1048576 entries"},
    });
}

// The tune with its last page's position replaced, the page's checksum set again.
std::string WithLastPosition(const std::string& tune, ogg_int64_t position)
{
    std::vector<std::string> pages = Pages(tune, 1);
    std::string& last = pages.back();
    for (int i = 0; i < 8; ++i) last[size_t(6 + i)] = char(uint64_t(position) >> (8 * i));
    ogg_page page;
    page.header = reinterpret_cast<unsigned char*>(last.data());
    page.header_len = 27 + static_cast<unsigned char>(last[26]);
    page.body = page.header + page.header_len;
    page.body_len = long(last.size()) - page.header_len;
    ogg_page_checksum_set(&page);
    return Join(pages);
}

TEST(OggTune, TheLengthIsWhatTheDecoderDeliversNotALastPositionClaimed)
{
    ScratchFolder scratch;
    const std::string tune = MakeTune(scratch, "tune", 2, 1.0);
    struct Case {
        const char* what;
        std::string bytes;
        ogg_int64_t frames;  // 0: what the decoder delivers
    } cases[] = {
        {"as encoded", tune, 44100},
        {"claiming 2^63-1 frames", WithLastPosition(tune, INT64_MAX), 0},
        {"claiming a minute", WithLastPosition(tune, 44100 * 60), 0},
        {"two links, the first claiming ages", WithLastPosition(tune, INT64_MAX) + Join(Pages(tune, 2)), 0},
        // libvorbis cuts only the last packet to the position; a shorter claim stays the length.
        {"claiming half a second", WithLastPosition(tune, 22050), 22050},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OggTune::Decoder decoder(c.bytes.data(), c.bytes.size());
        ASSERT_TRUE(decoder.IsOpen()) << decoder.Problem();
        const ogg_int64_t claimed = ov_pcm_total(decoder.Get(), -1);
        ogg_int64_t delivered = 0;
        float** planes = nullptr;
        int link = 0;
        for (long got; (got = ov_read_float(decoder.Get(), &planes, 4096, &link)) != 0;)
            delivered += got > 0 ? got : 0;
        EXPECT_EQ(decoder.Frames(), c.frames ? c.frames : delivered) << "claimed " << claimed;
        EXPECT_LE(decoder.Frames(), claimed);
        std::string problem;
        EXPECT_TRUE(OggTune::DecodeWhole(c.bytes.data(), c.bytes.size(), problem)) << problem;
    }
}

}  // namespace
