// Writes stereo float audio as a 16-bit PCM WAV file, for inspecting the mix.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace music {

class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Creates `path`; on failure returns false and `error` says why.
    bool Open(const std::string& path, uint32_t rate, std::string& error);
    // Appends `frames` frames; samples in [-1, 1] (clamped).
    bool Write(const float* left, const float* right, int frames, std::string& error);
    // Fills in the header's sizes and closes the file.
    bool Close(std::string& error);

private:
    bool WriteHeader();
    std::FILE* m_file = nullptr;
    uint32_t m_rate = 0;
    uint32_t m_frames = 0;
};

}  // namespace music
