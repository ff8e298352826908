// The pictures of --shot.
#include "makers/Shots.h"

#include <algorithm>
#include <cstdio>

#include "makers/FrameCapture.h"
#include "platform/Log.h"

Shots::Shots(std::vector<double> times, std::string folder) : m_times(std::move(times)), m_folder(std::move(folder))
{
    std::sort(m_times.begin(), m_times.end());
}

void Shots::FrameDrawn(double time, int width, int height)
{
    for (; m_taken < m_times.size() && time >= m_times[m_taken]; ++m_taken)
        if (!CaptureFrame(width, height, CapturePath(m_folder, m_times[m_taken])).empty()) ++m_failed;
}

bool Shots::Finish(double time) const
{
    for (size_t i = m_taken; i < m_times.size(); ++i) {
        char line[160];
        std::snprintf(line, sizeof line, "No picture for --shot %g: the run ended at demo time %.3f s", m_times[i],
                      time);
        Log::Error() << line;
    }
    return m_failed == 0 && AllTaken();
}
