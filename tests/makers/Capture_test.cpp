// Exact capture: the frame clock, and the WAV of a span decoded from the tune at its sample offset.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <png.h>
#include <vorbis/vorbisfile.h>

#include "makers/Capture.h"
#include "makers/FrameWriter.h"
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

// Frame n of a w x h test pattern, rows bottom first as the back buffer gives them.
void FillFrame(std::vector<unsigned char>& pixels, int width, int height, long n)
{
    pixels.resize(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 7 + n * 31 + i / 97);
}

// A PNG's RGB rows, top first; empty when it cannot be read.
std::vector<unsigned char> ReadPng(const std::string& path, int& width, int& height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<unsigned char> rgb;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return rgb;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) rgb.clear();
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return rgb;
}

TEST(FrameWriter, FramesQueuedFasterThanWrittenArriveWholeAndInOrder)
{
    ScratchFolder folder;
    constexpr int kWidth = 37, kHeight = 11, kFrames = 9;
    {
        FrameWriter writer(folder.Path().string(), 2, PngEffort::Fast);
        for (long n = 0; n < kFrames; ++n) {
            FillFrame(writer.Next(), kWidth, kHeight, n);
            writer.Queue(n, kWidth, kHeight);
        }
        EXPECT_EQ(writer.Drain(), "");
        EXPECT_EQ(writer.FailedFrame(), -1);
    }
    std::vector<unsigned char> expected;
    for (long n = 0; n < kFrames; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06ld.png", n);
        int width = 0, height = 0;
        const std::vector<unsigned char> rgb = ReadPng((folder / name).string(), width, height);
        ASSERT_EQ(rgb.size(), size_t(kWidth * kHeight * 3)) << name;
        EXPECT_EQ(width, kWidth);
        EXPECT_EQ(height, kHeight);
        FillFrame(expected, kWidth, kHeight, n);
        for (int row = 0; row < kHeight; ++row)
            ASSERT_EQ(std::memcmp(rgb.data() + row * kWidth * 3, expected.data() + (kHeight - 1 - row) * kWidth * 3,
                                  kWidth * 3),
                      0)
                << name << " row " << row;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), kFrames) << "a .partial was left";
}

TEST(FrameWriter, AFrameThatCannotBeWrittenIsNamedInFull)
{
    ScratchFolder folder;
    // Near 4 KB of path, in folders that were never made.
    std::string deep = folder.Path().string();
    while (deep.size() < 4000) deep += "/" + std::string(200, 'd');
    FrameWriter writer(deep, 3, PngEffort::Fast);
    FillFrame(writer.Next(), 4, 4, 0);
    writer.Queue(0, 4, 4);
    const std::string problem = writer.Drain();
    EXPECT_EQ(problem.rfind("Cannot write " + deep + "/frame_000000.png: ", 0), 0u) << problem.substr(0, 40);
    EXPECT_EQ(writer.Failure(), problem);
    EXPECT_EQ(writer.FailedFrame(), 0);
}

TEST(Capture, OneCaptureAtATimeInAFolder)
{
    ScratchFolder folder;
    std::unique_ptr<Files::HeldLock> first, second;
    EXPECT_EQ(Capture::ClaimFolder(folder.Path().string(), first), "");
    ASSERT_TRUE(first);
    // flock and a file opened unshared both refuse a second taker, in the same process too.
    EXPECT_NE(Capture::ClaimFolder(folder.Path().string(), second).find("another capture is writing"),
              std::string::npos);
    first.reset();
    EXPECT_EQ(Capture::ClaimFolder(folder.Path().string(), second), "");
    second.reset();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 0) << "the lock was left";
    std::ofstream(folder / "frame_000000.png") << "x";
    EXPECT_NE(Capture::ClaimFolder(folder.Path().string(), first).find("already holds the frames"), std::string::npos);
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
