// The view frustum: corners and inward planes from a perspective and a look-at frame.
#pragma once

#include "math/Vector.h"
#include "core/IFrustum.h"

class k_Frustum : public IFrustum {
public:
    k_Frustum() = default;

    void SetPerspective(float angle, float ratio, float nearDistance, float farDistance) override;
    void SetView(const Vector& eye, const Vector& target, const Vector& up) override;
    int TestPoint(const Vector& point) override;
    int TestSphere(const Vector& centre, float radius) override;

    enum PlaneIndex { Top, Bottom, Left, Right, Near, Far, PlaneCount };
    enum CornerIndex {
        NearTopLeft, NearTopRight, NearBottomLeft, NearBottomRight,
        FarTopLeft, FarTopRight, FarBottomLeft, FarBottomRight, CornerCount
    };

    struct Plane {
        Vector normal;  // unit, pointing into the frustum
        Vector point;
        float d = 0;    // -(normal . point)
    };
    const Plane& GetPlane(int index) const { return m_planes[index]; }
    const Vector& GetCorner(int index) const { return m_corners[index]; }

private:
    void BuildPlane(int index, int p0, int p1, int p2);

    Plane m_planes[PlaneCount];
    Vector m_corners[CornerCount];
    float m_nearDistance = 0;
    float m_farDistance = 0;
    float m_ratio = 0;
    float m_angle = 0;
    float m_tangent = 0;
    float m_nearHalfWidth = 0;
    float m_nearHalfHeight = 0;
    float m_farHalfWidth = 0;
    float m_farHalfHeight = 0;
};
