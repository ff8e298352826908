// The demo's music: checks and opens the audio output and streams the tune from the data archive.
#include "engine/Music.h"

#include <algorithm>
#include <string>

#include "platform/FatalError.h"
#include "platform/IAudioDevice.h"
#include "platform/IAudioStream.h"
#include "platform/Log.h"
#include "platform/Text.h"
#include "core/IFile.h"
#include "core/IFileSystem.h"

namespace {
constexpr int kFrequency = 44100;
}  // namespace

const wchar_t* const Music::kTuneName = L"kv-meridian.ogg";

Music::Music(std::unique_ptr<IAudioDevice> device) : m_device(std::move(device)) {}

Music::~Music() = default;

void Music::Open(IFileSystem* fileSystem)
{
    if ((m_device->GetVersion() >> 16) != kAudioApiVersion)
        throw L"BASS :: An incorrect version of BASS.DLL was loaded!";
    if (!m_device->Open(kFrequency))
        Platform::ThrowFatal(L"Cannot open the audio device: " + Text::FromUtf8(m_device->GetProblem()) +
                             L". Start with --mute to play without sound.");
    m_tune = fileSystem->OpenFile(kTuneName);
    if (!m_tune) {
        Log::Error() << "Cannot read from file: " << kTuneName << " (playing without music)";
        return;
    }
    m_stream = m_device->CreateStream(m_tune->GetData(), m_tune->GetSize());
    if (!m_stream)
        Platform::ThrowFatal(L"Cannot play the music " + std::wstring(kTuneName) + L": " +
                             Text::FromUtf8(m_device->GetProblem()) + L".");
}

void Music::Play()
{
    if (!m_stream) return;
    if (!m_stream->Play())
        throw L"BASS :: Can't start playback!";
    m_playing = true;
}

void Music::Seek(double seconds)
{
    if (m_stream && !m_stream->Seek(seconds)) Log::Error() << "Cannot move the tune to " << seconds << " s.";
}

double Music::GetPosition() const { return m_stream ? m_stream->GetPosition() : 0.0; }

bool Music::IsPlaying() const
{
    if (!m_playing) return false;
    const double length = m_stream->GetLength();
    return length <= 0 || m_stream->GetPosition() < length;
}

double Music::GetHeardPosition() const { return std::max(GetPosition() - GetLatency(), 0.0); }

double Music::GetLatency() const { return m_device->GetLatency(); }
