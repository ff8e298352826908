// The frame watchdog counts the time a frame ran, not the time that passed: a stopped process
// is never stuck, a busy one is.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/FrameWatchdog.h"

namespace {

constexpr double kLimit = 0.2;

// The processor time the watchdog reads: following the wall (a busy process) or standing still
// (a stopped one).
std::atomic<bool> g_running{true};
std::atomic<double> g_frozenAt{0};

double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double RanSeconds() { return g_running ? WallSeconds() - g_frozenAt : 0; }

// Waits up to `seconds` for the report.
bool Reported(const std::atomic<bool>& stuck, double seconds)
{
    for (const double end = WallSeconds() + seconds; WallSeconds() < end && !stuck;)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return stuck;
}

TEST(FrameWatchdog, AFrameThatRunsItsLimitIsReportedWithItsTime)
{
    g_running = true;
    std::atomic<bool> stuck{false};
    std::atomic<double> at{0};
    FrameWatchdog watchdog(kLimit, [&](double time) { at = time, stuck = true; }, RanSeconds);
    watchdog.FrameStarted(3.5);
    EXPECT_TRUE(Reported(stuck, 30));
    EXPECT_EQ(at, 3.5);
}

TEST(FrameWatchdog, FramesThatEndInTimeAndAStoppedProcessAreNot)
{
    g_running = true;
    std::atomic<bool> stuck{false};
    FrameWatchdog watchdog(kLimit, [&](double) { stuck = true; }, RanSeconds);
    // Many short frames add up to far more than the limit.
    for (int i = 0; i < 40; ++i) {
        const FrameWatchdog::Frame frame(watchdog, i);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(stuck);

    // Stopped (Ctrl-Z, a sleeping laptop) for five limits in the middle of a frame: nothing counts.
    g_running = false;
    watchdog.FrameStarted(1);
    EXPECT_FALSE(Reported(stuck, 5 * kLimit));
    // Running again, the same frame that never ends is reported.
    g_frozenAt = WallSeconds();
    g_running = true;
    EXPECT_TRUE(Reported(stuck, 30));
}

TEST(FrameWatchdog, ALimitOfNoneWatchesNothing)
{
    g_running = true;
    std::atomic<bool> stuck{false};
    FrameWatchdog watchdog(0, [&](double) { stuck = true; }, RanSeconds);
    watchdog.FrameStarted(0);
    EXPECT_FALSE(Reported(stuck, 5 * kLimit));
}

}  // namespace
