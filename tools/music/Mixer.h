// Plays a score: starts each note's voice on its exact frame, mixes the instrument channels
// with kick-driven ducking and effect sends, and runs the master bus and the final fade.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "Effects.h"
#include "Note.h"
#include "Voice.h"

namespace music {

class Mixer {
public:
    // The track lasts `lengthSeconds`; from `fadeStartSeconds` the master fades to silence
    // at the end. `notes` may come in any order.
    Mixer(std::vector<Note> notes, double lengthSeconds, double fadeStartSeconds);

    int64_t TotalFrames() const { return m_totalFrames; }

    // Writes the next frames, at most `count`, to `left` and `right`. Returns how many were
    // written: fewer than `count` only at the end of the track, 0 once it is complete.
    int Render(float* left, float* right, int count);

private:
    static constexpr int kBlock = 128;
    static constexpr int kChannels = static_cast<int>(Inst::Count);

    struct Playing {
        int channel;
        std::unique_ptr<Voice> voice;
    };
    struct Channel {
        float left[kBlock];
        float right[kBlock];
        bool active;
    };

    void Process(float* left, float* right, int count);
    void StartNotes(int count, float* duck);
    void Mix(float* left, float* right, const float* duck, int count);

    std::vector<Note> m_notes;
    std::size_t m_next = 0;
    std::vector<Playing> m_playing;
    std::array<Channel, kChannels> m_channels{};
    int64_t m_totalFrames;
    int64_t m_fadeStartFrame;
    int64_t m_frame = 0;     // frames fed to the master bus
    int64_t m_outFrame = 0;  // frames handed out, m_frame - MasterBus::kLatency once primed
    float m_duck = 0.0f;
    float m_duckCoef;
    Reverb m_reverb;
    PingPongDelay m_delay;
    Chorus m_chorus;
    MasterBus m_master;
};

}  // namespace music
