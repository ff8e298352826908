// Something driven every step while the demo clock lies inside a registered interval.
#pragma once

class IAnimateable {
public:
    virtual ~IAnimateable() = default;
    // progress runs 0..1 across the interval; id is the registered code.
    virtual void Animate(double progress, int id) = 0;

protected:
    IAnimateable() = default;
    IAnimateable(const IAnimateable&) = delete;
    IAnimateable& operator=(const IAnimateable&) = delete;
};
