// The demo's music: checks and opens the audio output and streams the tune from the data archive.
#pragma once

#include <memory>

class IAudioDevice;
class IAudioStream;
class IFile;
class IFileSystem;

class Music {
public:
    // The tune's name in the data archive.
    static const wchar_t* const kTuneName;

    explicit Music(std::unique_ptr<IAudioDevice> device);
    // Frees the stream, then the tune's bytes it reads, then the device.
    ~Music();
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    // Checks the audio back end's version, opens the output at 44100 Hz and creates a paused
    // stream over "kv-meridian.ogg" from fileSystem. Throws the fatal message of the step that
    // fails, with the device's reason (no device: how to play without sound; a tune that is no
    // playable Ogg Vorbis: what it is); a tune missing from the archive is logged and the demo
    // plays on without music.
    // Not called for a silent run.
    void Open(IFileSystem* fileSystem);
    // Starts the tune; throws L"BASS :: Can't start playback!" when the device refuses.
    // Does nothing when there is no stream (not opened, or no tune).
    void Play();
    // Moves the tune to seconds from its start (for --seek and --loop); nothing without a stream.
    void Seek(double seconds);
    // Seconds of the tune the device has consumed so far; 0 when there is no stream.
    double GetPosition() const;
    // Whether the tune is playing: started, and not past the length its stream declares.
    bool IsPlaying() const;
    // Seconds of the tune the listener has heard: GetPosition less the device's latency, not
    // below 0.
    double GetHeardPosition() const;
    // The device's latency in seconds (its buffer, by which the position moves at once); 0
    // without a device opened.
    double GetLatency() const;

private:
    // Declared so that each outlives what depends on it.
    std::unique_ptr<IAudioDevice> m_device;
    std::unique_ptr<IFile> m_tune;  // the stream reads these bytes in place for its whole life
    std::unique_ptr<IAudioStream> m_stream;
    bool m_playing = false;
};
