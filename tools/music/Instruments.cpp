// Melodic instruments: detuned saw pad, FM electric piano and bell, saw lead, bass,
// plucked arpeggio synth and chord stab.
#include "Instruments.h"

#include "Drums.h"
#include "Dsp.h"

namespace music {
namespace {

int64_t ToFrames(double seconds) { return static_cast<int64_t>(seconds * kRate + 0.5); }

// Holds the gate: releases the envelope when the note's length has passed.
class GatedVoice : public Voice {
protected:
    GatedVoice(const Note& note, Adsr env) : m_env(env), m_gate(ToFrames(note.length)) {}

    // Next envelope value; counts frames and releases at the end of the gate.
    float Envelope()
    {
        if (m_frame++ == m_gate) m_env.Release();
        return m_env.Next();
    }
    bool Finished() const { return m_env.Finished(); }
    int64_t Frame() const { return m_frame; }

private:
    Adsr m_env;
    int64_t m_gate;
    int64_t m_frame = 0;
};

// Four detuned saws spread across the stereo field through slowly breathing low-passes.
class PadVoice final : public GatedVoice {
public:
    PadVoice(const Note& note, Rng& rng)
        : GatedVoice(note, Adsr(1.2f, 1.6f, 0.75f, 2.6f)), m_gain(note.velocity * 0.11f)
    {
        static const float kDetune[kSaws] = {-0.11f, -0.04f, 0.05f, 0.12f};
        static const float kPan[kSaws] = {-0.9f, 0.4f, -0.4f, 0.9f};
        for (int i = 0; i < kSaws; ++i) {
            m_saw[i].SetFreq(MidiToHz(note.pitch + kDetune[i]));
            m_saw[i].SetPhase(rng.Uniform());
            PanGains(kPan[i], m_left[i], m_right[i]);
        }
        m_lfo.SetFreq((0.11f + 0.05f * rng.Uniform()) * 32.0f);
        m_lfo.SetPhase(rng.Uniform());
        m_cutoff = 350.0f + 3200.0f * note.tone * note.tone;
    }

    bool Render(float* left, float* right, int count) override
    {
        for (int i = 0; i < count; ++i) {
            if ((Frame() & 31) == 0) {
                const float c = m_cutoff * (1.0f + 0.3f * m_lfo.Sine());
                m_filterL.Set(c, 0.9f);
                m_filterR.Set(c * 1.07f, 0.9f);
            }
            float l = 0.0f, r = 0.0f;
            for (int k = 0; k < kSaws; ++k) {
                const float s = m_saw[k].Saw();
                l += s * m_left[k];
                r += s * m_right[k];
            }
            const float e = Envelope() * m_gain;
            left[i] += m_filterL.Lowpass(l) * e;
            right[i] += m_filterR.Lowpass(r) * e;
            if (Finished()) return false;
        }
        return true;
    }

private:
    static constexpr int kSaws = 4;
    Osc m_saw[kSaws];
    float m_left[kSaws], m_right[kSaws];
    Osc m_lfo;  // advanced once per 32 frames, so its rate is set 32 times lower
    Svf m_filterL, m_filterR;
    float m_cutoff;
    float m_gain;
};

// Two-operator FM electric piano: the modulation index falls after the strike, so the
// tone goes from bright to round; a higher partial gives the hammer its ping.
class PianoVoice final : public GatedVoice {
public:
    PianoVoice(const Note& note, Rng& rng)
        : GatedVoice(note, Adsr(0.002f, std::clamp(4.0f - (note.pitch - 48.0f) * 0.05f, 1.2f, 4.0f), 0.0f, 0.6f)),
          m_gain(note.velocity * 0.22f),
          m_index(0.05f + 0.35f * note.velocity * (0.4f + note.tone)),
          m_indexDecay(DecayCoef(0.9f)),
          m_ping(0.12f * note.velocity),
          m_pingDecay(DecayCoef(0.18f))
    {
        const float hz = MidiToHz(note.pitch);
        m_carrierL.SetFreq(hz * 0.9988f);
        m_carrierR.SetFreq(hz * 1.0012f);
        m_modulator.SetFreq(hz);
        m_tine.SetFreq(hz * 4.0f);
        m_tine.SetPhase(rng.Uniform());
        PanGains(note.pan, m_panL, m_panR);
    }

