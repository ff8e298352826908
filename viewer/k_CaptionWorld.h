// The caption showcase: an extruded title swaying under a warm key light, and a subtitle
// caption event that unfolds beneath it. Shown alone by the viewer's "text" scene.
#pragma once

#include <memory>

#include "engine/k_World.h"

class IRenderable;
class k_TextEvent;

class k_CaptionWorld : public k_World {
public:
    explicit k_CaptionWorld(IEngine* engine);
    ~k_CaptionWorld() override;

    // Builds the camera, the light, the title and the subtitle event.
    void Initialize() override;
    // Sways the title with the demo clock.
    void Update() override;

private:
    IRenderable* m_title = nullptr;  // owned by the resource factory
    float m_titleWidth = 0;          // em units
    std::unique_ptr<k_TextEvent> m_subtitle;
};
