// The soundtrack of "meridian", composed to the demo's timeline.
#pragma once

#include <vector>

#include "Note.h"

namespace music {

struct Song {
    std::vector<Note> notes;
    double length = 0.0;     // seconds, including the reverb tail
    double fadeStart = 0.0;  // seconds; the master fades from here to the end
};

// The whole track. Scene changes of the demo land on the music: the main theme at 27 s,
// the climax at 76.6 s, one accent per greeting picture at 141, 143, ... 167 s, the
// outro at 169 s.
Song ComposeMeridian();

}  // namespace music
