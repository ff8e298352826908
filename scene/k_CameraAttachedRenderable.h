// A group node that keeps itself a fixed distance in front of its world's camera, facing it,
// and shifts its first child along the camera's right and up axes.
#pragma once

#include "math/Vector.h"
#include "scene/k_Renderable.h"

class k_CameraAttachedRenderable : public k_Renderable {
public:
    // placement: horizontal offset, vertical offset, distance in front of the eye; w is unused.
    k_CameraAttachedRenderable(IEngine* engine, const Vector& placement)
        : k_Renderable(engine), m_placement(placement)
    {
    }

    // BeforeTransform recomputes the placement from the camera's last Apply. Without a world, a camera
    // or a child there is nothing to place against, and the object keeps its last placement.
    void DrawStage(Stage stage) override;

private:
    Vector m_placement;
};
