// k_AudioDevice and k_AudioStream: OGG files made by oggenc, played through SDL's disk and dummy drivers.
#include <gtest/gtest.h>
#include <ogg/ogg.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/IAudioStream.h"
#include "platform/k_AudioDevice.h"
#include "support/ScratchFolder.h"
#include "support/LogCapture.h"

namespace {

// Writes a WAV (a tone per channel, one second unless told) and encodes it with oggenc.
void MakeTune(const ScratchFolder& scratch, const std::string& name, int rate, std::vector<double> tones,
              int seconds = 1)
{
    std::string script = "import math, struct, wave\n"
                         "rate, tones = " + std::to_string(rate) + ", [";
    for (double tone : tones)
        script += std::to_string(tone) + ", ";
    script += "]\n"
              "w = wave.open('" + name + ".wav', 'wb')\n"
              "w.setnchannels(len(tones)); w.setsampwidth(2); w.setframerate(rate)\n"
              "w.writeframes(b''.join(struct.pack('<' + 'h' * len(tones),\n"
              "    *[int(16000 * math.sin(2 * math.pi * f * i / rate)) for f in tones]) for i in range(rate * " +
              std::to_string(seconds) + ")))\n"
              "w.close()\n";
    ASSERT_EQ(scratch.Python(name + ".py", script), 0);
    ASSERT_EQ(scratch.Run("oggenc -Q -q 6 -o " + name + ".ogg " + name + ".wav"), 0);
}

// Waits (polling, generously bounded) until the stream's position reaches seconds.
bool WaitForPosition(const IAudioStream& stream, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (stream.GetPosition() < seconds) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Waits (polling, generously bounded) until the file at path holds at least bytes.
bool WaitForFileSize(const std::string& path, uintmax_t bytes)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::error_code error;
    while (std::filesystem::file_size(path, error) < bytes || error) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// One channel of interleaved stereo floats: zero crossings per second and RMS over a window.
struct Signal {
    double crossingsPerSecond;
    double rms;
};
Signal Measure(const std::vector<float>& stereo, size_t channel, size_t first, size_t frames)
{
    int crossings = 0;
    double power = 0;
    for (size_t i = first; i < first + frames; ++i) {
        const float a = stereo[2 * i + channel], b = stereo[2 * (i + 1) + channel];
        crossings += (a < 0) != (b < 0);
        power += double(a) * a;
    }
    return {crossings * 44100.0 / double(frames), std::sqrt(power / double(frames))};
}

class AudioDevice : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_scratch = new ScratchFolder;
        MakeTune(*s_scratch, "mono44", 44100, {440});
        MakeTune(*s_scratch, "stereo22", 22050, {440, 660});
        MakeTune(*s_scratch, "long", 44100, {440, 460}, 2);
    }
    static void TearDownTestSuite() { delete s_scratch; }
    void SetUp() override
    {
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        unsetenv("SDL_DISKAUDIODELAY");
    }

    static std::string Tune(const std::string& name) { return s_scratch->Read(name + ".ogg"); }

    static ScratchFolder* s_scratch;
};
ScratchFolder* AudioDevice::s_scratch = nullptr;

TEST_F(AudioDevice, ReportsTheLoadedApiGenerationInTheHighBits)
{
    k_AudioDevice device;
    EXPECT_EQ(device.GetVersion() >> 16, kAudioApiVersion);
}

TEST_F(AudioDevice, OpenFailsAndLogsWithoutADriver)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    LogCapture log;
    k_AudioDevice device;
    EXPECT_FALSE(device.Open(44100));
    EXPECT_TRUE(log.Has(Log::Level::Error, "audio"));
    const std::string tune = Tune("mono44");
    EXPECT_FALSE(device.CreateStream(tune.data(), tune.size()));  // nothing to play on
}

TEST_F(AudioDevice, BytesThatAreNoTuneGiveNoStream)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string tune = Tune("mono44");
    const std::string garbage(5000, '\x5a');
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"garbage", garbage},
        {"empty", ""},
        {"headers cut short", tune.substr(0, 100)},
        {"a WAV file", s_scratch->Read("mono44.wav")},
    };
    LogCapture log;
    k_AudioDevice device;
    ASSERT_TRUE(device.Open(44100));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(device.CreateStream(c.bytes.data(), c.bytes.size()));
    }
    EXPECT_FALSE(device.CreateStream(nullptr, 0));
    EXPECT_EQ(log.Count(Log::Level::Error), 5);
    EXPECT_EQ(device.GetProblem(), "not an Ogg Vorbis stream: the file is empty");
}

