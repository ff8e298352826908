// musicgen: synthesises the demo's soundtrack and encodes it as OGG Vorbis.
//   musicgen OUT.ogg [--wav MIX.wav]
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "Dsp.h"
#include "Mixer.h"
#include "OggWriter.h"
#include "Score.h"
#include "WavWriter.h"

namespace {

constexpr float kQuality = 0.45f;
constexpr int kChunk = 4096;

// Drops a half-written output; only regular files, so a device named as output survives.
void RemovePartial(const std::string& path)
{
    std::error_code ignored;
    if (!path.empty() && std::filesystem::is_regular_file(path, ignored)) std::filesystem::remove(path, ignored);
}

int Fail(const std::string& message, const std::string& ogg, const std::string& wav)
{
    std::fprintf(stderr, "musicgen: %s\n", message.c_str());
    RemovePartial(ogg);
    RemovePartial(wav);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string oggPath, wavPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--wav" && i + 1 < argc) {
            wavPath = argv[++i];
        } else if (oggPath.empty() && !arg.empty() && arg[0] != '-') {
            oggPath = arg;
        } else {
            oggPath.clear();
            break;
        }
    }
    if (oggPath.empty()) {
        std::fprintf(stderr, "usage: musicgen OUT.ogg [--wav MIX.wav]\n");
        return 2;
    }

#if defined(__SSE__)
    // Decaying reverb and filter states would otherwise crawl through denormals.
    _mm_setcsr(_mm_getcsr() | 0x8040);
#endif
    const auto started = std::chrono::steady_clock::now();

    music::Song song;
    try {
        song = music::ComposeMeridian();
    } catch (const std::exception& e) {
        return Fail(std::string("error in the score: ") + e.what(), "", "");
    }
    const std::size_t noteCount = song.notes.size();
    music::Mixer mixer(std::move(song.notes), song.length, song.fadeStart);

    std::string error;
    music::OggWriter ogg;
    if (!ogg.Open(oggPath, static_cast<long>(music::kRate), kQuality, "meridian", error))
        return Fail(error, oggPath, "");
    music::WavWriter wav;
    if (!wavPath.empty() && !wav.Open(wavPath, static_cast<uint32_t>(music::kRate), error))
        return Fail(error, oggPath, wavPath);

    std::vector<float> left(kChunk), right(kChunk);
    double sumSquares = 0.0;
    float peak = 0.0f;
    int64_t frames = 0;
    for (int n; (n = mixer.Render(left.data(), right.data(), kChunk)) > 0; frames += n) {
        for (int i = 0; i < n; ++i) {
            peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
            sumSquares += static_cast<double>(left[i]) * left[i] + static_cast<double>(right[i]) * right[i];
        }
        if (!ogg.Write(left.data(), right.data(), n, error)) return Fail(error, oggPath, wavPath);
        if (!wavPath.empty() && !wav.Write(left.data(), right.data(), n, error)) return Fail(error, oggPath, wavPath);
    }
    if (!ogg.Close(error)) return Fail(error, oggPath, wavPath);
    if (!wavPath.empty() && !wav.Close(error)) return Fail(error, oggPath, wavPath);

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const double rms = std::sqrt(sumSquares / std::max<double>(1.0, 2.0 * frames));
    std::printf("musicgen: %s: %.1f s of audio from %zu notes, peak %.1f dBFS, RMS %.1f dBFS, in %.1f s\n",
                oggPath.c_str(), frames / music::kRate, noteCount, 20.0 * std::log10(std::max(peak, 1e-9f)),
                20.0 * std::log10(std::max(rms, 1e-9)), seconds);
    return 0;
}
