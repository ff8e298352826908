// A skipped step costs the scheduler, the events and the worlds' updates without their passes: a
// seek to the end of the demo costs its drawn seconds and a fraction of a second more.
#include "makers/Seek.h"

#include "core/IEngine.h"
#include "core/ITimeline.h"
#include "demo/k_Demo.h"
#include "platform/Clock.h"

bool SeekDemo(IEngine* engine, k_Demo* demo, double target, double step, const SeekAnswer& answer)
{
    ITimeline* timeline = engine->GetTimeline();
    const int64_t every = static_cast<int64_t>(kSeekAnswerSeconds * Platform::ReadPerformanceFrequency());
    int64_t next = Platform::ReadPerformanceCounter() + every;
    for (unsigned steps = 1; timeline->GetTime() + step < target; ++steps) {
        const bool drawn = timeline->GetTime() + step >= target - kSeekDrawnSeconds;
        if (drawn) {
            demo->BeginFrame();
            engine->Advance(step);
        } else {
            timeline->Skip(step);
        }
        // Between drawn steps the counter is read every 256 steps: a step of the clock alone costs less.
        if ((drawn || steps % 256 == 0) && Platform::ReadPerformanceCounter() >= next) {
            if (!answer(timeline->GetTime())) return false;
            next = Platform::ReadPerformanceCounter() + every;
        }
    }
    return true;
}
