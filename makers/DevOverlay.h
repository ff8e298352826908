// The developer overlay (--dev): a scrub bar over the whole demo with the script's scene markers,
// pause, frame step, speed, an A-B loop, the frame-time graph, each world's visible switch and,
// with a data folder, the errors of materials whose live reload failed.
#pragma once

#include <vector>

#include "platform/OverlayHost.h"

class IEngine;
class IWorld;
class MaterialReloader;

class DevOverlay {
public:
    // On the window whose context is current.
    explicit DevOverlay(Platform::NativeWindow* window);

    // The step the demo takes this frame: measured (or fixed) scaled by the speed; 0 while
    // paused, except one frameStep when a single step was asked for.
    double Step(double measured, double frameStep);
    // Draws the overlay over the frame. wallMs: the frame's cost, for the graph. The loop's
    // bounds are changed in place (a start below 0: no loop). Returns the demo time the user
    // scrubbed to, or -1. reloader: null without a data folder.
    double Draw(IEngine* engine, double time, double wallMs, double& loopStart, double& loopEnd,
                const MaterialReloader* reloader);

private:
    static constexpr int kGraphFrames = 240;

    void DrawReloadFailures(const MaterialReloader& reloader);

    Platform::OverlayHost m_host;
    bool m_paused = false;
    bool m_stepOnce = false;
    float m_speed = 1.0f;
    float m_scrub = 0.0f;
    float m_graph[kGraphFrames] = {};
    int m_graphNext = 0;
    std::vector<IWorld*> m_worlds;  // reused every frame
};
