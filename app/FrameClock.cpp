// The frame loop's clock.
#include "app/FrameClock.h"

FrameClock::FrameClock(Counter counter, int64_t frequency, double fixedStep)
    : m_counter(counter), m_frequency(frequency), m_fixedStep(fixedStep), m_previous(counter())
{
}

FrameClock::Tick FrameClock::Next()
{
    const int64_t now = m_counter();
    // Long double keeps a counter of nanoseconds exact past a few months of uptime.
    const double wall = static_cast<double>(static_cast<long double>(now - m_previous) / m_frequency);
    m_previous = now;
    return {wall, m_fixedStep > 0 ? m_fixedStep : wall};
}

void FrameClock::Restart() { m_previous = m_counter(); }
