// Frame-time recording.
#include "app/FrameTimes.h"

#include <GL/glew.h>
#include <cstdio>

#include "platform/Clock.h"
#include "platform/Log.h"

void FrameTimes::Record(double demoTime)
{
    glFinish();
    const long long now = Platform::ReadPerformanceCounter();
    if (m_previous < 0)
        m_frames.reserve(1 << 16);
    else
        m_frames.push_back({demoTime, 1000.0 * static_cast<double>(now - m_previous) /
                                          static_cast<double>(Platform::ReadPerformanceFrequency())});
    m_previous = now;
}

bool FrameTimes::Write(const std::string& path) const
{
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        Log::Error() << "Cannot write the frame times to " << path.c_str();
        return false;
    }
    std::fprintf(file, "demo_time,ms\n");
    for (const Frame& frame : m_frames) std::fprintf(file, "%.4f,%.3f\n", frame.demoTime, frame.milliseconds);
    const bool written = std::fclose(file) == 0;
    if (!written) Log::Error() << "Cannot write the frame times to " << path.c_str();
    return written;
}
