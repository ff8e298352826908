// A skipped step costs the scheduler, the events and the worlds' updates without their passes: a
// seek costs the steps its worlds' histories need drawn, and a fraction of a second more.
#include "makers/Seek.h"

#include <algorithm>
#include <vector>

#include "core/IEngine.h"
#include "core/IRenderer.h"
#include "core/ITimeline.h"
#include "core/IWorld.h"
#include "demo/k_Demo.h"
#include "platform/Clock.h"

namespace {

// What the worlds whose history reaches `ahead` of the target need of a seek's step there.
struct History {
    bool drawn = false;  // some world's history reaches that far
    double step = 0;     // the longest step between drawn frames it allows; 0: every step
};

History HistoryAt(IEngine* engine, std::vector<IWorld*>& worlds, double ahead)
{
    engine->CopyWorlds(worlds);
    History history;
    for (IWorld* world : worlds) {
        if (!world->IsActive() || world->GetHistorySeconds() <= ahead) continue;
        const double step = world->GetHistoryStep();
        history.step = history.drawn ? std::min(history.step, step) : step;
        history.drawn = true;
    }
    return history;
}

}  // namespace

bool SeekDemo(IEngine* engine, k_Demo* demo, double target, double step, const SeekAnswer& answer)
{
    ITimeline* timeline = engine->GetTimeline();
    IRenderer* renderer = engine->GetRenderer();
    std::vector<IWorld*> worlds;
    bool reached = true;
    double drawnAt = -1;  // the clock at the latest drawn step
    const int64_t every = static_cast<int64_t>(kSeekAnswerSeconds * Platform::ReadPerformanceFrequency());
    int64_t next = Platform::ReadPerformanceCounter() + every;
    for (unsigned steps = 1; timeline->GetTime() + step < target; ++steps) {
        const double at = timeline->GetTime() + step;
        const History history = HistoryAt(engine, worlds, target - at);
        // Half a step of slack: the clock's sums of the step are not exact.
        const bool drawn = history.drawn && (drawnAt < 0 || at - drawnAt >= history.step - step / 2);
        if (drawn) {
            drawnAt = at;
            renderer->SetTimeToTarget(target - at);  // only the worlds whose history reaches the target
            demo->BeginFrame();
            engine->Advance(step);
        } else {
            timeline->Skip(step);
        }
        // Between drawn steps the counter is read every 256 steps: a step of the clock alone costs less.
        if ((drawn || steps % 256 == 0) && Platform::ReadPerformanceCounter() >= next) {
            reached = answer(timeline->GetTime());
            if (!reached) break;
            next = Platform::ReadPerformanceCounter() + every;
        }
    }
    renderer->SetTimeToTarget(0);
    return reached;
}
