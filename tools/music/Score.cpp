// The score: A minor for the opening and the landscape, lifted to B minor at the white
// flash for the plasma, the greetings and the closing. One bar is about two seconds
// throughout; each section's bar length is fitted so its scene change lands on a bar line.
#include "Score.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>

#include "Dsp.h"
#include "Harmony.h"
#include "demo/DemoScript.h"

namespace music {
namespace {

// A stretch of the track in one tempo: bar lines every `barSeconds` from `start`.
struct Section {
    double start;
    double barSeconds;
    double At(double bar, double step = 0.0) const { return start + (bar + step / 16.0) * barSeconds; }
    double Steps(double sixteenths) const { return sixteenths * barSeconds / 16.0; }
};

// Scene changes of the demo, in seconds: the music follows the script.
constexpr double kLandscape = kLandscapeAt;
constexpr double kFlash = kPlasmaAt;
constexpr double kGreetings = 141.0;  // the first greeting picture
constexpr double kClosing = kClosingFadeAt;
constexpr double kEnd = 198.5;

const Section kIntro{kLandscape - 14 * 2.0, 2.0};                  // bar 0 starts at -1 s
const Section kMain{kLandscape, (kFlash - kLandscape) / 25.0};     // 25 bars, ~121 BPM
const Section kPlasma{kFlash, (kGreetings - kFlash) / 32.0};       // 32 bars, ~119 BPM
const Section kGreet{kGreetings, (kClosing - kGreetings) / 14.0};  // 14 bars, 120 BPM
const Section kOutro{kClosing, 2.0};

float Lerp(float a, float b, float t) { return a + (b - a) * std::clamp(t, 0.0f, 1.0f); }

// Drum pattern letters: X accent, x normal, o soft, g ghost, '.' nothing.
float VelocityOf(char c)
{
    switch (c) {
    case 'X': return 1.0f;
    case 'x': return 0.8f;
    case 'o': return 0.55f;
    case 'g': return 0.3f;
    default: return 0.0f;
    }
}

void CheckBar(std::string_view pattern)
{
    if (pattern.size() != 16) throw std::invalid_argument("pattern '" + std::string(pattern) + "' is not 16 steps");
}

// Collects notes, with helpers that speak in bars, chords and patterns.
class Writer {
public:
    std::vector<Note> notes;

    void Add(Inst inst, double time, double length, float pitch, float velocity, float pan = 0.0f, float tone = 0.5f)
    {
        Note n;
        n.time = std::max(0.0, time);
        n.length = length - (n.time - time);
        n.inst = inst;
        n.pitch = pitch;
        n.velocity = std::clamp(velocity, 0.0f, 1.0f);
        n.pan = pan;
        n.tone = std::clamp(tone, 0.0f, 1.0f);
        notes.push_back(n);
    }

    // A chord held for `bars` bars, one pad voice per tone.
    void Pad(const Section& s, double bar, double bars, const char* chord, float velocity, float tone, int count = 4)
    {
        for (int pitch : Voicing(ParseChord(chord), 60, count)) {
            Add(Inst::Pad, s.At(bar), s.barSeconds * bars + 0.05, static_cast<float>(pitch), velocity, 0.0f, tone);
        }
    }

    // A melody line (Harmony.h notation) starting at `bar`; downbeats a little stronger.
    void Melody(const Section& s, double bar, std::string_view text, Inst inst, float velocity, float tone,
                float pan = 0.0f)
    {
        for (const MelodyNote& m : ParseMelody(text)) {
            const float accent = m.step % 4 == 0 ? 1.0f : 0.88f;
            Add(inst, s.At(bar, m.step), s.Steps(m.length) * 0.94, static_cast<float>(m.pitch), velocity * accent, pan,
                tone);
        }
    }

