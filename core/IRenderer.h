// Produces one displayed frame: steps the timeline and draws every visible world in order.
#pragma once

class IWorld;

class IRenderer {
public:
    virtual ~IRenderer() = default;

    virtual void Initialize() = 0;
    virtual void RenderFrame(double seconds) = 0;
    // When on, the time-sample count adapts to the frame time.
    virtual void SetAdaptiveSamples(bool adaptive) = 0;
    virtual bool GetAdaptiveSamples() = 0;
    // Timeline steps per displayed frame, averaged in the accumulation buffer; 0 and 1 mean one.
    virtual void SetTimeSamples(int count) = 0;
    virtual int GetTimeSamples() = 0;
    // The world being drawn (left at the last one drawn); render targets clear with its values.
    virtual void SetCurrentWorld(IWorld* world) = 0;
    virtual IWorld* GetCurrentWorld() = 0;
    // For the frames a seek draws before its target, seconds ahead of it: a frame then draws
    // only the worlds whose history (IWorld::GetHistorySeconds) reaches further than that, and
    // is never shown, so a world may leave out what only the window reads. 0, the default,
    // draws every visible world.
    virtual void SetTimeToTarget(double seconds) = 0;
    virtual double GetTimeToTarget() = 0;

protected:
    IRenderer() = default;
    IRenderer(const IRenderer&) = delete;
    IRenderer& operator=(const IRenderer&) = delete;
};
