// A skipped step costs the scheduler, the events and the worlds' updates without their passes: a
// seek costs the steps its worlds' histories need drawn, and a fraction of a second more.
#include "makers/Seek.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/IEngine.h"
#include "core/IRenderer.h"
#include "core/ITimeline.h"
#include "core/IWorld.h"
#include "demo/k_Demo.h"
#include "platform/Clock.h"

namespace {

// The worlds a seek draws at a step: each whose history reaches the target from there, once its
// own history step has passed since it was last drawn. A world's last drawn time is kept beside it.
class DueWorlds {
public:
    explicit DueWorlds(IEngine* engine) : m_engine(engine) {}

    // The worlds due at demo time `at`, noted as drawn there; empty when none is.
    const std::vector<IWorld*>& At(double at, double target, double step)
    {
        m_engine->CopyWorlds(m_worlds);
        m_due.clear();
        for (IWorld* world : m_worlds) {
            if (!world->IsActive() || world->GetHistorySeconds() <= target - at) continue;
            auto drawn = std::find_if(m_drawnAt.begin(), m_drawnAt.end(), [&](const auto& w) { return w.first == world; });
            if (drawn == m_drawnAt.end()) drawn = m_drawnAt.insert(m_drawnAt.end(), {world, -1});
            // Half a step of slack: the clock's sums of the step are not exact.
            if (drawn->second >= 0 && at - drawn->second < world->GetHistoryStep() - step / 2) continue;
            drawn->second = at;
            m_due.push_back(world);
        }
        return m_due;
    }

private:
    IEngine* m_engine;
    std::vector<IWorld*> m_worlds;
    std::vector<IWorld*> m_due;
    std::vector<std::pair<IWorld*, double>> m_drawnAt;
};

}  // namespace

bool SeekDemo(IEngine* engine, k_Demo* demo, double target, double step, const SeekAnswer& answer)
{
    ITimeline* timeline = engine->GetTimeline();
    IRenderer* renderer = engine->GetRenderer();
    DueWorlds due(engine);
    bool reached = true;
    const int64_t every = static_cast<int64_t>(kSeekAnswerSeconds * Platform::ReadPerformanceFrequency());
    int64_t next = Platform::ReadPerformanceCounter() + every;
    for (unsigned steps = 1; timeline->GetTime() + step < target; ++steps) {
        // Due once the step is made: a cue of this step may show a world or hand it a picture.
        timeline->Advance(step);
        const std::vector<IWorld*>& drawnWorlds = due.At(timeline->GetTime(), target, step);
        const bool drawn = !drawnWorlds.empty();
        if (drawn) {
            renderer->SetDrawnOnly(&drawnWorlds);
            demo->BeginFrame();
            renderer->DrawFrame();
        }
        // Between drawn steps the counter is read every 256 steps: a step of the clock alone costs less.
        if ((drawn || steps % 256 == 0) && Platform::ReadPerformanceCounter() >= next) {
            reached = answer(timeline->GetTime());
            if (!reached) break;
            next = Platform::ReadPerformanceCounter() + every;
        }
    }
    renderer->SetDrawnOnly(nullptr);
    return reached;
}