    // One bar of a drum pattern. `jitter` (seconds) loosens the timing of busy parts.
    void Drums(const Section& s, double bar, Inst inst, std::string_view pattern, float velocity, float tone = 0.5f,
               float pan = 0.0f, float pitch = 60.0f, double jitter = 0.0)
    {
        CheckBar(pattern);
        for (int i = 0; i < 16; ++i) {
            const float v = VelocityOf(pattern[i]);
            if (v <= 0.0f) continue;
            const double t = s.At(bar, i) + jitter * m_rng.Bipolar();
            Add(inst, t, s.Steps(1), pitch, velocity * v * (1.0f + 0.05f * m_rng.Bipolar()), pan, tone);
        }
    }

    // One bar of bass: R root, r soft root, O octave, F fifth; each note lasts until the next.
    void Bass(const Section& s, double bar, const char* chord, std::string_view pattern, float velocity, float tone)
    {
        CheckBar(pattern);
        const int root = BassNote(ParseChord(chord), 31);
        for (int i = 0; i < 16; ++i) {
            const char c = pattern[i];
            if (c == '.') continue;
            int next = i + 1;
            while (next < 16 && pattern[next] == '.') ++next;
            const int pitch = c == 'O' ? root + 12 : c == 'F' ? root + 7 : root;
            Add(Inst::Bass, s.At(bar, i), s.Steps(next - i) * 0.85, static_cast<float>(pitch),
                velocity * (c == 'r' ? 0.7f : 1.0f), 0.0f, tone);
        }
    }

    // A bar of sixteenth arpeggio over two octaves, its filter opening from tone0 to tone1.
    void Arp(const Section& s, double bar, const char* chord, float velocity, float tone0, float tone1, int centre = 69)
    {
        static const int kPattern[16] = {0, 1, 2, 3, 1, 2, 3, 4, 2, 3, 4, 5, 4, 3, 2, 1};
        const std::vector<int> tones = Voicing(ParseChord(chord), centre, 3);
        for (int i = 0; i < 16; ++i) {
            const int k = kPattern[i];
            const float pitch = static_cast<float>(tones[k % 3] + 12 * (k / 3));
            Add(Inst::Arp, s.At(bar, i), s.Steps(1) * 0.9, pitch, velocity * (i % 4 == 0 ? 1.0f : 0.78f),
                i % 2 == 0 ? -0.45f : 0.45f, Lerp(tone0, tone1, i / 16.0f));
        }
    }

    // A bar of electric piano: low root, then the upper chord tones, in eighths or quarters.
    void Piano(const Section& s, double bar, const char* chord, float velocity, bool quarters)
    {
        const Chord c = ParseChord(chord);
        const std::vector<int> up = Voicing(c, 67, 3);
        const int tones[4] = {BassNote(c, 45), up[0], up[1], up[2]};
        static const int kEighths[8] = {0, 1, 2, 3, 2, 1, 2, 3};
        static const int kQuarters[4] = {0, 2, 3, 1};
        const int count = quarters ? 4 : 8;
        for (int i = 0; i < count; ++i) {
            const int tone = quarters ? kQuarters[i] : kEighths[i];
            const double step = i * (16.0 / count);
            const float v = velocity * (i == 0 ? 1.0f : 0.85f) * (1.0f + 0.06f * m_rng.Bipolar());
            Add(Inst::Piano, s.At(bar, step), s.Steps(6), static_cast<float>(tones[tone]), v,
                tone == 0 ? -0.1f : (i % 2 ? 0.35f : -0.35f), 0.45f);
        }
    }

