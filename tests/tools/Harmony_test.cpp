// The score's notation: note names, chord symbols, voicings and melody lines.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tools/music/Harmony.h"

namespace {

TEST(Harmony, NoteNames)
{
    struct Case { const char* name; int midi; } cases[] = {
        {"A4", 69}, {"C#5", 73}, {"Bb3", 58}, {"C4", 60}, {"B#3", 60}, {"Cb4", 59}, {"C0", 12},
    };
    for (const Case& c : cases) EXPECT_EQ(music::NoteNumber(c.name), c.midi) << c.name;
    for (const char* bad : {"", "H4", "A", "A#", "4A"})
        EXPECT_THROW(music::NoteNumber(bad), std::invalid_argument) << bad;
}

TEST(Harmony, ChordSymbols)
{
    EXPECT_EQ(music::ParseChord("Am").root, 9);
    EXPECT_EQ(music::ParseChord("Am").intervals, (std::vector<int>{0, 3, 7}));
    EXPECT_EQ(music::ParseChord("F#").root, 6);
    EXPECT_EQ(music::ParseChord("Gsus4").intervals, (std::vector<int>{0, 5, 7}));
    EXPECT_THROW(music::ParseChord("Xm"), std::invalid_argument);
    EXPECT_THROW(music::ParseChord("Cdim13"), std::invalid_argument);
}

TEST(Harmony, VoicingsStayNearTheirCentreInAscendingOrder)
{
    const auto notes = music::Voicing(music::ParseChord("C"), 60, 3);
    ASSERT_EQ(notes.size(), 3u);
    for (size_t i = 0; i < notes.size(); ++i) {
        EXPECT_LE(std::abs(notes[i] - 60), 6);
        if (i) {
            EXPECT_LT(notes[i - 1], notes[i]);
        }
    }
    EXPECT_EQ(music::BassNote(music::ParseChord("Am"), 33), 33);
    EXPECT_EQ(music::BassNote(music::ParseChord("C"), 33), 36);
}

TEST(Harmony, MelodyBarsMustAddUp)
{
    const auto melody = music::ParseMelody("E5:6 D5:2 C5:8 | r:4 A4:12");
    ASSERT_EQ(melody.size(), 4u);
    EXPECT_EQ(melody[1].step, 6);
    EXPECT_EQ(melody[3].step, 20);
    EXPECT_EQ(melody[3].pitch, 69);
    EXPECT_EQ(melody[3].length, 12);
    EXPECT_THROW(music::ParseMelody("E5:6 D5:2 | C5:8"), std::invalid_argument);
    EXPECT_THROW(music::ParseMelody("E5:x"), std::invalid_argument);
    EXPECT_THROW(music::ParseMelody("E5:4x"), std::invalid_argument);
}

}  // namespace
