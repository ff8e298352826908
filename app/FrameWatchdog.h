// Watches that every frame finishes: Mesa's software driver has no timeout, so a shader that never
// leaves its loop would freeze the window for good. A thread of its own waits; the frame loop only
// marks where each frame starts and ends (two atomic stores, nothing allocated).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class FrameWatchdog {
public:
    // onStuck runs on the watchdog's thread, once, with the demo time of a frame that has not
    // ended limitSeconds after it started; it must not need the frame loop's thread (that one is
    // stuck) and is expected to end the process.
    FrameWatchdog(double limitSeconds, std::function<void(double demoTime)> onStuck);
    ~FrameWatchdog();
    FrameWatchdog(const FrameWatchdog&) = delete;
    FrameWatchdog& operator=(const FrameWatchdog&) = delete;

    void FrameStarted(double demoTime);
    void FrameEnded();

    // Watches the drawing of a scope, ended on every way out of it.
    class Frame {
    public:
        Frame(FrameWatchdog& watchdog, double demoTime) : m_watchdog(watchdog) { watchdog.FrameStarted(demoTime); }
        ~Frame() { m_watchdog.FrameEnded(); }
        Frame(const Frame&) = delete;
        Frame& operator=(const Frame&) = delete;

    private:
        FrameWatchdog& m_watchdog;
    };

private:
    void Watch();

    const int64_t m_limitNs;
    std::function<void(double)> m_onStuck;
    std::atomic<int64_t> m_startedNs{-1};  // steady clock; -1 between frames
    std::atomic<double> m_demoTime{0};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;  // under m_mutex
    std::thread m_thread;
};
