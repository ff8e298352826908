// A view frustum: six inward-facing planes built from a perspective and a viewpoint,
// used to classify points and spheres.
#pragma once

#include "math/Vector.h"

class IFrustum {
public:
    // Results of the tests.
    enum Classification { Outside = 0, Intersecting = 1, Inside = 2 };

    virtual ~IFrustum() = default;

    // angle: vertical field of view in degrees; ratio: width / height; distances along the view.
    virtual void SetPerspective(float angle, float ratio, float nearDistance, float farDistance) = 0;
    // Rebuilds corners and planes; uses the sizes of the last SetPerspective.
    virtual void SetView(const Vector& eye, const Vector& target, const Vector& up) = 0;
    // Outside or Inside; the point's w does not matter.
    virtual int TestPoint(const Vector& point) = 0;
    virtual int TestSphere(const Vector& centre, float radius) = 0;

protected:
    IFrustum() = default;
    IFrustum(const IFrustum&) = delete;
    IFrustum& operator=(const IFrustum&) = delete;
};
