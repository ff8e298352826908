// The audio output: opens the default device and creates music streams on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class IAudioStream;

// The audio API generation this program is written against; GetVersion's high 16 bits must match.
constexpr uint32_t kAudioApiVersion = 2;

class IAudioDevice {
public:
    // Closes the device. Destroy its streams first.
    virtual ~IAudioDevice() = default;

    // The back end actually loaded: API generation in the high 16 bits, its revision below.
    // May be asked before Open.
    virtual uint32_t GetVersion() = 0;
    // Opens the default output at frequency Hz, stereo; silent until a stream plays. Call once.
    // False, with the reason logged, when no device can be opened.
    virtual bool Open(int frequency) = 0;
    // A paused stream over the Ogg Vorbis file in the size bytes at data, or null, with the
    // reason logged, when they are no playable tune or the device is not open. The stream
    // reads the bytes in place: keep them alive and unchanged until the stream is destroyed.
    virtual std::unique_ptr<IAudioStream> CreateStream(const void* data, size_t size) = 0;
    // Why the last Open or CreateStream failed, as logged (the system's reason, or what the
    // bytes are when they are no Ogg Vorbis tune); empty after one that succeeded.
    virtual std::string GetProblem() const = 0;
    // Seconds from a sample handed to the device to its being heard: the buffer the device was
    // opened with. 0 before Open.
    virtual double GetLatency() const = 0;

protected:
    IAudioDevice() = default;
    IAudioDevice(const IAudioDevice&) = delete;
    IAudioDevice& operator=(const IAudioDevice&) = delete;
};
