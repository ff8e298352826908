// Mix-bus effects: stereo reverb, tempo-synced ping-pong delay, chorus and the master
// bus (DC blocker, compressor, look-ahead limiter). All process one stereo frame at a time.
#pragma once

#include <cstddef>
#include <vector>

#include "Dsp.h"

namespace music {

// Comb-and-allpass room reverb: eight damped combs into four allpasses per side, the
// right side's delays slightly longer for width. Input is pre-delayed and high-passed
// so the low end stays dry.
class Reverb {
public:
    Reverb(float roomSize, float damping, float preDelaySeconds);
    void Process(float inL, float inR, float& outL, float& outR);

private:
    struct Comb {
        std::vector<float> buffer;
        std::size_t pos = 0;
        float store = 0.0f;
        float Process(float x, float feedback, float damp);
    };
    struct Allpass {
        std::vector<float> buffer;
        std::size_t pos = 0;
        float Process(float x);
    };
    static constexpr int kCombs = 8;
    static constexpr int kAllpasses = 4;
    Comb m_combL[kCombs], m_combR[kCombs];
    Allpass m_allpassL[kAllpasses], m_allpassR[kAllpasses];
    std::vector<float> m_preDelay;
    std::size_t m_prePos = 0;
    OnePole m_inputHighpass;
    float m_feedback, m_damp;
};

// Echoes alternate left and right every `seconds`; each repeat is darker than the last.
class PingPongDelay {
public:
    PingPongDelay(float seconds, float feedback, float dampHz);
    void Process(float inL, float inR, float& outL, float& outR);

private:
    std::vector<float> m_left, m_right;
    std::size_t m_pos = 0;
    float m_feedback;
    OnePole m_dampL, m_dampR, m_inputHighpass;
};

// Stereo chorus: each side reads a delay line swept by its own phase of one slow LFO.
class Chorus {
public:
    Chorus(float delaySeconds, float depthSeconds, float rateHz, float mix);
    void Process(float& left, float& right);

private:
    float Read(const std::vector<float>& line, float delayFrames) const;
    std::vector<float> m_left, m_right;
    std::size_t m_pos = 0;
    float m_delay, m_depth, m_mix;
    float m_lfoPhase = 0.0f, m_lfoStep;
};

// Master bus: removes DC, compresses gently (soft knee, stereo-linked) and limits peaks to
// `ceiling` with a look-ahead. Output lags input by kLatency frames.
class MasterBus {
public:
    static constexpr int kLatency = 96;

    explicit MasterBus(float ceiling);
    void Process(float& left, float& right);

private:
    OnePole m_dcL, m_dcR;
    float m_envelope = 0.0f;
    float m_attack, m_release;
    float m_ceiling;
    float m_holdTarget = 1.0f;
    int m_holdFrames = 0;
    float m_gain = 1.0f;
    float m_limitAttack, m_limitRelease;
    float m_delayL[kLatency] = {}, m_delayR[kLatency] = {};
    int m_delayPos = 0;
};

}  // namespace music
