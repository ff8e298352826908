// Note names, chords, voicings and melody lines.
#include "Harmony.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string>

namespace music {

namespace {

[[noreturn]] void Fail(const char* what, std::string_view token)
{
    throw std::invalid_argument(std::string(what) + " '" + std::string(token) + "'");
}

// Letter and accidental at the start of `text`, consumed: semitones above the letter's C,
// so B# is 12 and Cb is -1 (the octave number belongs to the letter).
int Semitone(std::string_view& text, std::string_view whole)
{
    static const int kLetters[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    if (text.empty() || text[0] < 'A' || text[0] > 'G') Fail("bad note name", whole);
    int pc = kLetters[text[0] - 'A'];
    text.remove_prefix(1);
    if (!text.empty() && (text[0] == '#' || text[0] == 'b')) {
        pc += text[0] == '#' ? 1 : -1;
        text.remove_prefix(1);
    }
    return pc;
}

int PitchClass(std::string_view& text, std::string_view whole) { return (Semitone(text, whole) + 12) % 12; }

}  // namespace

int NoteNumber(std::string_view name)
{
    std::string_view rest = name;
    const int offset = Semitone(rest, name);
    if (rest.size() != 1 || rest[0] < '0' || rest[0] > '8') Fail("bad octave in note", name);
    return offset + 12 * (rest[0] - '0' + 1);
}

Chord ParseChord(std::string_view symbol)
{
    struct Quality {
        std::string_view suffix;
        std::vector<int> intervals;
    };
    static const Quality kQualities[] = {
        {"", {0, 4, 7}},         {"m", {0, 3, 7}},        {"sus2", {0, 2, 7}},
        {"sus4", {0, 5, 7}},     {"7", {0, 4, 10, 7}},    {"m7", {0, 3, 10, 7}},
        {"maj7", {0, 4, 11, 7}}, {"add9", {0, 4, 14, 7}}, {"madd9", {0, 3, 14, 7}},
    };
    std::string_view rest = symbol;
    Chord chord;
    chord.root = PitchClass(rest, symbol);
    for (const Quality& q : kQualities) {
        if (rest == q.suffix) {
            chord.intervals = q.intervals;
            return chord;
        }
    }
    Fail("unknown chord", symbol);
}

std::vector<int> Voicing(const Chord& chord, int centre, int count)
{
    auto nearest = [centre](int pc) {
        const int below = centre - ((centre - pc) % 12 + 12) % 12;
        return centre - below <= below + 12 - centre ? below : below + 12;
    };
    std::vector<int> notes;
    for (int i = 0; i < count && i < static_cast<int>(chord.intervals.size()); ++i) {
        notes.push_back(nearest((chord.root + chord.intervals[i]) % 12));
    }
    // Extra voices double root and fifth in the octave on the far side of the centre.
    const int doubles[2] = {chord.root, (chord.root + 7) % 12};
    for (int i = 0; static_cast<int>(notes.size()) < count; ++i) {
        const int n = nearest(doubles[i % 2]);
        int doubled = n >= centre ? n - 12 : n + 12;
        while (std::find(notes.begin(), notes.end(), doubled) != notes.end()) doubled += 12;
        notes.push_back(doubled);
    }
    std::sort(notes.begin(), notes.end());
    return notes;
}

int BassNote(const Chord& chord, int lowest) { return lowest + ((chord.root - lowest) % 12 + 12) % 12; }

std::vector<MelodyNote> ParseMelody(std::string_view text)
{
    std::vector<MelodyNote> notes;
    int step = 0;
    int barStart = 0;
    int bar = 1;
    while (!text.empty()) {
        const std::size_t skip = text.find_first_not_of(" \t\n");
        if (skip == std::string_view::npos) break;
        text.remove_prefix(skip);
        const std::size_t end = text[0] == '|' ? 1 : std::min(text.find_first_of(" \t\n|"), text.size());
        const std::string_view token = text.substr(0, end);
        text.remove_prefix(end);
        if (token == "|") {
            if (step - barStart != 16) Fail("melody bar does not hold 16 sixteenths, bar", std::to_string(bar));
            ++bar;
            barStart = step;
            continue;
        }
        const std::size_t colon = token.find(':');
        if (colon == std::string_view::npos) Fail("melody token without length", token);
        const std::string_view digits = token.substr(colon + 1);
        int length = 0;
        const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), length);
        if (error != std::errc() || stop != digits.data() + digits.size() || length <= 0)
            Fail("bad length in melody token", token);
        const std::string_view name = token.substr(0, colon);
        if (name != "r") notes.push_back({step, length, NoteNumber(name)});
        step += length;
    }
    if (step != barStart && step - barStart != 16)
        Fail("melody bar does not hold 16 sixteenths, bar", std::to_string(bar));
    return notes;
}

}  // namespace music
