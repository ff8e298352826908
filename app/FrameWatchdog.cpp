// The frame watchdog.
#include "app/FrameWatchdog.h"

#include <chrono>

namespace {

int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

FrameWatchdog::FrameWatchdog(double limitSeconds, std::function<void(double demoTime)> onStuck)
    : m_limitNs(static_cast<int64_t>(limitSeconds * 1e9)), m_onStuck(std::move(onStuck)), m_thread([this] { Watch(); })
{
}

FrameWatchdog::~FrameWatchdog()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void FrameWatchdog::FrameStarted(double demoTime)
{
    m_demoTime.store(demoTime, std::memory_order_relaxed);
    m_startedNs.store(NowNs(), std::memory_order_release);
}

void FrameWatchdog::FrameEnded() { m_startedNs.store(-1, std::memory_order_release); }

void FrameWatchdog::Watch()
{
    // Looks a few times per limit: a stuck frame is reported at most a quarter limit late.
    const auto look = std::chrono::nanoseconds(m_limitNs / 4 > 0 ? m_limitNs / 4 : 1);
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_wake.wait_for(lock, look, [this] { return m_stop; })) {
        const int64_t started = m_startedNs.load(std::memory_order_acquire);
        if (started < 0 || NowNs() - started < m_limitNs) continue;
        m_onStuck(m_demoTime.load(std::memory_order_relaxed));
        return;
    }
}
