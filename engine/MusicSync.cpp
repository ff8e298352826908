// The demo clock eased back to the music when the two part.
#include "engine/MusicSync.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/Log.h"

MusicSync::MusicSync(double granularity) : m_granularity(granularity) {}

double MusicSync::Step(double demoTime, double step, double heard)
{
    const double gap = demoTime + step - heard;  // above 0: the picture runs ahead of the music
    if (!m_correcting) {
        if (std::abs(gap) <= std::max(step, kFrame) + m_granularity) return step;
        m_correcting = true;
        if (m_firstGap == 0.0) {
            m_firstGap = gap;
            char line[160];
            std::snprintf(line, sizeof line, "Demo clock %+.3f s from the music at %.3f s: easing it back to the music",
                          gap, heard);
            Log::Info() << line;
        }
    }
    // Once parted, ease all the way back rather than hover at the edge of the tolerance.
    const double most = kCatchUp * step;
    if (std::abs(gap) <= most) m_correcting = false;
    return step - std::clamp(gap, -most, most);
}
