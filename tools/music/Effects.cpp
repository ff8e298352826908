// Mix-bus effects: reverb, ping-pong delay, chorus and the master bus.
#include "Effects.h"

namespace music {

namespace {
constexpr int kCombTuning[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr int kAllpassTuning[4] = {556, 441, 341, 225};
constexpr int kStereoSpread = 23;

float Smoothing(float seconds) { return 1.0f - std::exp(-1.0f / (seconds * kRate)); }
}  // namespace

float Reverb::Comb::Process(float x, float feedback, float damp)
{
    const float out = buffer[pos];
    store = out * (1.0f - damp) + store * damp;
    buffer[pos] = x + store * feedback;
    if (++pos == buffer.size()) pos = 0;
    return out;
}

float Reverb::Allpass::Process(float x)
{
    const float delayed = buffer[pos];
    buffer[pos] = x + delayed * 0.5f;
    if (++pos == buffer.size()) pos = 0;
    return delayed - x;
}

Reverb::Reverb(float roomSize, float damping, float preDelaySeconds)
    : m_preDelay(static_cast<std::size_t>(std::max(1.0f, preDelaySeconds * kRate)), 0.0f),
      m_feedback(0.7f + 0.28f * roomSize),
      m_damp(0.4f * damping)
{
    for (int i = 0; i < kCombs; ++i) {
        m_combL[i].buffer.assign(kCombTuning[i], 0.0f);
        m_combR[i].buffer.assign(kCombTuning[i] + kStereoSpread, 0.0f);
    }
    for (int i = 0; i < kAllpasses; ++i) {
        m_allpassL[i].buffer.assign(kAllpassTuning[i], 0.0f);
        m_allpassR[i].buffer.assign(kAllpassTuning[i] + kStereoSpread, 0.0f);
    }
    m_inputHighpass.Set(250.0f);
}

void Reverb::Process(float inL, float inR, float& outL, float& outR)
{
    const float delayed = m_preDelay[m_prePos];
    m_preDelay[m_prePos] = m_inputHighpass.Highpass((inL + inR) * 0.015f);
    if (++m_prePos == m_preDelay.size()) m_prePos = 0;

    float l = 0.0f, r = 0.0f;
    for (int i = 0; i < kCombs; ++i) {
        l += m_combL[i].Process(delayed, m_feedback, m_damp);
        r += m_combR[i].Process(delayed, m_feedback, m_damp);
    }
    for (int i = 0; i < kAllpasses; ++i) {
        l = m_allpassL[i].Process(l);
        r = m_allpassR[i].Process(r);
    }
    outL = l;
    outR = r;
}

PingPongDelay::PingPongDelay(float seconds, float feedback, float dampHz)
    : m_left(static_cast<std::size_t>(seconds * kRate + 0.5f), 0.0f), m_right(m_left.size(), 0.0f), m_feedback(feedback)
{
    m_dampL.Set(dampHz);
    m_dampR.Set(dampHz);
    m_inputHighpass.Set(300.0f);
}

void PingPongDelay::Process(float inL, float inR, float& outL, float& outR)
{
    const float in = m_inputHighpass.Highpass(0.5f * (inL + inR));
    const float yl = m_left[m_pos];
    const float yr = m_right[m_pos];
    m_left[m_pos] = in + m_feedback * m_dampR.Lowpass(yr);
    m_right[m_pos] = m_feedback * m_dampL.Lowpass(yl);
    if (++m_pos == m_left.size()) m_pos = 0;
    outL = yl;
    outR = yr;
}

Chorus::Chorus(float delaySeconds, float depthSeconds, float rateHz, float mix)
    : m_delay(delaySeconds * kRate), m_depth(depthSeconds * kRate), m_mix(mix)
{
    const std::size_t size = static_cast<std::size_t>(m_delay + m_depth) + 4;
    m_left.assign(size, 0.0f);
    m_right.assign(size, 0.0f);
    m_lfoStep = rateHz / kRate;
}

float Chorus::Read(const std::vector<float>& line, float delayFrames) const
{
    const float position = static_cast<float>(m_pos) + static_cast<float>(line.size()) - delayFrames;
    const std::size_t i0 = static_cast<std::size_t>(position) % line.size();
    const std::size_t i1 = (i0 + 1) % line.size();
    const float frac = position - std::floor(position);
    return line[i0] + (line[i1] - line[i0]) * frac;
}

void Chorus::Process(float& left, float& right)
{
    const float modL = std::sin(kTwoPi * m_lfoPhase);
    const float modR = std::sin(kTwoPi * (m_lfoPhase + 0.25f));
    m_lfoPhase += m_lfoStep;
    if (m_lfoPhase >= 1.0f) m_lfoPhase -= 1.0f;
    m_left[m_pos] = left;
    m_right[m_pos] = right;
    const float wetL = Read(m_left, m_delay + m_depth * modL);
    const float wetR = Read(m_right, m_delay + m_depth * modR);
    if (++m_pos == m_left.size()) m_pos = 0;
    left = left * (1.0f - m_mix) + wetL * m_mix;
    right = right * (1.0f - m_mix) + wetR * m_mix;
}

MasterBus::MasterBus(float ceiling)
    : m_attack(Smoothing(0.005f)),
      m_release(Smoothing(0.15f)),
      m_ceiling(ceiling),
      m_limitAttack(1.0f - std::exp(-5.0f / kLatency)),
      m_limitRelease(Smoothing(0.08f))
{
    m_dcL.Set(8.0f);
    m_dcR.Set(8.0f);
}

void MasterBus::Process(float& left, float& right)
{
    constexpr float kThresholdDb = -12.0f;
    constexpr float kRatio = 2.5f;
    constexpr float kKneeDb = 6.0f;

    float l = m_dcL.Highpass(left);
    float r = m_dcR.Highpass(right);

    const float peak = std::max(std::fabs(l), std::fabs(r));
    m_envelope += (peak > m_envelope ? m_attack : m_release) * (peak - m_envelope);
    const float over = 20.0f * std::log10(m_envelope + 1e-9f) - kThresholdDb;
    float reductionDb = 0.0f;
    if (over >= kKneeDb * 0.5f) {
        reductionDb = (1.0f / kRatio - 1.0f) * over;
    } else if (over > -kKneeDb * 0.5f) {
        const float x = over + kKneeDb * 0.5f;
        reductionDb = (1.0f / kRatio - 1.0f) * x * x / (2.0f * kKneeDb);
    }
    const float compGain = std::pow(10.0f, reductionDb / 20.0f);
    l *= compGain;
    r *= compGain;

    // The limiter sees each frame kLatency frames before it leaves, so its gain is already
    // down when a peak arrives; the clamp only catches what the smoothing lets through.
    const float needed = std::min(1.0f, m_ceiling / std::max(std::max(std::fabs(l), std::fabs(r)), 1e-9f));
    if (needed <= m_holdTarget) {
        m_holdTarget = needed;
        m_holdFrames = kLatency;
    } else if (--m_holdFrames <= 0) {
        m_holdTarget = needed;
    }
    m_gain += (m_holdTarget < m_gain ? m_limitAttack : m_limitRelease) * (m_holdTarget - m_gain);

    const float outL = m_delayL[m_delayPos] * m_gain;
    const float outR = m_delayR[m_delayPos] * m_gain;
    m_delayL[m_delayPos] = l;
    m_delayR[m_delayPos] = r;
    if (++m_delayPos == kLatency) m_delayPos = 0;
    left = std::clamp(outL, -m_ceiling, m_ceiling);
    right = std::clamp(outR, -m_ceiling, m_ceiling);
}

}  // namespace music