    // A short chord hit: stab voices over the chord plus the root below.
    void Stab(double time, const char* chord, float velocity, float tone)
    {
        const Chord c = ParseChord(chord);
        for (int pitch : Voicing(c, 64, 4)) Add(Inst::Stab, time, 0.3, static_cast<float>(pitch), velocity, 0.0f, tone);
        Add(Inst::Stab, time, 0.3, static_cast<float>(BassNote(c, 40)), velocity * 0.8f, 0.0f, tone);
    }

private:
    Rng m_rng{0x4B564D52u};
};

// 0-27 s: pads and a soft electric piano over the opening pictures, a clock ticking under
// the "what time" pictures, then a heartbeat that quickens toward the landscape.
void Intro(Writer& w)
{
    const Section& s = kIntro;
    static const char* kChords[14] = {"Am", "Am", "Am", "F", "F", "C", "C", "G", "G", "Am", "Am", "F", "F", "E"};
    for (int b = 0; b < 14;) {
        int end = b + 1;
        while (end < 14 && std::string_view(kChords[end]) == kChords[b]) ++end;
        w.Pad(s, b, end - b, kChords[b], Lerp(0.25f, 0.38f, b / 13.0f), Lerp(0.25f, 0.45f, b / 13.0f));
        if (b >= 9)
            w.Add(Inst::Bass, s.At(b), s.barSeconds * (end - b),
                  static_cast<float>(BassNote(ParseChord(kChords[b]), 31)), 0.3f, 0.0f, 0.05f);
        b = end;
    }
    for (int b = 1; b < 14; ++b) w.Piano(s, b, kChords[b], Lerp(0.25f, 0.32f, b / 13.0f), b < 5);

    // Tick-tock on every beat from 9 to 19 s, swelling and fading.
    for (int beat = 0; beat < 20; ++beat) {
        const float v = 0.15f + 0.35f * std::sin(kPi * (beat + 0.5f) / 20.0f);
        const bool tick = beat % 2 == 0;
        w.Add(Inst::Tick, s.At(5, beat * 4), 0.05, tick ? 100.0f : 95.0f, v, tick ? -0.3f : 0.3f);
    }
    // Heartbeat: lub-dub every two beats, then every beat for the last two bars.
    for (int b = 9; b < 14; ++b) {
        const int every = b < 12 ? 8 : 4;
        for (int step = 0; step < 16; step += every) {
            const float v = Lerp(0.25f, 0.55f, (b - 9 + step / 16.0f) / 5.0f);
            w.Add(Inst::Heart, s.At(b, step), 0.1, 33.0f, v);
            w.Add(Inst::Heart, s.At(b, step) + 0.2, 0.1, 35.0f, v * 0.6f);
        }
    }
    // The main theme's opening phrase, foreshadowed on a bell.
    w.Melody(s, 9, "E5:6 D5:2 C5:4 B4:2 C5:2 | A4:16 | G4:6 A4:2 C5:4 E5:4 | D5:16", Inst::Bell, 0.32f, 0.5f, 0.25f);

    w.Add(Inst::Riser, s.At(10), kLandscape - s.At(10), 52.0f, 0.22f, 0.0f, 0.3f);
    w.Add(Inst::ReverseCymbal, s.At(12), kLandscape - s.At(12), 60.0f, 0.35f);
    w.Drums(s, 13, Inst::Snare, "............goxX", 0.55f, 0.3f);
}

// 27-76.6 s: the landscape. Theme A and B with the full band, then an eight-bar build
// (filter sweep, snare roll, risers) that pivots through Em and G to F#, the dominant of
// the plasma's B minor, and a fill bar into the flash.
void Landscape(Writer& w)
{
    const Section& s = kMain;
    static const char* kChords[25] = {"Am", "F", "C",  "G",  "Am", "F", "Dm",     "E",
                                      "F",  "G", "Em", "Am", "Dm", "G", "C",      "E",
                                      "F",  "G", "Am", "Am", "Em", "G", "F#sus4", "F#", "F#"};
    w.Add(Inst::Crash, s.At(0), 3.0, 60.0f, 0.9f, 0.0f, 0.6f);
    w.Add(Inst::Impact, s.At(0), 3.0, 60.0f, 0.45f, 0.0f, 0.3f);

    for (int b = 0; b < 25; ++b) {
        const char* chord = kChords[b];
        const float build = std::clamp((b - 16) / 8.0f, 0.0f, 1.0f);
        if (b < 16) {
            const bool themeB = b >= 8;
            const bool fill = b % 8 == 7;
            w.Pad(s, b, 1, chord, themeB ? 0.55f : 0.5f, themeB ? 0.45f : 0.4f);
            w.Drums(s, b, Inst::Kick, fill ? "X.....x.X.x....." : "X.....x.X.......", 0.95f, 0.5f);
            w.Drums(s, b, Inst::Snare, fill ? "....X.......Xgox" : "....X.......X...", 0.85f, 0.4f);
            w.Drums(s, b, Inst::HatClosed, themeB ? "xgogxgogxgogxgog" : "x.o.x.o.x.o.x.o.", 0.6f, 0.5f, 0.3f, 60.0f,
                    0.002);
            if (themeB) {
                w.Drums(s, b, Inst::Clap, "....o.......o...", 0.7f);
                if (b % 2 == 1) w.Drums(s, b, Inst::HatOpen, "..............o.", 0.6f, 0.4f, -0.2f);
                w.Arp(s, b, chord, 0.45f, 0.4f, 0.4f);
            } else {
                w.Piano(s, b, chord, 0.32f, false);
            }
            w.Bass(s, b, chord, "R.R.O.R.R.R.O.R.", 0.8f, themeB ? 0.45f : 0.35f);
        } else if (b < 24) {
            w.Pad(s, b, 1, chord, Lerp(0.5f, 0.75f, build), Lerp(0.35f, 0.95f, build));
            w.Drums(s, b, Inst::Kick, b < 22 ? "X...X...X...X..." : "X.X.X.X.X.X.X.X.", 0.9f, 0.5f);
            static const char* kRoll[4] = {"....x.......x...", "x...x...x...x...", "x.x.x.x.x.x.x.x.",
                                           "xxxxxxxxxxxxxxxx"};
            w.Drums(s, b, Inst::Snare, kRoll[(b - 16) / 2], Lerp(0.35f, 0.95f, build), Lerp(0.2f, 0.6f, build));
            w.Drums(s, b, Inst::HatClosed, "..o...o...o...o.", Lerp(0.5f, 0.8f, build), 0.5f, 0.3f);
            w.Bass(s, b, chord, "R.R.R.R.R.R.R.R.", 0.8f, Lerp(0.3f, 0.7f, build));
            w.Arp(s, b, chord, Lerp(0.45f, 0.7f, build), Lerp(0.1f, 0.9f, build),
                  Lerp(0.1f, 0.9f, build + 1.0f / 8.0f));
        } else {
            // Fill bar: thirty-second snare roll rising to the flash, with a breath before it.
            w.Pad(s, b, 1, chord, 0.8f, 1.0f);
            w.Bass(s, b, chord, "R...............", 0.9f, 0.8f);
            w.Arp(s, b, chord, 0.75f, 0.95f, 1.0f);
            for (int i = 0; i < 28; ++i) {
                w.Add(Inst::Snare, s.At(b, i * 0.5), 0.05, 60.0f, Lerp(0.8f, 1.0f, i / 27.0f), 0.0f, 0.6f);
            }
        }
    }
    w.Melody(s, 0,
             "E5:6 D5:2 C5:4 B4:2 C5:2 | A4:12 C5:4 | G4:6 A4:2 C5:4 E5:4 | D5:12 B4:4 |"
             "E5:6 D5:2 C5:4 E5:2 A5:2 | A5:6 G5:2 F5:4 E5:4 | F5:4 E5:2 D5:6 A4:4 | G#4:8 B4:4 E5:4",
             Inst::Lead, 0.75f, 0.5f);
    w.Melody(s, 8,
             "C6:8 A5:4 F5:4 | B5:6 A5:2 G5:4 D5:4 | E5:6 G5:2 B5:8 | A5:12 r:4 |"
             "F5:4 A5:4 D6:4 C6:4 | B5:6 C6:2 D6:8 | E6:6 D6:2 C6:4 G5:4 | B5:8 G#5:4 E5:4",
             Inst::Lead, 0.8f, 0.55f);
    w.Melody(s, 20, "B5:16 | D6:16 | C#6:8 B5:8 | A#5:16 | C#6:16", Inst::Lead, 0.7f, 0.8f);

    w.Add(Inst::Riser, s.At(16), kFlash - s.At(16), 54.0f, 0.5f, 0.0f, 0.45f);
    w.Add(Inst::ReverseCymbal, s.At(23), kFlash - s.At(23), 60.0f, 0.6f);
}

// 76.6-141 s: the plasma. Four-on-the-floor with a rolling bass in B minor: groove, theme,
// a breakdown that builds again, and the theme once more at full strength.
void Plasma(Writer& w)
{
    const Section& s = kPlasma;
    static const char* kChords[32] = {"Bm", "G", "D",  "A", "Bm", "G", "D",      "A",
                                      "Bm", "G", "D",  "A", "Bm", "G", "D",      "A",
                                      "Em", "G", "Bm", "A", "Em", "G", "F#sus4", "F#",
                                      "Bm", "G", "D",  "A", "Bm", "G", "Em",     "F#"};
    // The flash: everything lands at once.
    w.Add(Inst::Impact, s.At(0), 3.0, 60.0f, 1.0f, 0.0f, 0.8f);
    w.Add(Inst::Crash, s.At(0), 4.0, 60.0f, 1.0f, 0.0f, 1.0f);
    w.Stab(s.At(0), "Bm", 1.0f, 1.0f);

    for (int b = 0; b < 32; ++b) {
        const char* chord = kChords[b];
        const bool breakdown = b >= 16 && b < 24;
        const bool buildBack = b >= 22 && b < 24;
        if (!breakdown) {
            const bool last = b == 31;
            w.Pad(s, b, 1, chord, b < 24 ? 0.5f : 0.55f, b < 24 ? 0.5f : 0.6f);
            w.Drums(s, b, Inst::Kick, "X...X...X...X...", 0.95f, 0.5f);
            w.Drums(s, b, Inst::Clap, "....x.......x...", 0.8f, 0.5f);
            w.Drums(s, b, Inst::Snare, b % 8 == 7 ? "....o.......xoxX" : "....o.......o...", 0.7f, 0.3f);
            w.Drums(s, b, Inst::HatOpen, "..x...x...x...x.", 0.5f, 0.3f, -0.2f);
            w.Drums(s, b, Inst::HatClosed, "o..go..go..go.go", 0.55f, 0.5f, 0.3f, 60.0f, 0.002);
            w.Bass(s, b, chord, last ? "R.R.R.R.R.R.R.R." : ".RRO.RRO.RRO.RRO", 0.8f,
                   b < 8 ? 0.5f : b < 24 ? 0.55f : 0.62f);
            w.Arp(s, b, chord, 0.48f, b < 24 ? 0.55f : 0.7f, b < 24 ? 0.55f : 0.7f);
            if (b % 8 == 0 && b > 0) w.Add(Inst::Crash, s.At(b), 3.0, 60.0f, 0.7f, 0.0f, 0.6f);
        } else {
            const float rise = (b - 16) / 8.0f;
            w.Pad(s, b, 1, chord, 0.7f, Lerp(0.3f, 0.7f, rise));
            w.Piano(s, b, chord, 0.42f, false);
            w.Drums(s, b, Inst::HatClosed, "o.g.o.g.o.g.o.g.", 0.35f, 0.5f, 0.3f, 60.0f, 0.002);
            if (buildBack) {
                w.Drums(s, b, Inst::Kick, "X...X...X...X...", 0.85f, 0.5f);
                w.Drums(s, b, Inst::Snare, b == 22 ? "x.x.x.x.x.x.x.x." : "xxxxxxxxxxxxxxxx",
                        Lerp(0.4f, 0.9f, (b - 22) / 2.0f), 0.4f);
                w.Bass(s, b, chord, "R.R.R.R.R.R.R.R.", 0.75f, Lerp(0.3f, 0.6f, (b - 22) / 2.0f));
            } else {
                w.Bass(s, b, chord, "R...............", 0.55f, 0.15f);
            }
        }
    }
    w.Melody(s, 8,
             "F#5:3 F#5:3 D5:2 B4:4 C#5:2 D5:2 | E5:3 D5:3 B4:2 G4:4 A4:2 B4:2 |"
             "A5:3 F#5:3 D5:2 F#5:4 E5:2 D5:2 | C#5:6 E5:2 A5:4 E5:4 |"
             "F#5:3 F#5:3 D5:2 B5:4 A5:2 F#5:2 | G5:3 F#5:3 E5:2 D5:4 E5:2 F#5:2 |"
             "A5:6 F#5:2 D5:4 F#5:4 | E5:8 C#5:4 A4:4",
             Inst::Lead, 0.8f, 0.6f);
    w.Melody(s, 16, "B4:12 D5:2 E5:2 | D5:12 B4:4 | F#5:12 E5:2 D5:2 | E5:8 C#5:8", Inst::Bell, 0.6f, 0.5f, -0.2f);
    w.Melody(s, 20, "G5:12 F#5:2 E5:2 | D5:8 E5:4 G5:4 | B5:8 C#6:8 | A#5:16", Inst::Lead, 0.7f, 0.45f);
    w.Melody(s, 24,
             "F#5:3 F#5:3 D5:2 B4:4 C#5:2 D5:2 | E5:3 D5:3 B4:2 G4:4 A4:2 B4:2 |"
             "A5:3 F#5:3 D5:2 F#5:4 E5:2 D5:2 | C#5:6 E5:2 A5:4 E5:4 |"
             "F#5:3 F#5:3 D5:2 B5:4 A5:2 F#5:2 | G5:3 F#5:3 E5:2 D5:4 E5:2 F#5:2 |"
             "G5:6 F#5:2 E5:4 D5:2 E5:2 | F#5:8 A#4:4 C#5:4",
             Inst::Lead, 0.85f, 0.75f);
    w.Stab(s.At(24), "Bm", 0.6f, 0.8f);
    w.Stab(s.At(28), "Bm", 0.6f, 0.8f);

    w.Add(Inst::Riser, s.At(20), s.At(24) - s.At(20), 54.0f, 0.45f, 0.0f, 0.4f);
    w.Add(Inst::ReverseCymbal, s.At(23), s.barSeconds, 60.0f, 0.5f);
    w.Add(Inst::Crash, s.At(24), 3.0, 60.0f, 0.9f, 0.0f, 0.8f);
}

// 141-169 s: one accent per greeting picture, on every bar line, over a lighter pulse.
void Greetings(Writer& w)
{
    const Section& s = kGreet;
    static const char* kChords[14] = {"Bm", "G", "D", "A", "Bm", "G", "D", "A", "Em", "G", "Bm", "A", "G", "F#"};
    for (int b = 0; b < 14; ++b) {
        const char* chord = kChords[b];
        w.Add(Inst::Kick, s.At(b), 0.3, 60.0f, 1.0f, 0.0f, 0.7f);
        w.Add(Inst::Crash, s.At(b), 1.5, 60.0f, 0.5f, 0.0f, 0.15f);
        w.Add(Inst::Impact, s.At(b), 1.5, 60.0f, 0.25f, 0.0f, 0.1f);
        w.Stab(s.At(b), chord, 0.75f, 0.8f);
        w.Drums(s, b, Inst::Kick, "..........o.....", 0.8f, 0.4f);
        w.Drums(s, b, Inst::Clap, "........o.......", 0.6f);
        w.Drums(s, b, Inst::HatClosed, "g.o.g.o.g.o.g.o.", 0.5f, 0.5f, 0.3f, 60.0f, 0.002);
        w.Bass(s, b, chord, "R.r.r.r.R.r.r.r.", 0.75f, 0.3f);
        w.Pad(s, b, 1, chord, 0.5f, 0.4f);
        w.Arp(s, b, chord, 0.3f, 0.35f, 0.35f);
    }
    w.Melody(s, 0,
             "B5:8 F#5:8 | G5:8 D5:8 | F#5:8 A5:8 | E5:16 | D6:8 C#6:4 B5:4 | B5:8 G5:8 | A5:8 F#5:8 |"
             "E5:12 C#5:4 | G5:8 B5:8 | D6:8 B5:8 | F#5:16 | E5:8 C#6:8 | D6:8 B5:8 | A#5:8 C#6:8",
             Inst::Bell, 0.55f, 0.6f, -0.2f);
    w.Add(Inst::ReverseCymbal, s.At(13), s.barSeconds, 60.0f, 0.3f);
}

// 169 s to the end: the logo fades in; the opening's piano returns in B minor with the
// bell singing the theme, the heartbeat slows away, and a last chord rings out.
void Closing(Writer& w)
{
    const Section& s = kOutro;
    static const char* kChords[8] = {"Bm", "Bm", "G", "G", "D", "D", "A", "A"};
    w.Add(Inst::Crash, s.At(0), 4.0, 60.0f, 0.45f, 0.0f, 0.8f);
    w.Add(Inst::Impact, s.At(0), 4.0, 60.0f, 0.4f, 0.0f, 0.6f);
    for (int b = 0; b < 8; b += 2) {
        w.Pad(s, b, 2, kChords[b], Lerp(0.38f, 0.3f, b / 8.0f), Lerp(0.35f, 0.2f, b / 8.0f));
        w.Add(Inst::Bass, s.At(b), s.barSeconds * 2, static_cast<float>(BassNote(ParseChord(kChords[b]), 31)), 0.38f,
              0.0f, 0.1f);
    }
    for (int b = 0; b < 8; ++b) w.Piano(s, b, kChords[b], Lerp(0.28f, 0.2f, b / 8.0f), false);
    w.Melody(s, 2,
             "F#5:6 E5:2 D5:4 C#5:2 D5:2 | B4:16 | A4:6 B4:2 D5:4 F#5:4 | E5:16 | "
             "F#5:6 E5:2 D5:4 C#5:4 | C#5:16 | B4:16",
             Inst::Bell, 0.4f, 0.4f, 0.2f);
    for (int b = 3; b < 8; ++b) {
        const float v = Lerp(0.45f, 0.15f, (b - 3) / 5.0f);
        w.Add(Inst::Heart, s.At(b), 0.1, 33.0f, v);
        w.Add(Inst::Heart, s.At(b) + 0.2, 0.1, 35.0f, v * 0.6f);
    }
    // Final chord, rolled on the piano under a pad held into the master fade.
    const double last = s.At(8);
    w.Pad(s, 8, 6, "Bmadd9", 0.4f, 0.25f, 5);
    w.Add(Inst::Bass, last, 10.0, 35.0f, 0.35f, 0.0f, 0.1f);
    const std::vector<int> roll = Voicing(ParseChord("Bmadd9"), 62, 5);
    for (std::size_t i = 0; i < roll.size(); ++i) {
        w.Add(Inst::Piano, last + 0.07 * i, 4.0, static_cast<float>(roll[i]), 0.4f, -0.3f + 0.15f * i, 0.4f);
    }
}

}  // namespace

Song ComposeMeridian()
{
    Writer w;
    Intro(w);
    Landscape(w);
    Plasma(w);
    Greetings(w);
    Closing(w);
    Song song;
    song.notes = std::move(w.notes);
    song.length = kEnd;
    song.fadeStart = 190.0;
    return song;
}

}  // namespace music
