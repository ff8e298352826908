// The demo clock: real (unscaled) time and scaled demo time, in seconds.
#pragma once

class ITimeline {
public:
    virtual ~ITimeline() = default;

    // The last step, unscaled.
    virtual double GetFrameDelta() = 0;
    virtual double GetRealTime() = 0;
    // Scaled demo time: the time base of every scaled registration.
    virtual double GetTime() = 0;
    // May be negative (time runs backwards) or zero (time stands).
    virtual void SetSpeed(double speed) = 0;
    virtual double GetSpeed() = 0;
    // Adds the step, then runs the animation manager's update and the worlds' updates.
    virtual void Advance(double step) = 0;

protected:
    ITimeline() = default;
    ITimeline(const ITimeline&) = delete;
    ITimeline& operator=(const ITimeline&) = delete;
};
