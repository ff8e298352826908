// Music: the audio start-up steps, their fatal messages, and playing on without a tune.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string>
#include <thread>

#include "engine/Music.h"
#include "platform/IAudioDevice.h"
#include "platform/IAudioStream.h"
#include "platform/k_AudioDevice.h"
#include "support/ScratchFolder.h"
#include "resources/k_FileSystem.h"
#include "support/LogCapture.h"
#include "platform/Text.h"

namespace {

// What the fake back end does, and what it saw.
struct Script {
    uint32_t version = kAudioApiVersion << 16 | 0x1A05;
    bool opens = true;
    bool streams = true;
    bool plays = true;

    int openedAt = 0;
    std::string streamedBytes;
    bool played = false;
    bool bytesAliveAtStreamEnd = false;
    double position = 12.5;
    double length = 180.0;
    double latency = 0.02;
};

class FakeStream : public IAudioStream {
public:
    FakeStream(Script& script, const void* data, size_t size) : m_script(script), m_data(data), m_size(size) {}
    ~FakeStream() override
    {
        // Reading the bytes here fails under ASan if the tune was released before its stream.
        m_script.bytesAliveAtStreamEnd =
            std::string(static_cast<const char*>(m_data), m_size) == m_script.streamedBytes;
    }
    bool Play() override { return m_script.played = m_script.plays; }
    double GetPosition() const override { return m_script.position; }
    bool Seek(double) override { return true; }
    double GetLength() const override { return m_script.length; }

private:
    Script& m_script;
    const void* m_data;
    size_t m_size;
};

class FakeDevice : public IAudioDevice {
public:
    explicit FakeDevice(Script& script) : m_script(script) {}
    uint32_t GetVersion() override { return m_script.version; }
    bool Open(int frequency) override
    {
        m_script.openedAt = frequency;
        return m_script.opens;
    }
    std::unique_ptr<IAudioStream> CreateStream(const void* data, size_t size) override
    {
        m_script.streamedBytes.assign(static_cast<const char*>(data), size);
        return m_script.streams ? std::make_unique<FakeStream>(m_script, data, size) : nullptr;
    }
    std::string GetProblem() const override
    {
        return !m_script.opens ? "no such device" : !m_script.streams ? "it is a FLAC file" : "";
    }
    double GetLatency() const override { return m_script.latency; }

private:
    Script& m_script;
};

// The message a call threw, or nullopt.
template <typename Call>
std::optional<std::wstring> Thrown(Call call)
{
    try {
        call();
    } catch (const wchar_t* message) {
        return std::wstring(message);
    }
    return std::nullopt;
}

class MusicStartUp : public testing::Test {
protected:
    void SetUp() override
    {
        scratch.Write("data/kv-meridian.ogg", "the bytes of the tune");
        files.UseDirectory((scratch / "data").wstring());
    }

