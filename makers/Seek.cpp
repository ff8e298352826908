// Stepping without drawing costs a scheduler and world update per step: a seek to the end of the
// demo takes a fraction of a second, where drawing every frame would take minutes.
#include "makers/Seek.h"

#include "core/IEngine.h"
#include "core/ITimeline.h"
#include "demo/k_Demo.h"

void SeekDemo(IEngine* engine, k_Demo* demo, double target, double step)
{
    ITimeline* timeline = engine->GetTimeline();
    while (timeline->GetTime() + step < target) {
        if (timeline->GetTime() + step < target - kSeekDrawnSeconds) {
            timeline->Advance(step);
        } else {
            demo->BeginFrame();
            engine->Advance(step);
        }
    }
}
