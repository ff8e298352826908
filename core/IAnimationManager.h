// The scheduler behind the timeline: intervals drive IAnimateable objects, instants fire IEvents.
// Registered objects are not owned; nothing is ever unregistered. Registering from inside a
// Trigger or Animate is allowed.
#pragma once

class IAnimateable;
class IEvent;

class IAnimationManager {
public:
    virtual ~IAnimationManager() = default;

    // Scaled demo time; end must lie after start. A registration whose start (or, walking
    // backwards, end) equals an earlier one's joins that one and runs over its interval.
    virtual void AddAnimation(double start, double end, IAnimateable* object, int id) = 0;
    // Unscaled time; progress runs from 1 at the start to 0 at the end.
    virtual void AddRealTimeAnimation(double start, double end, IAnimateable* object, int id) = 0;
    virtual void AddEvent(double time, IEvent* event, int type) = 0;
    virtual void AddRealTimeEvent(double time, IEvent* event, int type) = 0;
    // All Animate calls of a step come before any Trigger.
    virtual void Update() = 0;
    // For a clock set back to 0: every registration runs and fires again as the clock passes it,
    // as in a fresh run. Registrations stay; any made during the run stay too.
    virtual void Rewind() = 0;

protected:
    IAnimationManager() = default;
    IAnimationManager(const IAnimationManager&) = delete;
    IAnimationManager& operator=(const IAnimationManager&) = delete;
};
