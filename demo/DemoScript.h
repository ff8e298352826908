// The demo script as data, written once: the instants where the scenes change, the pictures with
// their times and transitions, the demo's own cues, and the scene spans that the benchmark and
// the developer overlay show. k_Demo::Setup walks the tables in order.
#pragma once

#include <iterator>

#include "scene/k_TextEvent.h"

// Where the script's scenes begin, in demo seconds.
constexpr double kLandscapeAt = 27.0;
constexpr double kPlasmaAt = 76.6;
constexpr double kClosingFadeAt = 169.0;
constexpr double kLogoAt = 175.0;
// The last picture has come in by then: the demo goes on, but nothing new happens.
constexpr double kScriptEnd = 186.0;

// How a picture enters and leaves: its text event's modes and seconds.
struct Transition {
    k_TextEvent::FadeInMode in;
    float inSeconds;
    k_TextEvent::FadeOutMode out;
    float outSeconds;
};
inline constexpr Transition kGlide{k_TextEvent::InEntrance, 3.0f, k_TextEvent::OutEntranceBack, 3.0f};
inline constexpr Transition kQuickFade{k_TextEvent::InAlphaUp, 0.5f, k_TextEvent::OutAlphaDown, 0.25f};
inline constexpr Transition kSlowFade{k_TextEvent::InAlphaUp, 2.0f, k_TextEvent::OutAlphaDown, 2.0f};
inline constexpr Transition kGlideToDrift{k_TextEvent::InEntrance, 10.0f, k_TextEvent::OutHandOver, 3.0f};
inline constexpr Transition kFlashToDrift{k_TextEvent::InAlphaUp, 0.25f, k_TextEvent::OutHandOver, 0.1f};

struct PictureRow {
    const wchar_t* file;
    double start;
    double duration;
    const Transition& transition;
};
// In creation order; where two overlap, the later one is drawn over the earlier.
inline constexpr PictureRow kPictures[] = {
    {L"time.png", 0, 10, kGlide},
    {L"it-is-time.png", 8, 10, kGlide},
    {L"whattime1.png", 10, 2, kQuickFade},
    {L"whattime2.png", 11.5, 2, kQuickFade},
    {L"whattime3.png", 13, 2, kQuickFade},
    {L"whattime4.png", 14.5, 2, kQuickFade},
    {L"married.png", 18, 10, kGlide},
    {L"married2.png", 25, 5, kSlowFade},
    {L"friend.png", 30, 15, kGlideToDrift},
    {L"goodbye.png", 45, 30, kGlideToDrift},
    {L"gratitude.png", 76, 4, kQuickFade},
    {L"Thanks/thanks1.png", 80, 13, kGlide},
    {L"Thanks/thanks2.png", 91, 13, kGlide},
    {L"Thanks/thanks3.png", 102, 14, kGlide},
    {L"Thanks/thanks4.png", 114, 13, kGlide},
    {L"Thanks/thanks5.png", 125, 12, kGlide},
    {L"adore.png", 137, 4, kQuickFade},
    {L"greet1.png", 141, 1.5, kFlashToDrift},
    {L"greet2.png", 143, 1.5, kFlashToDrift},
    {L"greet3.png", 145, 1.5, kFlashToDrift},
    {L"greet4.png", 147, 1.5, kFlashToDrift},
    {L"greet5.png", 149, 1.5, kFlashToDrift},
    {L"greet6.png", 151, 1.5, kFlashToDrift},
    {L"greet7.png", 153, 1.5, kFlashToDrift},
    {L"greet8.png", 155, 1.5, kFlashToDrift},
    {L"greet9.png", 157, 1.5, kFlashToDrift},
    {L"greet10.png", 159, 1.5, kFlashToDrift},
    {L"greet11.png", 161, 1.5, kFlashToDrift},
    {L"greet12.png", 163, 1.5, kFlashToDrift},
    {L"greet13.png", 165, 1.5, kFlashToDrift},
    {L"greet14.png", 167, 1.5, kFlashToDrift},
    {L"function.png", 170, 4, kSlowFade},
    {L"were-not-dead.png", kLogoAt, 10, kFlashToDrift},
    // The demo never ends by itself: the last picture stays until the viewer stops it.
    {L"friend-says.png", 185, 1000, kFlashToDrift},
};
constexpr int kPictureCount = static_cast<int>(std::size(kPictures));

// The demo's own cues: an instant handed to k_Demo::Trigger, or a fade over a span handed to
// k_Demo::Animate. Each goes on the clock once afterPicture pictures are, which orders it among
// the pictures' events of the same instant.
struct CueRow {
    enum Kind { Instant, Fade };
    Kind kind;
    int code;  // k_Demo::Cue for an instant, k_Demo::Fade for a fade
    double start;
    double end;  // a fade's; an instant's is its start
    int afterPicture;
};
// The codes of the cues (k_Demo's Cue and Fade).
enum ScriptCue { ShowLandscape = 1, ShowPlasma = 3 };
enum ScriptFade { FadeInFromBlack = 1, FadeToWhite = 2, FadeInFromWhite = 3, FadeToLogo = 4 };
inline constexpr CueRow kCues[] = {
    {CueRow::Instant, ShowLandscape, kLandscapeAt, kLandscapeAt, 11},
    {CueRow::Fade, FadeInFromBlack, kLandscapeAt, 36.7, 11},
    {CueRow::Fade, FadeToWhite, 71.8, kPlasmaAt, 11},
    {CueRow::Instant, ShowPlasma, kPlasmaAt, kPlasmaAt, 11},
    {CueRow::Fade, FadeInFromWhite, kPlasmaAt, 78.0, 11},
    // The logo fades in while the screen goes black.
    {CueRow::Fade, FadeToLogo, kClosingFadeAt, kLogoAt, 31},
};

// The scene spans the makers' tools name; the last runs to the script's end.
struct SceneSpan {
    const char* name;
    double start;
    double end;
};
inline constexpr SceneSpan kSceneSpans[] = {
    {"opening", 0, kLandscapeAt},
    {"terrain", kLandscapeAt, kPlasmaAt},
    {"plasma", kPlasmaAt, kClosingFadeAt},
    {"closing fade", kClosingFadeAt, kLogoAt},
    {"logo", kLogoAt, kScriptEnd},
};

// The loading bar's steps: one for each world the script adds (the terrain, the HDR world, the
// plasma, the after world, the drift) and one for each picture.
constexpr int kWorldLoadingSteps = 5;
constexpr int kLoadingSteps = kWorldLoadingSteps + kPictureCount;
static_assert(kLoadingSteps == 39, "the script's loading steps");
