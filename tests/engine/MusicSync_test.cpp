// The demo clock follows the music: kept while they agree, eased back when they part, never backwards.
#include "engine/MusicSync.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "support/LogCapture.h"

namespace {

constexpr double kStep = 1.0 / 60.0;
constexpr double kBuffer = 1024.0 / 44100.0;  // the device's buffer: the music moves by this much at once

struct Played {
    double demo = 0;           // the demo clock after the last frame
    double smallestStep = 1;   // the smallest step the sync returned
    double largestStep = 0;
};

// Plays seconds of frames of kStep; heard(t) gives the music's position at wall time t.
Played Play(MusicSync& sync, double seconds, const std::function<double(double)>& heard)
{
    Played run;
    const int frames = static_cast<int>(std::lround(seconds / kStep));
    for (int frame = 1; frame <= frames; ++frame) {
        const double step = sync.Step(run.demo, kStep, heard(frame * kStep));
        run.smallestStep = std::min(run.smallestStep, step);
        run.largestStep = std::max(run.largestStep, step);
        run.demo += step;
    }
    return run;
}

// The music as the device reports it: in whole buffers.
double InBuffers(double seconds) { return std::floor(seconds / kBuffer) * kBuffer; }

int PartingLines(const LogCapture& log)
{
    int lines = 0;
    for (const std::string& line : log.Lines()) lines += line.find("from the music") != std::string::npos;
    return lines;
}

TEST(MusicSync, KeepsTheMeasuredStepWhileTheyAgree)
{
    struct Case {
        const char* what;
        double demo, step, heard, granularity;
    } cases[] = {
        {"in step", 10.0, kStep, 10.0 + kStep, 0.0},
        {"most of a frame ahead", 10.0, kStep, 10.0 + 0.1 * kStep, 0.0},
        {"most of a frame behind", 10.0, kStep, 10.0 + 1.9 * kStep, 0.0},
        {"a slow frame widens the tolerance to itself", 10.0, 0.05, 10.01, 0.0},
        {"a frame and most of a buffer ahead", 10.0, kStep, 10.0 + 0.1 * kStep - 0.9 * kBuffer, kBuffer},
        {"paused", 0.0, 0.0, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        MusicSync sync(c.granularity);
        LogCapture log;
        EXPECT_DOUBLE_EQ(sync.Step(c.demo, c.step, c.heard), c.step) << c.what;
        EXPECT_EQ(sync.GetFirstGap(), 0.0) << c.what;
        EXPECT_TRUE(log.Lines().empty()) << c.what;
    }
}

TEST(MusicSync, EasesBackByHalfAStepAtMostEitherWay)
{
    struct Case {
        double gap;          // demo less music before the step
        double least, most;  // bounds of the corrected step
    } cases[] = {
        {+1.0, 0.5 * kStep, 0.5 * kStep},  // far ahead: half speed, still forwards
        {-1.0, 1.5 * kStep, 1.5 * kStep},  // far behind: one and a half
        {+0.03, 0.5 * kStep, kStep},       // just parted
        {-0.03, kStep, 1.5 * kStep},
    };
    for (const Case& c : cases) {
        MusicSync sync(0.0);
        const double step = sync.Step(20.0 + c.gap, kStep, 20.0 + kStep);
        EXPECT_GE(step, c.least - 1e-12) << c.gap;
        EXPECT_LE(step, c.most + 1e-12) << c.gap;
        EXPECT_NEAR(sync.GetFirstGap(), c.gap, 1e-9);
    }
}

TEST(MusicSync, AStalledTuneHoldsThePictureBackWithoutRunningItBackwards)
{
    MusicSync sync(kBuffer);
    LogCapture log;
    // The device plays, stops for half a second (a starved audio thread), then plays on.
    const auto heard = [](double t) { return InBuffers(t < 2.0 ? t : t < 2.5 ? 2.0 : t - 0.5); };
    const Played run = Play(sync, 8.0, heard);
    EXPECT_GE(run.smallestStep, 0.5 * kStep - 1e-12);
    EXPECT_LE(run.largestStep, kStep + 1e-12);
    EXPECT_NEAR(run.demo, 7.5, kStep + kBuffer);
    EXPECT_GT(sync.GetFirstGap(), kStep);
    EXPECT_EQ(PartingLines(log), 1);
}

TEST(MusicSync, FollowsADeviceClockOfAnotherRateOverAWholeRun)
{
    struct Case {
        double rate;  // seconds of music per second of the counter
        bool parts;
    } cases[] = {
        {115.751 / 120.025, true},  // the disk driver on a loaded machine
        {1.0, false},               // in step, the position moving a buffer at a time
        {1.002, true},              // a device clock a little fast
    };
    for (const Case& c : cases) {
        MusicSync sync(kBuffer);
        const Played run = Play(sync, 120.0, [&](double t) { return InBuffers(c.rate * t); });
        EXPECT_NEAR(run.demo, c.rate * 120.0, kStep + kBuffer) << c.rate;
        EXPECT_GE(run.smallestStep, 0.0) << c.rate;
        EXPECT_EQ(sync.GetFirstGap() != 0.0, c.parts) << c.rate;
    }
}

TEST(MusicSync, LogsTheFirstPartingOnly)
{
    MusicSync sync(kBuffer);
    LogCapture log;
    // Two stalls far apart: each is eased back, one line in all.
    const auto heard = [](double t) {
        return InBuffers(t < 1.0 ? t : t < 1.5 ? 1.0 : t < 5.0 ? t - 0.5 : t < 5.5 ? 4.5 : t - 1.0);
    };
    const Played run = Play(sync, 10.0, heard);
    EXPECT_NEAR(run.demo, 9.0, kStep + kBuffer);
    EXPECT_EQ(PartingLines(log), 1);
}

}  // namespace
