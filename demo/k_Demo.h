// The production: builds the worlds and the timeline, clears every frame and carries out
// the demo-wide cues (scene switches and full-screen fades).
#pragma once

#include <memory>
#include <vector>

#include "core/IAnimateable.h"
#include "core/IEvent.h"
#include "demo/DemoScript.h"

class IEngine;
class k_AfterWorld;
class k_DriftWorld;
class k_HdrToLdrWorld;
class k_PlasmaWorld;
class k_TerrainWorld;
class k_TextEvent;

class k_Demo : public IEvent, public IAnimateable {
public:
    explicit k_Demo(IEngine* engine);
    // Destroys the picture events, last first, then the worlds. The demo is destroyed first at
    // shutdown and nothing draws after it, so the engine's list is never walked again.
    ~k_Demo() override;

    // type is a ScriptCue: ShowLandscape shows the terrain and its tone mapping, ShowPlasma
    // switches the plasma pattern on and hides the landscape; other codes do nothing.
    void Trigger(int type) override;
    // The demo script: builds every world and lays every cue on the clock.
    virtual void Setup();
    // Clears the window to black and depth to 0, front faces clockwise.
    virtual void BeginFrame();
    // id is a ScriptFade; other codes do nothing.
    void Animate(double progress, int id) override;

protected:
    // After each of the script's loading steps: the bar grows to step / kLoadingSteps and is shown.
    virtual void LoadingStep(int step);
    static constexpr int kLoadingSteps = ::kLoadingSteps;

private:
    IEngine* m_engine;
    std::vector<std::unique_ptr<k_TextEvent>> m_imageEvents;
    std::unique_ptr<k_PlasmaWorld> m_plasmaWorld;
    std::unique_ptr<k_AfterWorld> m_afterWorld;
    std::unique_ptr<k_TerrainWorld> m_terrainWorld;
    std::unique_ptr<k_HdrToLdrWorld> m_hdrWorld;
    std::unique_ptr<k_DriftWorld> m_driftWorld;
};
