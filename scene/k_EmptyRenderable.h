// A group node: draws nothing itself; its transform applies to its children.
#pragma once

#include "scene/k_Renderable.h"

class k_EmptyRenderable : public k_Renderable {
public:
    explicit k_EmptyRenderable(IEngine* engine) : k_Renderable(engine) {}

    void DrawStage(Stage) override {}
};
