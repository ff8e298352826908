// The demo clock: every step runs the scheduler before the worlds' updates.
#include "engine/k_Timeline.h"

#include "core/IEngine.h"
#include "core/IAnimationManager.h"

void k_Timeline::Advance(double step)
{
    m_realTime += step;
    m_frameDelta = step;
    m_time += m_speed * step;
    m_engine->GetAnimationManager()->Update();
    m_engine->UpdateWorlds();
}
