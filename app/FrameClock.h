// The frame loop's clock: the wall-clock time between frames, read from a performance counter,
// and the step the demo takes from it (the measured time, or the run's fixed step).
#pragma once

#include <cstdint>

class FrameClock {
public:
    using Counter = int64_t (*)();

    // counter: read once a frame, `frequency` ticks a second. A fixedStep above 0 replaces the
    // measured time as the demo's step. Measuring starts at construction.
    FrameClock(Counter counter, int64_t frequency, double fixedStep);

    struct Tick {
        double wallSeconds;  // since the last tick or restart
        double step;         // what the demo advances by
    };
    // The frame that starts now.
    Tick Next();
    // Measures the next frame from now: time spent starting, seeking or restarting is no frame's.
    void Restart();

private:
    Counter m_counter;
    int64_t m_frequency;
    double m_fixedStep;
    int64_t m_previous;
};
