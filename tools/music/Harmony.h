// Music theory for writing the score: note names, chord symbols, voicings and melody lines.
// Malformed text throws std::invalid_argument naming the offending token.
#pragma once

#include <string_view>
#include <vector>

namespace music {

// "A4" -> 69, "C#5" -> 73, "Bb3" -> 58.
int NoteNumber(std::string_view name);

struct Chord {
    int root = 0;                // pitch class, 0 = C
    std::vector<int> intervals;  // semitones above the root, most important first
};

// Root letter, optional # or b, then "", "m", "sus2", "sus4", "7", "m7", "maj7", "add9", "madd9".
Chord ParseChord(std::string_view symbol);

// The chord's first `count` tones (more than the chord has adds root and fifth an octave
// away), each placed as close to MIDI note `centre` as possible; ascending.
std::vector<int> Voicing(const Chord& chord, int centre, int count);

// The chord's root in [lowest, lowest + 12).
int BassNote(const Chord& chord, int lowest);

struct MelodyNote {
    int step;    // start, in sixteenths from the beginning of the line
    int length;  // sixteenths
    int pitch;   // MIDI note
};

// "E5:6 D5:2 C5:8 | r:4 A4:12" — note or r (rest), colon, length in sixteenths; every
// "|" must close a bar of exactly sixteen sixteenths.
std::vector<MelodyNote> ParseMelody(std::string_view text);

}  // namespace music
