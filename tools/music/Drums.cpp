// Drum machine and effects: every sound is built from sines, band-limited noise and
// metallic square clusters shaped by exponential envelopes.
#include "Drums.h"

#include "Dsp.h"

namespace music {
namespace {

constexpr float kSilence = 1e-4f;

// Kick and heartbeat: a sine whose pitch falls from a knock to a low thump at `baseHz`; the
// kick adds a noise click. `sweep` is how far above the base the knock starts, in bases.
class KickVoice final : public Voice {
public:
    KickVoice(const Note& note, uint32_t seed, float baseHz, float sweep, float decay, float click)
        : m_rng(seed),
          m_base(baseHz),
          m_sweep(m_base * sweep),
          m_sweepCoef(DecayCoef(0.25f)),
          m_ampCoef(DecayCoef(decay)),
          m_click(click * note.velocity),
          m_clickCoef(DecayCoef(0.012f)),
          m_gain(note.velocity)
    {
    }

    bool Render(float* left, float* right, int count) override
    {
        for (int i = 0; i < count; ++i) {
            m_osc.SetFreq(m_base + m_sweep);
            m_sweep *= m_sweepCoef;
            const float attack = std::min(1.0f, static_cast<float>(++m_frame) / 40.0f);
            const float body = m_osc.Sine() * m_amp * attack;
            m_amp *= m_ampCoef;
            const float click = m_clickFilter.Highpass(m_rng.Bipolar()) * m_click;
            m_click *= m_clickCoef;
            const float v = std::tanh(1.5f * body + click) * m_gain;
            left[i] += v;
            right[i] += v;
            if (m_amp < kSilence) return false;
        }
        return true;
    }

private:
    Rng m_rng;
    Osc m_osc;
    Svf m_clickFilter = [] {
        Svf f;
        f.Set(3000.0f, 0.7f);
        return f;
    }();
    float m_base, m_sweep, m_sweepCoef, m_amp = 1.0f, m_ampCoef, m_click, m_clickCoef, m_gain;
    int m_frame = 0;
};

// Snare: a falling two-tone body under high-passed noise, slightly different per side.
class SnareVoice final : public Voice {
public:
    SnareVoice(const Note& note, uint32_t seed)
        : m_rng(seed),
          m_bodyCoef(DecayCoef(0.14f)),
          m_noiseCoef(DecayCoef(0.16f + 0.3f * note.tone)),
          m_gain(note.velocity)
    {
        m_high.SetFreq(190.0f * 1.78f);
        m_filterL.Set(1400.0f, 0.8f);
        m_filterR.Set(1500.0f, 0.8f);
    }

    bool Render(float* left, float* right, int count) override
    {
        for (int i = 0; i < count; ++i) {
            m_low.SetFreq(190.0f * (1.0f + 0.6f * m_pitchEnv));
            m_pitchEnv *= 0.9985f;
            const float body = (m_low.Sine() + 0.5f * m_high.Sine()) * m_body;
            const float common = m_rng.Bipolar();
            const float nl = m_filterL.Highpass(0.75f * common + 0.25f * m_rng.Bipolar());
            const float nr = m_filterR.Highpass(0.75f * common + 0.25f * m_rng.Bipolar());
            left[i] += (0.55f * body + nl * m_noise) * m_gain;
            right[i] += (0.55f * body + nr * m_noise) * m_gain;
            m_body *= m_bodyCoef;
            m_noise *= m_noiseCoef;
            if (m_noise < kSilence) return false;
        }
        return true;
    }

private:
    Rng m_rng;
    Osc m_low, m_high;
    Svf m_filterL, m_filterR;
    float m_pitchEnv = 1.0f, m_body = 1.0f, m_bodyCoef, m_noise = 0.8f, m_noiseCoef, m_gain;
};

// Clap: band-passed noise in four quick bursts and a short tail, as several hands would.
class ClapVoice final : public Voice {
public:
    ClapVoice(const Note& note, uint32_t seed)
        : m_rng(seed), m_tailCoef(DecayCoef(0.22f + 0.2f * note.tone)), m_gain(note.velocity)
    {
        m_filterL.Set(1100.0f, 1.6f);
        m_filterR.Set(1250.0f, 1.6f);
    }

