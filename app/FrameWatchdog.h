// Watches that every frame finishes: Mesa's software driver has no timeout, so a shader that never
// leaves its loop would freeze the window for good. A thread of its own waits; the frame loop only
// marks where each frame starts and ends (atomic stores, nothing allocated).
//
// A frame is stuck when it has run for the limit, not when the limit has passed on the wall: the
// time counted is the time the process ran, the processor time of all its threads, but never more
// than the wall time between two looks. A stuck shader keeps the driver's threads busy, so its
// frame counts at the wall's pace; a process stopped (Ctrl-Z, a debugger, a laptop asleep) counts
// nothing, and one that other programs crowd off the processors counts only its share.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class FrameWatchdog {
public:
    using RanSeconds = double (*)();

    // onStuck runs on the watchdog's thread, once, with the demo time of a frame that has run
    // limitSeconds; it must not need the frame loop's thread (that one is stuck) and is expected
    // to end the process. A limit of 0 watches nothing (runs where a frame may take minutes).
    // ranSeconds: the process's processor time so far.
    FrameWatchdog(double limitSeconds, std::function<void(double demoTime)> onStuck, RanSeconds ranSeconds);
    ~FrameWatchdog();
    FrameWatchdog(const FrameWatchdog&) = delete;
    FrameWatchdog& operator=(const FrameWatchdog&) = delete;

    // Starts a frame's count afresh, also when one is running (a long seek that moves on).
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
    RanSeconds m_ranSeconds;
    int64_t m_started = 0;              // frames started; the frame loop's only
    std::atomic<int64_t> m_frame{-1};  // the number of the frame running; -1 between frames
    std::atomic<double> m_demoTime{0};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;  // under m_mutex
    std::thread m_thread;
};
