// The audio output over SDL2: one device whose callback, on SDL's audio thread, pulls the playing stream.
#include "platform/k_AudioDevice.h"

#include <SDL.h>
#include <cassert>
#include <cstring>

#include "platform/Log.h"
#include "platform/k_AudioStream.h"

static_assert(SDL_MAJOR_VERSION == kAudioApiVersion, "the audio back end is written for SDL 2");

namespace {
constexpr int kChannels = 2;
constexpr Uint16 kBufferFrames = 1024;  // about 23 ms at 44100 Hz
}  // namespace

k_AudioDevice::k_AudioDevice() = default;

k_AudioDevice::~k_AudioDevice()
{
    assert(!m_playing && "Destroy the audio stream before its device.");
    if (!m_device)
        return;
    SDL_CloseAudioDevice(m_device);  // waits for the audio thread to finish
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

uint32_t k_AudioDevice::GetVersion()
{
    SDL_version linked;
    SDL_GetVersion(&linked);
    return uint32_t(linked.major) << 16 | uint32_t(linked.minor) << 8 | linked.patch;
}

bool k_AudioDevice::Open(int frequency)
{
    assert(!m_device && "The audio device is already open; open it once.");
    m_problem.clear();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        m_problem = SDL_GetError();
        Log::Error() << "Cannot start audio: " << m_problem;
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = frequency;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = kChannels;
    wanted.samples = kBufferFrames;
    wanted.callback = &k_AudioDevice::Fill;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the hardware wants, so the callback always
    // writes stereo floats at frequency.
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (!m_device) {
        m_problem = SDL_GetError();
        Log::Error() << "Cannot open the audio device: " << m_problem;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    m_frequency = frequency;
    m_latency = double(obtained.samples) / double(obtained.freq > 0 ? obtained.freq : frequency);
    return true;
}

std::unique_ptr<IAudioStream> k_AudioDevice::CreateStream(const void* data, size_t size)
{
    if (!m_device) {
        m_problem = "the audio device is not open";
        Log::Error() << "Cannot create an audio stream: " << m_problem << ".";
        return nullptr;
    }
    m_problem.clear();
    return k_AudioStream::Create(this, data, size, m_problem);
}

bool k_AudioDevice::Start(k_AudioStream* stream)
{
    if (!m_device)
        return false;
    SDL_LockAudioDevice(m_device);
    m_playing = stream;
    SDL_UnlockAudioDevice(m_device);
    SDL_PauseAudioDevice(m_device, 0);
    return SDL_GetAudioDeviceStatus(m_device) == SDL_AUDIO_PLAYING;
}

void k_AudioDevice::Lock()
{
    if (m_device) SDL_LockAudioDevice(m_device);
}

void k_AudioDevice::Unlock()
{
    if (m_device) SDL_UnlockAudioDevice(m_device);
}

void k_AudioDevice::Detach(k_AudioStream* stream)
{
    if (!m_device)
        return;
    SDL_LockAudioDevice(m_device);
    if (m_playing == stream)
        m_playing = nullptr;
    SDL_UnlockAudioDevice(m_device);
}

void k_AudioDevice::Fill(void* device, unsigned char* out, int bytes)
{
    // SDL holds the device lock around this call, so m_playing cannot change under us.
    k_AudioDevice* self = static_cast<k_AudioDevice*>(device);
    if (self->m_playing)
        self->m_playing->Mix(reinterpret_cast<float*>(out), bytes / int(kChannels * sizeof(float)));
    else
        std::memset(out, 0, static_cast<size_t>(bytes));
}
