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

}  // namespace
