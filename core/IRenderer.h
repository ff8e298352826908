// Produces one displayed frame: steps the timeline and draws every visible world in order.
#pragma once

#include <vector>

class IWorld;

class IRenderer {
public:
    virtual ~IRenderer() = default;

    virtual void Initialize() = 0;
    virtual void RenderFrame(double seconds) = 0;
    // Draws the worlds at the clock's time without stepping it, for a caller that stepped it.
    virtual void DrawFrame() = 0;
    // When on, the time-sample count adapts to the frame time.
    virtual void SetAdaptiveSamples(bool adaptive) = 0;
    virtual bool GetAdaptiveSamples() = 0;
    // Timeline steps per displayed frame, averaged in the accumulation buffer; 0 and 1 mean one.
    virtual void SetTimeSamples(int count) = 0;
    virtual int GetTimeSamples() = 0;
    // The world being drawn (left at the last one drawn); render targets clear with its values.
    virtual void SetCurrentWorld(IWorld* world) = 0;
    virtual IWorld* GetCurrentWorld() = 0;
    // For the frames a seek draws before its target, which are never shown: a frame draws only
    // the listed worlds (those visible; the list is not owned). Null, the default, draws every
    // visible world.
    virtual void SetDrawnOnly(const std::vector<IWorld*>* worlds) = 0;
    // Whether the frame is one of those: a world may leave out what only the window reads.
    virtual bool IsUnseen() = 0;

protected:
    IRenderer() = default;
    IRenderer(const IRenderer&) = delete;
    IRenderer& operator=(const IRenderer&) = delete;
};
