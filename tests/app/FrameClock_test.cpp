// The frame clock against a fake counter: measured steps, the fixed step, and restarts that
// leave start-up and seeking out of the next frame.
#include <gtest/gtest.h>

#include "app/FrameClock.h"

namespace {

int64_t g_counter = 0;
int64_t ReadFake() { return g_counter; }

struct Case {
    const char* what;
    double fixedStep;
    int64_t elapsed;      // ticks (of 1000 a second) between construction and the frame
    bool restartAt500;    // a restart 500 ticks in
    double wallSeconds;
    double step;
};

const Case kCases[] = {
    {"measured", 0.0, 16, false, 0.016, 0.016},
    {"no time passed", 0.0, 0, false, 0.0, 0.0},
    {"fixed step wins over the measured time", 0.04, 250, false, 0.25, 0.04},
    {"a restart drops the time before it", 0.0, 516, true, 0.016, 0.016},
    {"a restart leaves the fixed step alone", 0.02, 1500, true, 1.0, 0.02},
};

TEST(FrameClock, StepsFromTheCounter)
{
    for (const Case& c : kCases) {
        g_counter = 1000000;
        FrameClock clock(ReadFake, 1000, c.fixedStep);
        if (c.restartAt500) {
            g_counter += 500;
            clock.Restart();
            g_counter += c.elapsed - 500;
        } else {
            g_counter += c.elapsed;
        }
        const FrameClock::Tick tick = clock.Next();
        EXPECT_DOUBLE_EQ(tick.wallSeconds, c.wallSeconds) << c.what;
        EXPECT_DOUBLE_EQ(tick.step, c.step) << c.what;
    }
}

TEST(FrameClock, EachFrameIsMeasuredFromTheLast)
{
    g_counter = 0;
    FrameClock clock(ReadFake, 1000000000, 0.0);
    const int64_t gaps[] = {16666667, 33333333, 1, 0, 5000000000};
    for (int64_t gap : gaps) {
        g_counter += gap;
        EXPECT_DOUBLE_EQ(clock.Next().wallSeconds, static_cast<double>(gap) / 1e9) << gap;
    }
}

}  // namespace
