// The drum machine and sound effects: kick, heartbeat, snare, clap, hats, crash,
// risers, reverse cymbal, impact and clock tick, all synthesised.
#pragma once

#include <cstdint>
#include <memory>

#include "Note.h"
#include "Voice.h"

namespace music {

// Creates the voice for a percussive or effect note; `note.inst` must be one of Kick..Tick.
std::unique_ptr<Voice> MakeDrumVoice(const Note& note, uint32_t seed);

}  // namespace music
