// An Ogg Vorbis tune decoded from memory (libvorbisfile) and converted to the device's format.
#include "platform/k_AudioStream.h"

#include <SDL.h>
#include <algorithm>
#include <cstring>

#include "platform/Log.h"
#include "platform/OggTune.h"
#include "platform/k_AudioDevice.h"

namespace {

constexpr int kChunkFrames = 4096;
constexpr int kDeviceChannels = 2;
// A damaged tune may report a hole per packet; after this many in one buffer it is given up.
constexpr int kMaxHolesPerFill = 64;

}  // namespace

k_AudioStream::k_AudioStream(k_AudioDevice* device, const void* data, size_t size)
    : m_device(device), m_decoder(data, size)
{
}

std::unique_ptr<k_AudioStream> k_AudioStream::Create(k_AudioDevice* device, const void* data, size_t size,
                                                    std::string& problem)
{
    std::unique_ptr<k_AudioStream> stream(new k_AudioStream(device, data, size));
    if (!stream->Open(problem))
        return nullptr;
    return stream;
}

bool k_AudioStream::Open(std::string& problem)
{
    if (!m_decoder.IsOpen()) {
        problem = m_decoder.Problem();
        Log::Error() << "The tune cannot be played: " << problem << ".";
        return false;
    }
    const vorbis_info* first = ov_info(m_decoder.Get(), 0);
    m_channels = first->channels;
    m_rate = double(first->rate);
    m_totalFrames = m_decoder.Frames();
    m_converter = SDL_NewAudioStream(AUDIO_F32SYS, Uint8(m_channels), int(first->rate), AUDIO_F32SYS,
                                     kDeviceChannels, m_device->GetFrequency());
    if (!m_converter) {
        problem = std::string("cannot convert it for the audio device: ") + SDL_GetError();
        Log::Error() << "Cannot convert the tune for the audio device: " << SDL_GetError();
        return false;
    }
    m_interleaved.resize(size_t(kChunkFrames) * size_t(m_channels));
    return true;
}

k_AudioStream::~k_AudioStream()
{
    m_device->Detach(this);
    if (m_stoppedEarly.load())
        Log::Warning() << "The tune stopped early, damaged after " << double(m_framesDecoded) / m_rate << " s of its "
                       << double(m_totalFrames) / m_rate << " s.";
    if (m_converter)
        SDL_FreeAudioStream(m_converter);
}

bool k_AudioStream::Play() { return m_device->Start(this); }

double k_AudioStream::GetPosition() const
{
    return double(m_framesPlayed.load()) / double(m_device->GetFrequency());
}

double k_AudioStream::GetLength() const { return m_totalFrames > 0 ? double(m_totalFrames) / m_rate : 0.0; }

bool k_AudioStream::Seek(double seconds)
{
    const vorbis_info* info = ov_info(m_decoder.Get(), -1);
    const ogg_int64_t total = m_decoder.Frames();
    ogg_int64_t frame = ogg_int64_t(seconds * double(info->rate) + 0.5);
    if (frame < 0)
        frame = 0;
    m_device->Lock();
    const bool inside = frame < total;
    const bool moved = !inside || ov_pcm_seek(m_decoder.Get(), frame) == 0;
    if (moved) {
        SDL_AudioStreamClear(m_converter);  // nothing of the old place may follow the new one
        m_drained = !inside;
        m_framesPlayed = uint64_t(seconds * double(m_device->GetFrequency()) + 0.5);
    }
    m_device->Unlock();
    return moved;
}

void k_AudioStream::Mix(float* out, int frames)
{
    const int wanted = frames * kDeviceChannels * int(sizeof(float));
    int holes = 0;
    while (!m_drained && SDL_AudioStreamAvailable(m_converter) < wanted) {
        float** planes = nullptr;
        int link = 0;
        const long decoded = ov_read_float(m_decoder.Get(), &planes, kChunkFrames, &link);
        if (decoded == OV_HOLE && ++holes < kMaxHolesPerFill)
            continue;
        if (decoded <= 0) {
            // Told on the main thread, which owns the log: an error, or an end before the
            // length the stream declares (damaged pages are skipped without an error).
            m_stoppedEarly = decoded < 0 || (m_totalFrames > 0 && m_framesDecoded < m_totalFrames);
            SDL_AudioStreamFlush(m_converter);  // release what the resampler still holds
            m_drained = true;
            break;
        }
        m_framesDecoded += decoded;
        for (long frame = 0; frame < decoded; ++frame)
            for (int channel = 0; channel < m_channels; ++channel)
                m_interleaved[size_t(frame) * size_t(m_channels) + size_t(channel)] = planes[channel][frame];
        SDL_AudioStreamPut(m_converter, m_interleaved.data(), int(decoded) * m_channels * int(sizeof(float)));
    }
    const int delivered = std::max(0, SDL_AudioStreamGet(m_converter, out, wanted));
    std::memset(reinterpret_cast<unsigned char*>(out) + delivered, 0, size_t(wanted - delivered));
    m_framesPlayed += uint64_t(delivered) / (kDeviceChannels * sizeof(float));
}
