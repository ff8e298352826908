// The demo clock: every step runs the scheduler before the worlds' updates.
#include "app/k_Timeline.h"

#include "app/IEngine.h"
#include "scene/IAnimationManager.h"

void k_Timeline::Advance(double step)
{
    m_realTime += step;
    m_frameDelta = step;
    m_time += m_speed * step;
    m_engine->GetAnimationManager()->Update();
    m_engine->UpdateWorlds();
}
