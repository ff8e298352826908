// One event of the score: which instrument plays what, when, how long and how hard.
#pragma once

namespace music {

// Every instrument has its own mixer channel (gain, effect sends, sidechain ducking).
enum class Inst {
    Pad, Piano, Bell, Lead, Bass, Arp, Stab,
    Kick, Heart, Snare, Clap, HatClosed, HatOpen, Crash, Riser, ReverseCymbal, Impact, Tick,
    Count
};

struct Note {
    double time = 0.0;      // start, seconds from the beginning of the track
    double length = 0.0;    // gate, seconds; risers and swells sweep over exactly this span
    Inst inst = Inst::Pad;
    float pitch = 60.0f;    // MIDI note number (69 = 440 Hz); drums tuned by their own design ignore it
    float velocity = 1.0f;  // 0..1
    float pan = 0.0f;       // -1 left .. +1 right
    float tone = 0.5f;      // 0..1 brightness: filter opening, decay or noise colour per instrument
};

}  // namespace music
