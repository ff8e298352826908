// 16-bit PCM WAV output (RIFF, little-endian).
#include "WavWriter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace music {

namespace {
void Put16(unsigned char*& p, uint32_t v)
{
    *p++ = static_cast<unsigned char>(v);
    *p++ = static_cast<unsigned char>(v >> 8);
}
void Put32(unsigned char*& p, uint32_t v)
{
    Put16(p, v & 0xFFFF);
    Put16(p, v >> 16);
}
}  // namespace

WavWriter::~WavWriter()
{
    if (m_file) std::fclose(m_file);
}

bool WavWriter::Open(const std::string& path, uint32_t rate, std::string& error)
{
    m_file = std::fopen(path.c_str(), "wb");
    m_rate = rate;
    m_frames = 0;
    if (!m_file || !WriteHeader()) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool WavWriter::WriteHeader()
{
    const uint32_t dataBytes = m_frames * 4;
    unsigned char header[44];
    unsigned char* p = header;
    std::memcpy(p, "RIFF", 4), p += 4;
    Put32(p, 36 + dataBytes);
    std::memcpy(p, "WAVEfmt ", 8), p += 8;
    Put32(p, 16);
    Put16(p, 1);  // PCM
    Put16(p, 2);
    Put32(p, m_rate);
    Put32(p, m_rate * 4);
    Put16(p, 4);
    Put16(p, 16);
    std::memcpy(p, "data", 4), p += 4;
    Put32(p, dataBytes);
    return std::fseek(m_file, 0, SEEK_SET) == 0 && std::fwrite(header, 1, sizeof header, m_file) == sizeof header;
}

bool WavWriter::Write(const float* left, const float* right, int frames, std::string& error)
{
    if (!m_file) {
        error = "the WAV writer is not open";
        return false;
    }
    unsigned char buffer[4096 * 4];
    for (int done = 0; done < frames;) {
        const int n = std::min(frames - done, 4096);
        unsigned char* p = buffer;
        for (int i = 0; i < n; ++i) {
            Put16(p, static_cast<uint16_t>(
                         static_cast<int16_t>(std::lrint(std::clamp(left[done + i], -1.0f, 1.0f) * 32767.0f))));
            Put16(p, static_cast<uint16_t>(
                         static_cast<int16_t>(std::lrint(std::clamp(right[done + i], -1.0f, 1.0f) * 32767.0f))));
        }
        if (std::fwrite(buffer, 4, n, m_file) != static_cast<size_t>(n)) {
            error = std::string("cannot write the WAV file: ") + std::strerror(errno);
            return false;
        }
        done += n;
    }
    m_frames += static_cast<uint32_t>(frames);
    return true;
}

bool WavWriter::Close(std::string& error)
{
    if (!m_file) {
        error = "the WAV writer is not open";
        return false;
    }
    const bool header = WriteHeader();
    const bool ok = std::fclose(m_file) == 0 && header;
    m_file = nullptr;
    if (!ok) error = std::string("cannot finish the WAV file: ") + std::strerror(errno);
    return ok;
}

}  // namespace music
