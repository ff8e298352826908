// Keeps the demo clock in step with the music the viewer hears.
#pragma once

// The demo clock runs on the performance counter and the music on the audio device: a starved
// audio thread, an underrun or a device clock of another rate parts them. While they agree
// within a frame (and the music's own step, one device buffer) the demo takes its measured steps
// unchanged; once they part further its steps are stretched or shrunk by up to half until it
// meets the music again. A step never goes below zero: the demo never runs backwards and no
// event fires twice. The first parting is logged; later ones are eased back silently.
class MusicSync {
public:
    // The most a corrected step differs from the measured one, as a share of it.
    static constexpr double kCatchUp = 0.5;
    // The shortest frame the tolerance allows for (60 Hz).
    static constexpr double kFrame = 1.0 / 60.0;

    // granularity: seconds by which the music's position moves at once (the device's buffer).
    explicit MusicSync(double granularity);

    // The step (seconds) the demo clock takes this frame: step is the measured one, demoTime
    // the clock before it, heard the music's position as the viewer hears it now.
    double Step(double demoTime, double step, double heard);
    // The gap (demo clock less music, seconds) at the first parting; 0 before one.
    double GetFirstGap() const { return m_firstGap; }

private:
    double m_granularity;
    bool m_correcting = false;
    double m_firstGap = 0.0;
};
