// The capture's writing thread.
#include "makers/FrameWriter.h"

#include <algorithm>
#include <cstdio>

#include "makers/FrameCapture.h"

FrameWriter::FrameWriter(std::string folder, int slots, PngEffort effort)
    : m_folder(std::move(folder)), m_effort(effort), m_slots(static_cast<size_t>(std::max(slots, 1)))
{
    m_thread = std::thread([this] { Work(); });
}

FrameWriter::~FrameWriter()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

std::vector<unsigned char>& FrameWriter::Next()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queued < m_slots.size(); });
    return m_slots[(m_oldest + m_queued) % m_slots.size()].pixels;
}

void FrameWriter::Queue(long number, int width, int height)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Slot& slot = m_slots[(m_oldest + m_queued) % m_slots.size()];
        slot.number = number;
        slot.width = width;
        slot.height = height;
        ++m_queued;
    }
    m_changed.notify_all();
}

std::string FrameWriter::Failure()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failure;
}

long FrameWriter::FailedFrame()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failedFrame;
}

std::string FrameWriter::Drain()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queued == 0; });
    return m_failure;
}

void FrameWriter::Work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_queued > 0 || m_stop; });
        if (m_queued == 0) return;
        Slot& slot = m_slots[m_oldest];
        if (m_failure.empty()) {
            // The frame loop touches only the free slots while this one is written.
            lock.unlock();
            char name[32];
            std::snprintf(name, sizeof name, "/frame_%06ld.png", slot.number);
            const std::string problem =
                WriteFramePng(slot.pixels.data(), slot.width, slot.height, m_effort, m_folder + name);
            lock.lock();
            if (m_failure.empty() && !problem.empty()) {
                m_failure = problem;
                m_failedFrame = slot.number;
            }
        }
        m_oldest = (m_oldest + 1) % m_slots.size();
        --m_queued;
        m_changed.notify_all();
    }
}
