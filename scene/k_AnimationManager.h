// Ordered maps of intervals and instants, walked until the remaining entries lie ahead of the clock.
#pragma once

#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "core/IAnimationManager.h"

class IEngine;

class k_AnimationManager : public IAnimationManager {
public:
    explicit k_AnimationManager(IEngine* engine);

    void AddAnimation(double start, double end, IAnimateable* object, int id) override;
    void AddRealTimeAnimation(double start, double end, IAnimateable* object, int id) override;
    void AddEvent(double time, IEvent* event, int type) override;
    void AddRealTimeEvent(double time, IEvent* event, int type) override;
    void Update() override;
    void Rewind() override;

private:
    struct Interval {
        double start;
        double end;
        std::vector<std::pair<IAnimateable*, int>> objects;
    };
    using Instants = std::map<double, std::vector<std::pair<IEvent*, int>>>;
    struct Call {
        IAnimateable* object;
        int id;
        double progress;
    };

    IEngine* m_engine;
    std::map<double, Interval> m_forward;                            // keyed by start
    std::map<double, Interval, std::greater<double>> m_backward;     // keyed by end, descending
    std::map<double, Interval> m_realTime;                           // keyed by start
    Instants m_instants;
    Instants m_realTimeInstants;
    double m_previousTime = 0;
    double m_previousRealTime = 0;
    // Whether an instant at exactly the previous time may still fire: only the start of the
    // clock, until an update has covered it (the scaled clock covers nothing at speed 0).
    bool m_startPending = true;
    bool m_realStartPending = true;
    std::vector<Call> m_calls;  // kept between updates so a step allocates nothing
};