    bool Render(float* left, float* right, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const float mod = m_modulator.Sine() * (m_index + 0.04f);
            m_index *= m_indexDecay;
            const float ping = m_tine.Sine() * m_ping;
            m_ping *= m_pingDecay;
            const float e = Envelope() * m_gain;
            left[i] += (m_carrierL.SinePm(mod) + ping) * e * m_panL;
            right[i] += (m_carrierR.SinePm(mod) + ping) * e * m_panR;
            if (Finished()) return false;
        }
        return true;
    }

private:
    Osc m_carrierL, m_carrierR, m_modulator, m_tine;
    float m_gain, m_index, m_indexDecay, m_ping, m_pingDecay;
    float m_panL = 0.7f, m_panR = 0.7f;
};

// FM bell: an inharmonic 3.5 ratio modulator over a long ring.
class BellVoice final : public GatedVoice {
public:
    explicit BellVoice(const Note& note)
        : GatedVoice(note, Adsr(0.003f, 4.0f, 0.0f, 1.5f)),
          m_gain(note.velocity * 0.16f),
          m_index(0.25f + 0.25f * note.tone),
          m_indexDecay(DecayCoef(2.5f))
    {
        const float hz = MidiToHz(note.pitch);
        m_carrier.SetFreq(hz);
        m_modulator.SetFreq(hz * 3.5f);
        m_octave.SetFreq(hz * 2.0f);
        PanGains(note.pan, m_panL, m_panR);
    }

    bool Render(float* left, float* right, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const float mod = m_modulator.Sine() * m_index;
            m_index *= m_indexDecay;
            const float s = m_carrier.SinePm(mod) + 0.2f * m_octave.Sine();
            const float e = Envelope() * m_gain;
            left[i] += s * e * m_panL;
            right[i] += s * e * m_panR;
            if (Finished()) return false;
        }
        return true;
    }

private:
    Osc m_carrier, m_modulator, m_octave;
    float m_gain, m_index, m_indexDecay;
    float m_panL = 0.7f, m_panR = 0.7f;
};

// Lead: two detuned saws and a sub-octave square through an enveloped, slightly resonant
// low-pass, with vibrato that fades in on held notes.
class LeadVoice final : public GatedVoice {
public:
    LeadVoice(const Note& note, Rng& rng)
        : GatedVoice(note, Adsr(0.006f, 0.8f, 0.7f, 0.35f)),
          m_pitch(note.pitch),
          m_gain(note.velocity * 0.13f),
          m_cutoff(700.0f + 4200.0f * note.tone),
          m_filterEnv(1.0f),
          m_filterDecay(DecayCoef(0.7f))
    {
        m_sawA.SetPhase(rng.Uniform());
        m_sawB.SetPhase(rng.Uniform());
        SetPitch(0.0f);
    }

    bool Render(float* left, float* right, int count) override
    {
        for (int i = 0; i < count; ++i) {
            if ((Frame() & 15) == 0) {
                const float t = static_cast<float>(Frame()) / kRate;
                const float depth = 0.16f * std::clamp((t - 0.25f) * 2.5f, 0.0f, 1.0f);
                SetPitch(depth * std::sin(kTwoPi * 5.3f * t));
                const float c = m_cutoff * (0.55f + 0.9f * m_filterEnv);
                m_filterL.Set(c, 1.3f);
                m_filterR.Set(c, 1.3f);
            }
            m_filterEnv *= m_filterDecay;
            const float a = m_sawA.Saw();
            const float b = m_sawB.Saw();
            const float sub = 0.45f * m_sub.Square();
            const float e = Envelope() * m_gain;
            left[i] += m_filterL.Lowpass(0.75f * a + 0.3f * b + sub) * e;
            right[i] += m_filterR.Lowpass(0.3f * a + 0.75f * b + sub) * e;
            if (Finished()) return false;
        }
        return true;
    }

private:
    void SetPitch(float bend)
    {
        const float hz = MidiToHz(m_pitch + bend);
        m_sawA.SetFreq(hz * 0.9965f);
        m_sawB.SetFreq(hz * 1.0035f);
        m_sub.SetFreq(hz * 0.5f);
    }
    Osc m_sawA, m_sawB, m_sub;
    Svf m_filterL, m_filterR;
    float m_pitch, m_gain, m_cutoff, m_filterEnv, m_filterDecay;
};

// Bass: saw plus a sine for weight, low-passed with a plucky envelope, gently saturated.
class BassVoice final : public GatedVoice {
public:
    explicit BassVoice(const Note& note)
        : GatedVoice(note, Adsr(0.003f, 0.6f, 0.65f, 0.12f)),
          m_gain(note.velocity * 0.3f),
          m_cutoff(90.0f + 1500.0f * note.tone * note.tone),
          m_filterEnv(1.0f),
          m_filterDecay(DecayCoef(0.3f))
    {
        const float hz = MidiToHz(note.pitch);
        m_saw.SetFreq(hz);
        m_sine.SetFreq(hz);
    }

