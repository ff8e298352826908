// Frame-time recording.
#include "makers/FrameTimes.h"

#include <GL/glew.h>
#include <cstdio>
#include <ctime>

#include "makers/OutputFile.h"
#include "platform/Clock.h"
#include "platform/Log.h"

namespace {

double ProcessCpuMilliseconds()
{
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return 1000.0 * static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e6;
}

}  // namespace

void FrameTimes::Record(double demoTime)
{
    glFinish();
    const long long now = Platform::ReadPerformanceCounter();
    const double cpu = ProcessCpuMilliseconds();
    if (m_previous < 0)
        m_frames.reserve(1 << 16);
    else
        m_frames.push_back({demoTime,
                            1000.0 * static_cast<double>(now - m_previous) /
                                static_cast<double>(Platform::ReadPerformanceFrequency()),
                            cpu - m_previousCpu});
    m_previous = now;
    m_previousCpu = cpu;
}

bool FrameTimes::Write(const std::string& path) const
{
    OutputFile output(path);
    const char header[] = "demo_time,ms,cpu_ms\n";
    bool ok = output.Write(header, sizeof header - 1);
    for (const Frame& frame : m_frames) {
        if (!ok) break;
        char line[96];
        const int length = std::snprintf(line, sizeof line, "%.4f,%.3f,%.3f\n", frame.demoTime, frame.milliseconds,
                                         frame.cpuMilliseconds);
        ok = output.Write(line, static_cast<size_t>(length));
    }
    if (output.Close()) return true;
    Log::Error() << "The frame times are lost: " << output.GetProblem().c_str();
    return false;
}
