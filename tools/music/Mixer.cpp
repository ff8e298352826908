// Block-wise renderer of the score through the channel strips, sends and master bus.
#include "Mixer.h"

#include <algorithm>
#include <cmath>

#include "Instruments.h"

namespace music {

namespace {

// Channel strip per instrument: level, reverb and delay sends, and how deep the kick
// ducks it (the pumping that makes pads and bass breathe with the beat).
struct ChannelSetup {
    float gain, reverb, delay, duck;
};

constexpr ChannelSetup kSetup[static_cast<int>(Inst::Count)] = {
    /* Pad           */ {1.00f, 0.50f, 0.00f, 0.45f},
    /* Piano         */ {1.50f, 0.45f, 0.35f, 0.20f},
    /* Bell          */ {1.50f, 0.55f, 0.45f, 0.10f},
    /* Lead          */ {1.60f, 0.35f, 0.30f, 0.10f},
    /* Bass          */ {0.85f, 0.00f, 0.00f, 0.55f},
    /* Arp           */ {2.80f, 0.30f, 0.40f, 0.35f},
    /* Stab          */ {1.00f, 0.40f, 0.25f, 0.00f},
    /* Kick          */ {0.45f, 0.03f, 0.00f, 0.00f},
    /* Heart         */ {0.40f, 0.10f, 0.00f, 0.00f},
    /* Snare         */ {0.60f, 0.30f, 0.00f, 0.00f},
    /* Clap          */ {0.55f, 0.35f, 0.00f, 0.00f},
    /* HatClosed     */ {1.20f, 0.10f, 0.00f, 0.00f},
    /* HatOpen       */ {0.70f, 0.15f, 0.10f, 0.00f},
    /* Crash         */ {0.40f, 0.30f, 0.00f, 0.00f},
    /* Riser         */ {0.30f, 0.40f, 0.20f, 0.00f},
    /* ReverseCymbal */ {0.25f, 0.30f, 0.00f, 0.00f},
    /* Impact        */ {0.75f, 0.30f, 0.00f, 0.00f},
    /* Tick          */ {0.80f, 0.30f, 0.00f, 0.00f},
};

constexpr float kReverbReturn = 1.0f;
constexpr float kDelayReturn = 0.6f;
constexpr float kDelayIntoReverb = 0.3f;
constexpr float kDrive = 1.5f;           // into the master bus: a little compression, demo-party loud
constexpr float kCeiling = 0.87f;        // -1.2 dBFS leaves room for the encoder's overshoot
constexpr float kDelaySeconds = 0.375f;  // a dotted eighth at 120 BPM

int64_t FrameOf(double seconds) { return static_cast<int64_t>(std::llround(seconds * kRate)); }

}  // namespace

Mixer::Mixer(std::vector<Note> notes, double lengthSeconds, double fadeStartSeconds)
    : m_notes(std::move(notes)),
      m_totalFrames(FrameOf(lengthSeconds)),
      m_fadeStartFrame(FrameOf(fadeStartSeconds)),
      m_duckCoef(DecayCoef(0.45f)),
      m_reverb(0.82f, 0.45f, 0.025f),
      m_delay(kDelaySeconds, 0.42f, 3500.0f),
      m_chorus(0.012f, 0.004f, 0.35f, 0.45f),
      m_master(kCeiling)
{
    std::stable_sort(m_notes.begin(), m_notes.end(), [](const Note& a, const Note& b) { return a.time < b.time; });
}

int Mixer::Render(float* left, float* right, int count)
{
    if (m_frame == 0) {
        // Prime the master bus's look-ahead so output frame 0 is track time 0.
        float skipL[MasterBus::kLatency], skipR[MasterBus::kLatency];
        Process(skipL, skipR, MasterBus::kLatency);
    }
    int done = 0;
    while (done < count && m_outFrame < m_totalFrames) {
        const int n = static_cast<int>(std::min<int64_t>({kBlock, count - done, m_totalFrames - m_outFrame}));
        Process(left + done, right + done, n);
        const double fadeFrames = static_cast<double>(std::max<int64_t>(1, m_totalFrames - m_fadeStartFrame));
        for (int i = 0; i < n; ++i) {
            const int64_t f = m_outFrame + i;
            if (f < m_fadeStartFrame) continue;
            const double x = std::min(1.0, static_cast<double>(f - m_fadeStartFrame) / fadeFrames);
            const float g = static_cast<float>(0.5 * (1.0 + std::cos(3.14159265358979 * x)));
            left[done + i] *= g;
            right[done + i] *= g;
        }
        m_outFrame += n;
        done += n;
    }
    return done;
}

void Mixer::Process(float* left, float* right, int count)
{
    for (Channel& c : m_channels) {
        std::fill(c.left, c.left + count, 0.0f);
        std::fill(c.right, c.right + count, 0.0f);
        c.active = false;
    }

    for (std::size_t i = 0; i < m_playing.size();) {
        Channel& c = m_channels[m_playing[i].channel];
        c.active = true;
        if (m_playing[i].voice->Render(c.left, c.right, count)) {
            ++i;
        } else {
            m_playing[i] = std::move(m_playing.back());
            m_playing.pop_back();
        }
    }

    float duck[kBlock];
    StartNotes(count, duck);
    Mix(left, right, duck, count);
    m_frame += count;
}

void Mixer::StartNotes(int count, float* duck)
{
    bool kickAt[kBlock] = {};
    const int64_t blockEnd = m_frame + count;
    for (; m_next < m_notes.size(); ++m_next) {
        const Note& note = m_notes[m_next];
        const int64_t start = FrameOf(note.time);
        if (start >= blockEnd) break;
        const int offset = static_cast<int>(std::max<int64_t>(0, start - m_frame));
        const uint32_t seed = 0x6D657269u ^ (static_cast<uint32_t>(m_next) * 2654435761u);
        std::unique_ptr<Voice> voice = MakeVoice(note, seed);
        if (!voice) continue;
        if (note.inst == Inst::Kick) kickAt[offset] = true;
        const int channel = static_cast<int>(note.inst);
        Channel& c = m_channels[channel];
        c.active = true;
        if (voice->Render(c.left + offset, c.right + offset, count - offset)) {
            m_playing.push_back({channel, std::move(voice)});
        }
    }
    for (int i = 0; i < count; ++i) {
        if (kickAt[i]) m_duck = 1.0f;
        duck[i] = m_duck;
        m_duck *= m_duckCoef;
    }
}

void Mixer::Mix(float* left, float* right, const float* duck, int count)
{
    float dryL[kBlock] = {}, dryR[kBlock] = {};
    float reverbL[kBlock] = {}, reverbR[kBlock] = {};
    float delayL[kBlock] = {}, delayR[kBlock] = {};

    for (int ch = 0; ch < kChannels; ++ch) {
        Channel& c = m_channels[ch];
        const bool isPad = ch == static_cast<int>(Inst::Pad);
        if (!c.active && !isPad) continue;  // the chorus keeps running to empty its line
        const ChannelSetup& s = kSetup[ch];
        for (int i = 0; i < count; ++i) {
            const float g = s.gain * (1.0f - s.duck * duck[i]);
            float l = c.left[i] * g;
            float r = c.right[i] * g;
            if (isPad) m_chorus.Process(l, r);
            dryL[i] += l;
            dryR[i] += r;
            reverbL[i] += l * s.reverb;
            reverbR[i] += r * s.reverb;
            delayL[i] += l * s.delay;
            delayR[i] += r * s.delay;
        }
    }

    for (int i = 0; i < count; ++i) {
        float dl, dr, rl, rr;
        m_delay.Process(delayL[i], delayR[i], dl, dr);
        m_reverb.Process(reverbL[i] + kDelayIntoReverb * dl, reverbR[i] + kDelayIntoReverb * dr, rl, rr);
        float l = (dryL[i] + kDelayReturn * dl + kReverbReturn * rl) * kDrive;
        float r = (dryR[i] + kDelayReturn * dr + kReverbReturn * rr) * kDrive;
        m_master.Process(l, r);
        left[i] = l;
        right[i] = r;
    }
}

}  // namespace music