    bool Render(float* left, float* right, int count) override
    {
        for (int i = 0; i < count; ++i) {
            if ((Frame() & 15) == 0) m_filter.Set(m_cutoff * (1.0f + 2.5f * m_filterEnv) + 60.0f, 1.5f);
            m_filterEnv *= m_filterDecay;
            const float s = m_filter.Lowpass(m_saw.Saw()) + 0.8f * m_sine.Sine();
            const float v = std::tanh(1.3f * s) * Envelope() * m_gain;
            left[i] += v;
            right[i] += v;
            if (Finished()) return false;
        }
        return true;
    }

private:
    Osc m_saw, m_sine;
    Svf m_filter;
    float m_gain, m_cutoff, m_filterEnv, m_filterDecay;
};

// Plucked arpeggio synth: saw and square through a resonant low-pass whose opening
// (tone) the score sweeps during builds.
class ArpVoice final : public GatedVoice {
public:
    ArpVoice(const Note& note, Rng& rng)
        : GatedVoice(note, Adsr(0.002f, 0.45f, 0.0f, 0.12f)),
          m_gain(note.velocity * 0.13f),
          m_cutoff(250.0f + 7500.0f * note.tone * note.tone),
          m_filterEnv(1.0f),
          m_filterDecay(DecayCoef(0.25f))
    {
        const float hz = MidiToHz(note.pitch);
        m_saw.SetFreq(hz * 1.003f);
        m_square.SetFreq(hz * 0.997f);
        m_saw.SetPhase(rng.Uniform());
        PanGains(note.pan, m_panL, m_panR);
    }

    bool Render(float* left, float* right, int count) override
    {
        for (int i = 0; i < count; ++i) {
            if ((Frame() & 15) == 0) m_filter.Set(m_cutoff * (0.3f + m_filterEnv), 2.2f);
            m_filterEnv *= m_filterDecay;
            const float v = m_filter.Lowpass(0.6f * m_saw.Saw() + 0.4f * m_square.Square()) * Envelope() * m_gain;
            left[i] += v * m_panL;
            right[i] += v * m_panR;
            if (Finished()) return false;
        }
        return true;
    }

private:
    Osc m_saw, m_square;
    Svf m_filter;
    float m_gain, m_cutoff, m_filterEnv, m_filterDecay;
    float m_panL = 0.7f, m_panR = 0.7f;
};

// Chord stab for accents: bright detuned saws whose filter closes quickly.
class StabVoice final : public GatedVoice {
public:
    StabVoice(const Note& note, Rng& rng)
        : GatedVoice(note, Adsr(0.002f, 1.4f, 0.0f, 0.3f)),
          m_gain(note.velocity * 0.09f),
          m_cutoff(1200.0f + 6000.0f * note.tone),
          m_filterEnv(1.0f),
          m_filterDecay(DecayCoef(0.5f))
    {
        static const float kDetune[3] = {-0.14f, 0.0f, 0.14f};
        for (int i = 0; i < 3; ++i) {
            m_saw[i].SetFreq(MidiToHz(note.pitch + kDetune[i]));
            m_saw[i].SetPhase(rng.Uniform());
        }
    }

    bool Render(float* left, float* right, int count) override
    {
        for (int i = 0; i < count; ++i) {
            if ((Frame() & 15) == 0) {
                const float c = 300.0f + m_cutoff * m_filterEnv;
                m_filterL.Set(c, 1.1f);
                m_filterR.Set(c, 1.1f);
            }
            m_filterEnv *= m_filterDecay;
            const float a = m_saw[0].Saw(), b = m_saw[1].Saw(), c = m_saw[2].Saw();
            const float e = Envelope() * m_gain;
            left[i] += m_filterL.Lowpass(a + 0.6f * b + 0.2f * c) * e;
            right[i] += m_filterR.Lowpass(0.2f * a + 0.6f * b + c) * e;
            if (Finished()) return false;
        }
        return true;
    }

private:
    Osc m_saw[3];
    Svf m_filterL, m_filterR;
    float m_gain, m_cutoff, m_filterEnv, m_filterDecay;
};

}  // namespace

std::unique_ptr<Voice> MakeVoice(const Note& note, uint32_t seed)
{
    Rng rng(seed);
    switch (note.inst) {
    case Inst::Pad: return std::make_unique<PadVoice>(note, rng);
    case Inst::Piano: return std::make_unique<PianoVoice>(note, rng);
    case Inst::Bell: return std::make_unique<BellVoice>(note);
    case Inst::Lead: return std::make_unique<LeadVoice>(note, rng);
    case Inst::Bass: return std::make_unique<BassVoice>(note);
    case Inst::Arp: return std::make_unique<ArpVoice>(note, rng);
    case Inst::Stab: return std::make_unique<StabVoice>(note, rng);
    default: return MakeDrumVoice(note, seed);
    }
}

}  // namespace music
