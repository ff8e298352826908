// Frame times for --frame-times: each displayed frame's demo time and its cost in milliseconds,
// from the end of one frame (its work finished on the GPU) to the end of the next; beside it the
// process's CPU time over the same frame (all threads, the software rasteriser's included), which
// other programs on a shared machine do not inflate.
#pragma once

#include <string>
#include <vector>

class FrameTimes {
public:
    // Waits for the frame's GL work, then records it; the first call only starts the clock and
    // makes room for a long run, so that recording does not allocate while the demo plays.
    void Record(double demoTime);
    // CSV lines "demo time,milliseconds,CPU milliseconds"; false with the reason logged when it cannot be written.
    bool Write(const std::string& path) const;

    struct Frame {
        double demoTime;
        double milliseconds;
        double cpuMilliseconds;
    };
    const std::vector<Frame>& GetFrames() const { return m_frames; }

private:
    std::vector<Frame> m_frames;
    long long m_previous = -1;
    double m_previousCpu = 0;
};
