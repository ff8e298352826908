// An Ogg Vorbis tune decoded from memory (libvorbisfile) and converted to the device's format.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/IAudioStream.h"
#include "platform/OggTune.h"

class k_AudioDevice;
struct _SDL_AudioStream;

class k_AudioStream : public IAudioStream {
public:
    // Null, with the reason logged and in problem, when the bytes are no playable tune. Made by
    // k_AudioDevice.
    static std::unique_ptr<k_AudioStream> Create(k_AudioDevice* device, const void* data, size_t size,
                                                 std::string& problem);
    ~k_AudioStream() override;

    bool Play() override;
    double GetPosition() const override;
    bool Seek(double seconds) override;
    double GetLength() const override;

    // On the audio thread, under the device lock: writes frames stereo float frames, silence
    // after the end of the tune.
    void Mix(float* out, int frames);

private:
    k_AudioStream(k_AudioDevice* device, const void* data, size_t size);
    bool Open(std::string& problem);

    k_AudioDevice* m_device;  // not owned; outlives the stream
    OggTune::Decoder m_decoder;
    _SDL_AudioStream* m_converter = nullptr;   // tune rate and channels -> device format; owned
    int m_channels = 0;
    std::vector<float> m_interleaved;  // one decoded chunk, reused
    bool m_drained = false;            // the decoder has given its last sample
    std::atomic<uint64_t> m_framesPlayed{0};
    double m_rate = 0;           // the tune's frames per second
    int64_t m_totalFrames = 0;   // the length the stream declares; not above 0 when unknown
    int64_t m_framesDecoded = 0;  // on the audio thread, read after it is detached
    std::atomic<bool> m_stoppedEarly{false};
};
