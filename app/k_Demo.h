// The production: builds the worlds and the timeline, clears every frame and carries out
// the demo-wide cues (scene switches and full-screen fades).
#pragma once

#include "app/IAnimateable.h"
#include "app/IEvent.h"

class IEngine;

class k_Demo : public IEvent, public IAnimateable {
public:
    explicit k_Demo(IEngine* engine) : m_engine(engine) {}

    void Trigger(int type) override;
    // The demo script: builds every world and lays every cue on the clock.
    virtual void Setup();
    // Clears the window to black and depth to 0, front faces clockwise.
    virtual void BeginFrame();
    void Animate(double progress, int id) override;

private:
    IEngine* m_engine;
};
