// A whole tune decoded for the content check: tunes made by oggenc pass; every way a tune
// cannot be heard in full is named.
#include <gtest/gtest.h>

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

TEST(OggTune, OnlyRatesThePlayerConvertsArePlayedAndOtherFilesAreNamed)
{
    ScratchFolder scratch;
    const std::string stereo = MakeTune(scratch, "stereo", 2);
    struct Case {
        const char* what;
        std::string bytes;
        const char* problem;  // a part of the reason; empty: plays
    } cases[] = {
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string problem;
        EXPECT_EQ(OggTune::DecodeWhole(c.bytes.data(), c.bytes.size(), problem), !*c.problem) << problem;
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
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

}  // namespace