    bool Render(float* left, float* right, int count) override
    {
        for (int i = 0; i < count; ++i) {
            float env;
            if (m_frame < kBurstFrames * 3) {
                env = std::exp(-static_cast<float>(m_frame % kBurstFrames) / 90.0f);
            } else {
                env = m_tail;
                m_tail *= m_tailCoef;
            }
            ++m_frame;
            const float common = m_rng.Bipolar();
            left[i] += m_filterL.Bandpass(common + 0.4f * m_rng.Bipolar()) * env * m_gain * 2.2f;
            right[i] += m_filterR.Bandpass(common + 0.4f * m_rng.Bipolar()) * env * m_gain * 2.2f;
            if (m_tail < kSilence) return false;
        }
        return true;
    }

private:
    static constexpr int kBurstFrames = 420;
    Rng m_rng;
    Svf m_filterL, m_filterR;
    int m_frame = 0;
    float m_tail = 1.0f, m_tailCoef, m_gain;
};

// Hats and crash: six detuned square oscillators (a metallic, inharmonic cluster) and noise,
// high-passed. Closed hats are short, open ones ring, the crash rings long and wide.
class MetalVoice final : public Voice {
public:
    MetalVoice(const Note& note, uint32_t seed, float decay, float highpass, bool wide)
        : m_rng(seed), m_ampCoef(DecayCoef(decay)), m_wide(wide), m_gain(note.velocity)
    {
        static const float kRatios[kOscs] = {205.3f, 304.4f, 369.6f, 522.7f, 540.0f, 800.0f};
        const float scale = 1.4f + 0.6f * note.tone;
        for (int i = 0; i < kOscs; ++i) {
            m_osc[i].SetFreq(kRatios[i] * scale * (wide ? 1.37f : 1.0f));
            m_osc[i].SetPhase(m_rng.Uniform());
        }
        m_filterL.Set(highpass, 0.9f);
        m_filterR.Set(highpass * 1.05f, 0.9f);
        PanGains(note.pan, m_panL, m_panR);
    }

    bool Render(float* left, float* right, int count) override
    {
        for (int i = 0; i < count; ++i) {
            float metal = 0.0f;
            for (Osc& o : m_osc) metal += o.Pulse();
            metal *= 1.0f / kOscs;
            const float common = m_rng.Bipolar();
            const float side = m_wide ? m_rng.Bipolar() : 0.0f;
            const float attack = std::min(1.0f, static_cast<float>(++m_frame) / 20.0f);
            const float e = m_amp * attack * m_gain;
            left[i] += m_filterL.Highpass(metal + 0.6f * common + 0.5f * side) * e * m_panL;
            right[i] += m_filterR.Highpass(metal + 0.6f * common - 0.5f * side) * e * m_panR;
            m_amp *= m_ampCoef;
            if (m_amp < kSilence) return false;
        }
        return true;
    }

private:
    static constexpr int kOscs = 6;
    Rng m_rng;
    Osc m_osc[kOscs];
    Svf m_filterL, m_filterR;
    float m_amp = 1.0f, m_ampCoef;
    bool m_wide;
    float m_gain;
    float m_panL = 0.7f, m_panR = 0.7f;
    int m_frame = 0;
};

// Riser: noise through a band-pass that climbs five octaves over the note's length, with a
// saw gliding up two octaves from `pitch` (tone sets its share). Stops dead at the end,
// where the arrival takes over.
class RiserVoice final : public Voice {
public:
    RiserVoice(const Note& note, uint32_t seed)
        : m_rng(seed),
          m_length(std::max<int64_t>(1, static_cast<int64_t>(note.length * kRate))),
          m_pitch(note.pitch),
          m_tonal(note.tone),
          m_gain(note.velocity)
    {
    }

    bool Render(float* left, float* right, int count) override
    {
        for (int i = 0; i < count; ++i) {
            if (m_frame >= m_length) return false;
            const float p = static_cast<float>(m_frame) / static_cast<float>(m_length);
            if ((m_frame & 15) == 0) {
                const float c = 220.0f * std::exp2(5.2f * p);
                m_filterL.Set(c, 1.8f);
                m_filterR.Set(c * 1.1f, 1.8f);
                m_saw.SetFreq(MidiToHz(m_pitch + 24.0f * p * p));
            }
            const float fadeOut = std::min(1.0f, static_cast<float>(m_length - m_frame) / 300.0f);
            const float e = p * p * fadeOut * m_gain;
            const float saw = m_saw.Saw() * m_tonal * 0.3f * p;
            left[i] += (m_filterL.Bandpass(m_rng.Bipolar()) + saw) * e;
            right[i] += (m_filterR.Bandpass(m_rng.Bipolar()) + saw) * e;
            ++m_frame;
        }
        return true;
    }

private:
    Rng m_rng;
    Osc m_saw;
    Svf m_filterL, m_filterR;
    int64_t m_length, m_frame = 0;
    float m_pitch, m_tonal, m_gain;
};

// Reverse cymbal: high-passed noise swelling exponentially, cut at the end of the note.
class ReverseCymbalVoice final : public Voice {
public:
    ReverseCymbalVoice(const Note& note, uint32_t seed)
        : m_rng(seed), m_length(std::max<int64_t>(1, static_cast<int64_t>(note.length * kRate))), m_gain(note.velocity)
    {
        m_filterL.Set(4500.0f, 0.8f);
        m_filterR.Set(5000.0f, 0.8f);
    }

