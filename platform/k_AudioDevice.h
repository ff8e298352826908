// The audio output over SDL2: one device whose callback, on SDL's audio thread, pulls the playing stream.
#pragma once

#include "platform/IAudioDevice.h"

class k_AudioStream;

class k_AudioDevice : public IAudioDevice {
public:
    k_AudioDevice();
    ~k_AudioDevice() override;

    uint32_t GetVersion() override;
    bool Open(int frequency) override;
    std::unique_ptr<IAudioStream> CreateStream(const void* data, size_t size) override;
    std::string GetProblem() const override { return m_problem; }
    double GetLatency() const override { return m_latency; }

    // For streams, on the main thread. Start makes stream the one the device plays and unpauses
    // the device; false when the device is not open or has stopped. After Detach returns the
    // audio thread no longer touches stream.
    bool Start(k_AudioStream* stream);
    void Detach(k_AudioStream* stream);
    int GetFrequency() const { return m_frequency; }
    // Holds the audio thread off the streams while a stream changes its decoder's place.
    void Lock();
    void Unlock();

private:
    static void Fill(void* device, unsigned char* out, int bytes);

    uint32_t m_device = 0;  // SDL_AudioDeviceID, 0 while not open
    int m_frequency = 0;
    std::string m_problem;  // of the last Open or CreateStream
    double m_latency = 0;
    k_AudioStream* m_playing = nullptr;  // shared with the audio thread: only under SDL's device lock
};
