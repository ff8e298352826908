// The demo clock.
#pragma once

#include "core/ITimeline.h"

class IEngine;

class k_Timeline : public ITimeline {
public:
    explicit k_Timeline(IEngine* engine) : m_engine(engine) {}

    double GetFrameDelta() override { return m_frameDelta; }
    double GetRealTime() override { return m_realTime; }
    double GetTime() override { return m_time; }
    void SetSpeed(double speed) override { m_speed = speed; }
    double GetSpeed() override { return m_speed; }
    void Advance(double step) override;

private:
    IEngine* m_engine;
    double m_realTime = 0;
    double m_time = 0;
    double m_speed = 1.0;
    double m_frameDelta = 0;
};
