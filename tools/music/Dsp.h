// Signal-processing building blocks of the music synthesiser: a seeded noise source,
// band-limited oscillators, envelopes and filters. Everything runs at kRate frames per second.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace music {

constexpr float kRate = 44100.0f;
constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.28318531f;

inline float MidiToHz(float note) { return 440.0f * std::exp2((note - 69.0f) / 12.0f); }

// Per-sample multiplier that decays a level by 60 dB in `seconds`.
inline float DecayCoef(float seconds) { return std::exp(-6.9078f / (std::max(seconds, 1e-4f) * kRate)); }

// xorshift32. The only randomness of the tool: seeded from the score, never from the
// environment, so the same sources always give the same file.
class Rng {
public:
    explicit Rng(uint32_t seed) : m_state(seed != 0 ? seed : 0x9E3779B9u) {}
    uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    float Uniform() { return static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f); }  // [0, 1)
    float Bipolar() { return Uniform() * 2.0f - 1.0f; }                                 // [-1, 1)

private:
    uint32_t m_state;
};

// Residual that removes the step discontinuity of a naive waveform; t is the phase in
// [0, 1) and dt the phase increment per sample.
inline float PolyBlep(float t, float dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

// Phase-accumulating oscillator; saw and square are band-limited with polyBLEP.
class Osc {
public:
    void SetPhase(float phase) { m_phase = phase - std::floor(phase); }
    void SetFreq(float hz) { m_inc = std::min(hz / kRate, 0.45f); }

    float Saw()
    {
        const float v = 2.0f * m_phase - 1.0f - PolyBlep(m_phase, m_inc);
        Advance();
        return v;
    }
    float Square()
    {
        float half = m_phase + 0.5f;
        if (half >= 1.0f) half -= 1.0f;
        const float v = (m_phase < 0.5f ? 1.0f : -1.0f) + PolyBlep(m_phase, m_inc) - PolyBlep(half, m_inc);
        Advance();
        return v;
    }
    float Sine()
    {
        const float v = std::sin(kTwoPi * m_phase);
        Advance();
        return v;
    }
    // Sine with its phase offset by `mod` cycles: the carrier of an FM pair.
    float SinePm(float mod)
    {
        const float v = std::sin(kTwoPi * (m_phase + mod));
        Advance();
        return v;
    }
    // Unfiltered square for metallic noise, where aliasing is part of the colour.
    float Pulse()
    {
        const float v = m_phase < 0.5f ? 1.0f : -1.0f;
        Advance();
        return v;
    }

private:
    void Advance()
    {
        m_phase += m_inc;
        if (m_phase >= 1.0f) m_phase -= 1.0f;
    }
    float m_phase = 0.0f;
    float m_inc = 0.0f;
};

// Attack-decay-sustain-release: linear attack over `attack` seconds, exponential decay
// and release whose times are to -60 dB. Finished() once released (or decayed with
// sustain 0) below audibility.
class Adsr {
public:
    Adsr(float attack, float decay, float sustain, float release)
        : m_attackStep(1.0f / (std::max(attack, 1e-4f) * kRate)),
          m_decayCoef(DecayCoef(decay)),
          m_sustain(sustain),
          m_releaseCoef(DecayCoef(release))
    {
    }

    void Release()
    {
        if (m_stage != Stage::Done) m_stage = Stage::Release;
    }
    bool Finished() const { return m_stage == Stage::Done; }

    float Next()
    {
        switch (m_stage) {
        case Stage::Attack:
            m_level += m_attackStep;
            if (m_level >= 1.0f) {
                m_level = 1.0f;
                m_stage = Stage::Decay;
            }
            break;
        case Stage::Decay:
            m_level = m_sustain + (m_level - m_sustain) * m_decayCoef;
            if (m_sustain <= 0.0f && m_level < kSilence) m_stage = Stage::Done;
            break;
        case Stage::Release:
            m_level *= m_releaseCoef;
            if (m_level < kSilence) m_stage = Stage::Done;
            break;
        case Stage::Done: m_level = 0.0f; break;
        }
        return m_level;
    }

private:
    enum class Stage { Attack, Decay, Release, Done };
    static constexpr float kSilence = 1e-4f;
    Stage m_stage = Stage::Attack;
    float m_level = 0.0f;
    float m_attackStep;
    float m_decayCoef;
    float m_sustain;
    float m_releaseCoef;
};

// Trapezoidal state-variable filter: stable under fast cutoff modulation, gives all
// three responses at once. q = 0.707 is flat; higher values resonate.
class Svf {
public:
    struct Out {
        float low, band, high;
    };

    void Set(float cutoffHz, float q)
    {
        const float fc = std::clamp(cutoffHz, 10.0f, 0.45f * kRate);
        const float g = std::tan(kPi * fc / kRate);
        m_k = 1.0f / q;
        m_a1 = 1.0f / (1.0f + g * (g + m_k));
        m_a2 = g * m_a1;
        m_a3 = g * m_a2;
    }
    Out Process(float v0)
    {
        const float v3 = v0 - m_ic2;
        const float v1 = m_a1 * m_ic1 + m_a2 * v3;
        const float v2 = m_ic2 + m_a2 * m_ic1 + m_a3 * v3;
        m_ic1 = 2.0f * v1 - m_ic1;
        m_ic2 = 2.0f * v2 - m_ic2;
        return {v2, v1, v0 - m_k * v1 - v2};
    }
    float Lowpass(float x) { return Process(x).low; }
    float Bandpass(float x) { return Process(x).band; }
    float Highpass(float x) { return Process(x).high; }

private:
    float m_k = 1.0f, m_a1 = 0.0f, m_a2 = 0.0f, m_a3 = 0.0f;
    float m_ic1 = 0.0f, m_ic2 = 0.0f;
};

// One-pole smoother; Highpass() is its complement.
class OnePole {
public:
    void Set(float cutoffHz) { m_a = 1.0f - std::exp(-kTwoPi * cutoffHz / kRate); }
    float Lowpass(float x)
    {
        m_y += m_a * (x - m_y);
        return m_y;
    }
    float Highpass(float x) { return x - Lowpass(x); }

private:
    float m_a = 1.0f;
    float m_y = 0.0f;
};

// Equal-power pan: -1 is hard left, +1 hard right.
inline void PanGains(float pan, float& left, float& right)
{
    const float angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0f) * (kPi * 0.25f);
    left = std::cos(angle);
    right = std::sin(angle);
}

}  // namespace music
