// Seeking: brings a freshly set-up (or rewound) demo to a demo time in the state it would have
// had if played there frame by frame, without presenting anything.
#pragma once

#include <functional>

class IEngine;
class k_Demo;

// The first step of a run, and of a rewound one: the first picture is drawn before the music
// starts, and a seek starts from it.
constexpr double kPrimingStep = 0.00001;
// The step of a seek when the run has no fixed step.
constexpr double kDefaultSeekStep = 1.0 / 60.0;
// How often a long seek calls back, in seconds of wall time.
constexpr double kSeekAnswerSeconds = 0.25;

// Called with the clock's time every kSeekAnswerSeconds of a seek: keeps the window answering and
// shows the progress. False stops the seek.
using SeekAnswer = std::function<bool(double time)>;

// Steps the clock by `step` while a further step stays short of `target`, so that the next
// frame of that step reaches it exactly as a run from the start would: every cue fires and every
// world updates on the way. A step is drawn too where it lies within some world's history of the
// target (the drift's trails, the adapted exposure), so what a world carries from frame to frame
// has settled as in a run from the start; the others leave out their drawing. The clock must
// have made its first step, and the step must move the clock at the target. False when
// `answer` stopped it.
bool SeekDemo(IEngine* engine, k_Demo* demo, double target, double step, const SeekAnswer& answer);
