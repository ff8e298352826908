// Exact capture: the frame clock, and the WAV of a span decoded from the tune at its sample offset.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <vorbis/vorbisfile.h>

#include "makers/Capture.h"
#include "makers/WavExport.h"
#include "music/OggWriter.h"
#include "support/ScratchFolder.h"

namespace {

constexpr long kRate = 44100;

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr double kTwoPi = 6.283185307179586;  // M_PI is not standard C++

// Three seconds of a stereo chirp, distinct in each channel, as an Ogg Vorbis file.
std::string MakeTune(const ScratchFolder& folder)
{
    const std::string path = (folder / "tune.ogg").string();
    music::OggWriter writer;
    std::string error;
    EXPECT_TRUE(writer.Open(path, kRate, 0.6f, "test", error)) << error;
    std::vector<float> left(3 * kRate), right(3 * kRate);
    for (size_t i = 0; i < left.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        left[i] = static_cast<float>(0.5 * std::sin(kTwoPi * (220 + 200 * t) * t));
        right[i] = static_cast<float>(0.4 * std::sin(kTwoPi * 331 * t) * (t / 3));
    }
    EXPECT_TRUE(writer.Write(left.data(), right.data(), static_cast<int>(left.size()), error)) << error;
    EXPECT_TRUE(writer.Close(error)) << error;
    return ReadAll(path);
}

// The whole tune decoded from its start, without seeking, as 16-bit little-endian samples.
std::string DecodeAll(const std::string& path)
{
    OggVorbis_File vorbis;
    EXPECT_EQ(ov_fopen(path.c_str(), &vorbis), 0);
    std::string pcm;
    char buffer[4096];
    int link = 0;
    for (long got; (got = ov_read(&vorbis, buffer, sizeof buffer, 0, 2, 1, &link)) != 0;)
        if (got > 0) pcm.append(buffer, static_cast<size_t>(got));
    ov_clear(&vorbis);
    return pcm;
}

uint32_t Read32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

TEST(WavExport, ASpanEqualsTheDecodedTuneAtItsOffset)
{
    ScratchFolder folder;
    const std::string tune = MakeTune(folder);
    TuneFormat format;
    ASSERT_EQ(ReadTuneFormat(tune.data(), tune.size(), format), "");
    EXPECT_EQ(format.rate, kRate);
    EXPECT_EQ(format.channels, 2);
    EXPECT_NEAR(format.seconds, 3.0, 0.01);

    const std::string all = DecodeAll((folder / "tune.ogg").string());
    ASSERT_GE(all.size(), size_t(3 * kRate * 4));
    const long long first = 33333, frames = kRate;  // an offset inside a Vorbis packet
    const std::string wav = (folder / "span.wav").string();
    ASSERT_EQ(ExportWav(tune.data(), tune.size(), first, frames, wav), "");
    const std::string bytes = ReadAll(wav);
    ASSERT_EQ(bytes.size(), size_t(44 + frames * 4));
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Read32(bytes, 24), uint32_t(kRate));
    EXPECT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(Read32(bytes, 40), uint32_t(frames * 4));
    EXPECT_TRUE(bytes.compare(44, std::string::npos, all, size_t(first * 4), size_t(frames * 4)) == 0)
        << "the samples differ from the tune decoded from its start";
}

TEST(WavExport, PastTheEndIsSilenceAndBadBytesAreRefused)
{
    ScratchFolder folder;
    const std::string tune = MakeTune(folder);
    const std::string all = DecodeAll((folder / "tune.ogg").string());
    const long long total = static_cast<long long>(all.size() / 4);
    const std::string wav = (folder / "tail.wav").string();
    ASSERT_EQ(ExportWav(tune.data(), tune.size(), total - 100, 1000, wav), "");
    const std::string bytes = ReadAll(wav);
    ASSERT_EQ(bytes.size(), size_t(44 + 1000 * 4));
    EXPECT_EQ(bytes.compare(44, 400, all, size_t((total - 100) * 4), 400), 0);
    EXPECT_EQ(bytes.substr(44 + 400), std::string(900 * 4, '\0'));

    ASSERT_EQ(ExportWav(tune.data(), tune.size(), total + 5000, 10, wav), "");
    EXPECT_EQ(ReadAll(wav).substr(44), std::string(40, '\0'));

    const std::string junk = "OggS but not really a tune";
    TuneFormat format;
    EXPECT_NE(ReadTuneFormat(junk.data(), junk.size(), format), "");
    EXPECT_NE(ExportWav(junk.data(), junk.size(), 0, 10, wav), "");
    EXPECT_NE(ExportWav(tune.data(), tune.size(), 0, 10, (folder / "no/such/folder/x.wav").string()), "");
}

TEST(Capture, TheClockFollowsTheFrameCounter)
{
    Capture ntsc("unused", 60000, 1001, 0, -1);
    EXPECT_DOUBLE_EQ(ntsc.TimeOf(0), 0);
    EXPECT_DOUBLE_EQ(ntsc.TimeOf(60000), 1001);  // no drift over a long run
    EXPECT_DOUBLE_EQ(ntsc.TimeOf(1), 1001.0 / 60000);
    EXPECT_DOUBLE_EQ(ntsc.NextStep(0.00001), 0);  // frame 0 takes no step back
    Capture thirty("unused", 30, 1, 40, 42);
    EXPECT_EQ(thirty.GetFirstFrame(), 1200);
    EXPECT_DOUBLE_EQ(thirty.TimeOf(1200), 40);
    EXPECT_NEAR(thirty.NextStep(39.96), 0.04, 1e-12);  // a seek's end lands exactly on the span's start
    Capture late("unused", 24, 1, 1.01, -1);
    EXPECT_EQ(late.GetFirstFrame(), 25);
}

}  // namespace
