// The pictures of --shot.
#include "makers/Shots.h"

#include <algorithm>

#include "makers/FrameCapture.h"

Shots::Shots(std::vector<double> times, std::string folder) : m_times(std::move(times)), m_folder(std::move(folder))
{
    std::sort(m_times.begin(), m_times.end());
}

void Shots::FrameDrawn(double time, int width, int height)
{
    for (; m_taken < m_times.size() && time >= m_times[m_taken]; ++m_taken)
        CaptureFrame(width, height, CapturePath(m_folder, m_times[m_taken]));
}
