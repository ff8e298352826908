// The pictures of --shot: the first frame drawn at or after each asked demo time, written as
// DIR/tSSSS.SSS.png.
#pragma once

#include <string>
#include <vector>

class Shots {
public:
    // times in any order; folder must exist.
    Shots(std::vector<double> times, std::string folder);

    // After a frame at demo time `time` is drawn (width x height in the back buffer): writes the
    // picture of every asked time that this frame reaches.
    void FrameDrawn(double time, int width, int height);
    bool IsEmpty() const { return m_times.empty(); }
    bool AllTaken() const { return m_taken == m_times.size(); }
    // At the end of a run that reached demo time `time`: false, with each reason logged, when a
    // picture could not be written or its time was never reached.
    bool Finish(double time) const;

private:
    std::vector<double> m_times;  // sorted
    std::string m_folder;
    size_t m_taken = 0;
    int m_failed = 0;  // pictures that could not be written
};
