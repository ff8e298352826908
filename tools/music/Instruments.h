// The instrument rack: turns a score note into the voice that plays it.
#pragma once

#include <cstdint>
#include <memory>

#include "Note.h"
#include "Voice.h"

namespace music {

// Creates the voice for `note` (melodic instruments here, drums and effects via
// MakeDrumVoice). `seed` decides the voice's random phases and noise, so a given
// score always sounds the same.
std::unique_ptr<Voice> MakeVoice(const Note& note, uint32_t seed);

}  // namespace music
