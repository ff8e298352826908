// A whole tune decoded for the content check: tunes made by oggenc pass; every way a tune
// cannot be heard in full is named.
#include <gtest/gtest.h>

#include <string>

#include "platform/OggTune.h"
#include "support/ScratchFolder.h"

namespace {

// Tones, one per channel, encoded by oggenc.
std::string MakeTune(const ScratchFolder& scratch, const std::string& name, int channels, double seconds = 0.25)
{
    EXPECT_EQ(scratch.EncodeTune(name + ".ogg", channels, 44100, seconds), 0);
    return scratch.Read(name + ".ogg");
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