    ScratchFolder scratch;
    k_FileSystem files{nullptr, L"/nonexistent"};
};

TEST_F(MusicStartUp, EachFailingStepRaisesItsMessage)
{
    struct Case {
        const char* what;
        void (*arrange)(Script&);
        const wchar_t* openMessage;  // null: Open succeeds
        const wchar_t* playMessage;  // null: Play succeeds
        int openedAt;                // the device's frequency; 0: never opened
    };
    const Case cases[] = {
        {"an older generation", [](Script& s) { s.version = 1u << 16 | 0x020F; },
         L"BASS :: An incorrect version of BASS.DLL was loaded!", nullptr, 0},
        {"a newer generation", [](Script& s) { s.version = 3u << 16; },
         L"BASS :: An incorrect version of BASS.DLL was loaded!", nullptr, 0},
        {"no device", [](Script& s) { s.opens = false; },
         L"Cannot open the audio device: no such device. Start with --mute to play without sound.", nullptr, 44100},
        {"no stream", [](Script& s) { s.streams = false; },
         L"Cannot play the music kv-meridian.ogg: it is a FLAC file.", nullptr, 44100},
        {"no playback", [](Script& s) { s.plays = false; }, nullptr, L"BASS :: Can't start playback!", 44100},
        {"all well", [](Script&) {}, nullptr, nullptr, 44100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Script script;
        c.arrange(script);
        Music music(std::make_unique<FakeDevice>(script));
        const auto opened = Thrown([&] { music.Open(&files); });
        EXPECT_EQ(opened, c.openMessage ? std::optional<std::wstring>(c.openMessage) : std::nullopt);
        EXPECT_EQ(script.openedAt, c.openedAt);
        if (opened)
            continue;  // start-up ends at the first fatal message
        EXPECT_FALSE(script.played);  // the tune waits for Play
        const auto played = Thrown([&] { music.Play(); });
        EXPECT_EQ(played, c.playMessage ? std::optional<std::wstring>(c.playMessage) : std::nullopt);
    }
}

TEST_F(MusicStartUp, OpensAt44100AndStreamsTheTunesBytesWhileTheyLive)
{
    Script script;
    {
        Music music(std::make_unique<FakeDevice>(script));
        music.Open(&files);
        EXPECT_EQ(script.openedAt, 44100);
        EXPECT_EQ(script.streamedBytes, "the bytes of the tune");
        music.Play();
        EXPECT_TRUE(script.played);
        EXPECT_EQ(music.GetPosition(), 12.5);
    }
    EXPECT_TRUE(script.bytesAliveAtStreamEnd);
}

TEST_F(MusicStartUp, AMissingTuneIsLoggedAndTheDemoPlaysOnSilently)
{
    std::filesystem::remove(scratch / "data/kv-meridian.ogg");
    LogCapture log;
    Script script;
    Music music(std::make_unique<FakeDevice>(script));
    EXPECT_EQ(Thrown([&] { music.Open(&files); }), std::nullopt);
    EXPECT_TRUE(log.Has(Log::Level::Error, "Cannot read from file: kv-meridian.ogg"));
    EXPECT_EQ(Thrown([&] { music.Play(); }), std::nullopt);
    EXPECT_FALSE(script.played);
    EXPECT_EQ(music.GetPosition(), 0.0);
}

TEST_F(MusicStartUp, WithoutOpenNothingTouchesTheDevice)
{
    Script script;
    Music music(std::make_unique<FakeDevice>(script));
    music.Play();  // a silent run never opens the music
    EXPECT_EQ(script.openedAt, 0);
    EXPECT_FALSE(script.played);
    EXPECT_EQ(music.GetPosition(), 0.0);
}

// What the picture follows: the position less the device's latency, while the tune plays.
TEST_F(MusicStartUp, PlaysFromItsStartToItsEndAndIsHeardALatencyBehind)
{
    struct Case {
        const char* what;
        double position, length;
        bool play;
        bool playing;
        double heard;
    } cases[] = {
        {"not started", 12.5, 180.0, false, false, 12.48},
        {"playing", 12.5, 180.0, true, true, 12.48},
        {"at its first buffer", 0.01, 180.0, true, true, 0.0},
        {"past its end", 180.0, 180.0, true, false, 179.98},
        {"a stream of no declared length", 500.0, 0.0, true, true, 499.98},
    };
    for (const Case& c : cases) {
        Script script;
        script.position = c.position;
        script.length = c.length;
        Music music(std::make_unique<FakeDevice>(script));
        music.Open(&files);
        if (c.play) music.Play();
        EXPECT_EQ(music.IsPlaying(), c.playing) << c.what;
        EXPECT_NEAR(music.GetHeardPosition(), c.heard, 1e-9) << c.what;
    }
    Script script;
    Music silent(std::make_unique<FakeDevice>(script));
    silent.Play();
    EXPECT_FALSE(silent.IsPlaying());
}

// The same steps on the real back end, with SDL's drivers standing in for the conditions.
TEST_F(MusicStartUp, RealBackEndPlaysATuneAndReportsItsFailures)
{
    ASSERT_EQ(scratch.EncodeTune("data/kv-meridian.ogg", 1, 44100, 2.0), 0);

    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        Music music(std::make_unique<k_AudioDevice>());
        const std::wstring thrown = Thrown([&] { music.Open(&files); }).value_or(L"");
        EXPECT_EQ(thrown.rfind(L"Cannot open the audio device: ", 0), 0u) << Text::ToUtf8(thrown);
        EXPECT_NE(thrown.find(L"no-such-driver"), std::wstring::npos);  // SDL's reason names the driver
        EXPECT_NE(thrown.find(L"Start with --mute to play without sound."), std::wstring::npos);
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    {
        Music music(std::make_unique<k_AudioDevice>());
        music.Open(&files);
        music.Play();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (music.GetPosition() == 0.0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_GT(music.GetPosition(), 0.0);
        EXPECT_TRUE(music.IsPlaying());
        EXPECT_NEAR(music.GetHeardPosition(), std::max(music.GetPosition() - 1024.0 / 44100.0, 0.0), 0.05);
    }
    // Fatal, as the README's table says, naming what the file is.
    struct Case {
        std::string bytes;
        const wchar_t* message;
    };
    const Case cases[] = {
        {std::string(4096, '\x17'), L"Cannot play the music kv-meridian.ogg: not an Ogg Vorbis stream: no Ogg page in it."},
        {"", L"Cannot play the music kv-meridian.ogg: not an Ogg Vorbis stream: the file is empty."},
        {"RIFF\x24\x10\x10\x10WAVEfmt ", L"Cannot play the music kv-meridian.ogg: not an Ogg Vorbis stream: it is a WAV file (RIFF)."},
    };
    for (const Case& c : cases) {
        scratch.Write("data/kv-meridian.ogg", c.bytes);
        Music music(std::make_unique<k_AudioDevice>());
        EXPECT_EQ(Thrown([&] { music.Open(&files); }), std::wstring(c.message));
    }
    unsetenv("SDL_AUDIODRIVER");
}

}  // namespace
