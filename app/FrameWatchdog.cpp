// The frame watchdog.
#include "app/FrameWatchdog.h"

#include <algorithm>
#include <chrono>

namespace {

// Looks this many times per limit: a stuck frame is reported at most a twentieth of it late.
constexpr int64_t kLooksPerLimit = 20;

int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

FrameWatchdog::FrameWatchdog(double limitSeconds, std::function<void(double demoTime)> onStuck, RanSeconds ranSeconds)
    : m_limitNs(static_cast<int64_t>(limitSeconds * 1e9)), m_onStuck(std::move(onStuck)), m_ranSeconds(ranSeconds)
{
    if (m_limitNs > 0) m_thread = std::thread([this] { Watch(); });
}

FrameWatchdog::~FrameWatchdog()
{
    if (!m_thread.joinable()) return;
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
    m_frame.store(++m_started, std::memory_order_release);
}

void FrameWatchdog::FrameEnded() { m_frame.store(-1, std::memory_order_release); }

void FrameWatchdog::Watch()
{
    const auto look = std::chrono::nanoseconds(std::max<int64_t>(m_limitNs / kLooksPerLimit, 1));
    int64_t watched = -1;
    int64_t ranNs = 0;
    int64_t wall = NowNs();
    double ran = m_ranSeconds();
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_wake.wait_for(lock, look, [this] { return m_stop; })) {
        const int64_t wallNow = NowNs();
        const double ranNow = m_ranSeconds();
        // Several busy threads count no faster than the wall; a stop or a sleep counts nothing.
        const int64_t counted = std::min(wallNow - wall, static_cast<int64_t>((ranNow - ran) * 1e9));
        wall = wallNow;
        ran = ranNow;
        const int64_t frame = m_frame.load(std::memory_order_acquire);
        if (frame != watched) {
            watched = frame;
            ranNs = 0;
            continue;
        }
        if (frame < 0) continue;
        ranNs += std::max<int64_t>(counted, 0);
        if (ranNs < m_limitNs) continue;
        m_onStuck(m_demoTime.load(std::memory_order_relaxed));
        return;
    }
}