TEST_F(AudioDevice, ARateThePlayerCannotConvertIsRefusedAsTheCheckRefusesIt)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string tune = Tune("mono44");
    // The rate of the identification header (byte 12 of page 0's body), its checksum set again.
    ogg_page page;
    page.header = reinterpret_cast<unsigned char*>(tune.data());
    page.header_len = 28;
    page.body = page.header + 28;
    page.body_len = 30;
    LogCapture log;
    k_AudioDevice device;
    ASSERT_TRUE(device.Open(44100));
    for (const uint32_t rate : {1u, 2147483647u, 4294967295u}) {
        SCOPED_TRACE(rate);
        for (int i = 0; i < 4; ++i) page.body[12 + i] = static_cast<unsigned char>(rate >> (8 * i));
        ogg_page_checksum_set(&page);
        EXPECT_FALSE(device.CreateStream(tune.data(), tune.size()));  // 1 Hz took 650 MB to convert
        EXPECT_NE(device.GetProblem().find(" Hz; 8000 to 384000 Hz can be played"), std::string::npos)
            << device.GetProblem();
    }
    EXPECT_EQ(log.Count(Log::Level::Error), 3);
}

// The disk driver writes what the device was given to a file, as fast as it can, so the
// decoded music itself can be checked: its pitch per channel, its level and its length.
TEST_F(AudioDevice, DecodedSamplesReachTheDeviceInPitchAndLength)
{
    struct Case {
        const char* tune;
        double leftHz, rightHz;
        double lengthTolerance;  // seconds; none when no resampling is involved
    };
    const Case cases[] = {
        {"mono44", 440, 440, 0.0},
        {"stereo22", 440, 660, 0.002},  // resampled to the device's 44100 Hz
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tune);
        const std::string raw = (*s_scratch / (std::string(c.tune) + ".raw")).string();
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "1", 1);
        const std::string tune = Tune(c.tune);
        double position = 0;
        {
            k_AudioDevice device;
            ASSERT_TRUE(device.Open(44100));
            std::unique_ptr<IAudioStream> stream = device.CreateStream(tune.data(), tune.size());
            ASSERT_TRUE(stream);
            EXPECT_EQ(stream->GetPosition(), 0.0);
            ASSERT_TRUE(stream->Play());
            ASSERT_TRUE(WaitForPosition(*stream, 1.0 - c.lengthTolerance));
            // Let the device run on past the end: the silence after it must not count.
            ASSERT_TRUE(WaitForFileSize(raw, 2 * 44100 * 2 * sizeof(float)));
            position = stream->GetPosition();
        }
        EXPECT_NEAR(position, 1.0, c.lengthTolerance);

        const std::string bytes = s_scratch->Read(std::string(c.tune) + ".raw");
        std::vector<float> stereo(bytes.size() / sizeof(float));
        std::memcpy(stereo.data(), bytes.data(), stereo.size() * sizeof(float));
        size_t onset = 0;  // the device plays silence until the stream starts
        while (2 * onset + 1 < stereo.size() && std::fabs(stereo[2 * onset]) < 1e-3f)
            ++onset;
        ASSERT_GE(stereo.size() / 2, onset + 33076) << "too little music was written";
        const double expectedRms = 16000.0 / 32768.0 / std::sqrt(2.0);
        const Signal left = Measure(stereo, 0, onset + 11025, 22050);
        const Signal right = Measure(stereo, 1, onset + 11025, 22050);
        EXPECT_NEAR(left.crossingsPerSecond, 2 * c.leftHz, 8);
        EXPECT_NEAR(right.crossingsPerSecond, 2 * c.rightHz, 8);
        EXPECT_NEAR(left.rms, expectedRms, 0.05);
        EXPECT_NEAR(right.rms, expectedRms, 0.05);
    }
}

TEST_F(AudioDevice, ATuneThatStopsEarlyIsLogged)
{
    const std::string raw = (*s_scratch / "damaged.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
    std::string tune = Tune("long");  // pages damaged half-way: the decoder loses the rest
    for (size_t i = tune.size() / 2; i < tune.size() / 2 + 64; ++i) tune[i] = char(tune[i] ^ 0x5a);
    LogCapture log;
    {
        k_AudioDevice device;
        ASSERT_TRUE(device.Open(44100));
        std::unique_ptr<IAudioStream> stream = device.CreateStream(tune.data(), tune.size());
        ASSERT_TRUE(stream);
        ASSERT_TRUE(stream->Play());
        ASSERT_TRUE(WaitForFileSize(raw, 3 * 44100 * 2 * sizeof(float)));  // well past its end
    }
    EXPECT_TRUE(log.Has(Log::Level::Warning, "The tune stopped early, damaged after ")) << log.Lines().size();
}

TEST_F(AudioDevice, PositionAdvancesWhilePlayingAndStreamsStopCleanly)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string tune = Tune("stereo22");
    k_AudioDevice device;
    ASSERT_TRUE(device.Open(44100));
    std::unique_ptr<IAudioStream> stream = device.CreateStream(tune.data(), tune.size());
    ASSERT_TRUE(stream);
    ASSERT_TRUE(stream->Play());
    EXPECT_TRUE(WaitForPosition(*stream, 0.05));
    stream.reset();  // mid-tune, while the audio thread is pulling samples

    // The device plays on with a new stream after the first is gone.
    std::unique_ptr<IAudioStream> again = device.CreateStream(tune.data(), tune.size());
    ASSERT_TRUE(again);
    ASSERT_TRUE(again->Play());
    EXPECT_TRUE(WaitForPosition(*again, 0.05));
}

}  // namespace
