// Something that fires at an instant of the demo clock.
#pragma once

class IEvent {
public:
    virtual ~IEvent() = default;
    // Called once when the clock passes the registered time; type is the registered code.
    virtual void Trigger(int type) = 0;

protected:
    IEvent() = default;
    IEvent(const IEvent&) = delete;
    IEvent& operator=(const IEvent&) = delete;
};