    bool Render(float* left, float* right, int count) override
    {
        static const float kCurve = 1.0f / (std::exp(5.0f) - 1.0f);
        for (int i = 0; i < count; ++i) {
            if (m_frame >= m_length) return false;
            const float p = static_cast<float>(m_frame) / static_cast<float>(m_length);
            const float fadeOut = std::min(1.0f, static_cast<float>(m_length - m_frame) / 200.0f);
            const float e = (std::exp(5.0f * p) - 1.0f) * kCurve * fadeOut * m_gain;
            left[i] += m_filterL.Highpass(m_rng.Bipolar()) * e;
            right[i] += m_filterR.Highpass(m_rng.Bipolar()) * e;
            ++m_frame;
        }
        return true;
    }

private:
    Rng m_rng;
    Svf m_filterL, m_filterR;
    int64_t m_length, m_frame = 0;
    float m_gain;
};

// Impact: a deep falling boom with a dull noise thud, for scene changes.
class ImpactVoice final : public Voice {
public:
    ImpactVoice(const Note& note, uint32_t seed)
        : m_rng(seed), m_ampCoef(DecayCoef(1.5f + 2.0f * note.tone)), m_thudCoef(DecayCoef(0.5f)), m_gain(note.velocity)
    {
        m_thudL.Set(500.0f, 0.7f);
        m_thudR.Set(560.0f, 0.7f);
    }

    bool Render(float* left, float* right, int count) override
    {
        for (int i = 0; i < count; ++i) {
            m_osc.SetFreq(32.0f + 80.0f * m_sweep);
            m_sweep *= m_sweepCoef;
            const float attack = std::min(1.0f, static_cast<float>(++m_frame) / 80.0f);
            const float boom = std::tanh(1.4f * m_osc.Sine() * m_amp * attack);
            const float tl = m_thudL.Lowpass(m_rng.Bipolar()) * m_thud;
            const float tr = m_thudR.Lowpass(m_rng.Bipolar()) * m_thud;
            left[i] += (boom + tl) * m_gain;
            right[i] += (boom + tr) * m_gain;
            m_amp *= m_ampCoef;
            m_thud *= m_thudCoef;
            if (m_amp < kSilence) return false;
        }
        return true;
    }

private:
    Rng m_rng;
    Osc m_osc;
    Svf m_thudL, m_thudR;
    float m_sweep = 1.0f, m_sweepCoef = DecayCoef(1.2f);
    float m_amp = 1.0f, m_ampCoef, m_thud = 1.2f, m_thudCoef, m_gain;
    int m_frame = 0;
};

// Clock tick: a short high ping on a click of noise.
class TickVoice final : public Voice {
public:
    TickVoice(const Note& note, uint32_t seed) : m_rng(seed), m_gain(note.velocity)
    {
        m_osc.SetFreq(MidiToHz(note.pitch));
        m_click.Set(4000.0f, 0.7f);
        PanGains(note.pan, m_panL, m_panR);
    }

    bool Render(float* left, float* right, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const float v = (m_osc.Sine() * m_ping + m_click.Highpass(m_rng.Bipolar()) * m_noise) * m_gain;
            left[i] += v * m_panL;
            right[i] += v * m_panR;
            m_ping *= m_pingCoef;
            m_noise *= m_noiseCoef;
            if (m_ping < kSilence) return false;
        }
        return true;
    }

private:
    Rng m_rng;
    Osc m_osc;
    Svf m_click;
    float m_ping = 0.6f, m_pingCoef = DecayCoef(0.04f), m_noise = 1.0f, m_noiseCoef = DecayCoef(0.006f), m_gain;
    float m_panL = 0.7f, m_panR = 0.7f;
};

}  // namespace

std::unique_ptr<Voice> MakeDrumVoice(const Note& note, uint32_t seed)
{
    switch (note.inst) {
    case Inst::Kick:
        return std::make_unique<KickVoice>(note, seed, 44.0f, 4.0f, 0.3f + 0.5f * note.tone, 0.35f * note.tone);
    case Inst::Heart: return std::make_unique<KickVoice>(note, seed, MidiToHz(note.pitch), 0.7f, 0.3f, 0.0f);
    case Inst::Snare: return std::make_unique<SnareVoice>(note, seed);
    case Inst::Clap: return std::make_unique<ClapVoice>(note, seed);
    case Inst::HatClosed: return std::make_unique<MetalVoice>(note, seed, 0.07f + 0.06f * note.tone, 7000.0f, false);
    case Inst::HatOpen: return std::make_unique<MetalVoice>(note, seed, 0.35f + 0.3f * note.tone, 6500.0f, false);
    case Inst::Crash: return std::make_unique<MetalVoice>(note, seed, 1.5f + 2.5f * note.tone, 4000.0f, true);
    case Inst::Riser: return std::make_unique<RiserVoice>(note, seed);
    case Inst::ReverseCymbal: return std::make_unique<ReverseCymbalVoice>(note, seed);
    case Inst::Impact: return std::make_unique<ImpactVoice>(note, seed);
    case Inst::Tick: return std::make_unique<TickVoice>(note, seed);
    default: return nullptr;
    }
}

}  // namespace music
