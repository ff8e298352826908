// The view frustum: plane construction from its corners and the point and sphere tests.
#include "scene/k_Frustum.h"

#include <cmath>

void k_Frustum::SetPerspective(float angle, float ratio, float nearDistance, float farDistance)
{
    m_angle = angle;
    m_ratio = ratio;
    m_nearDistance = nearDistance;
    m_farDistance = farDistance;
    m_tangent = std::tan(angle * 3.14159265f / 180.0f * 0.5f);
    m_nearHalfHeight = nearDistance * m_tangent;
    m_nearHalfWidth = m_nearHalfHeight * ratio;
    m_farHalfHeight = farDistance * m_tangent;
    m_farHalfWidth = m_farHalfHeight * ratio;
}

void k_Frustum::SetView(const Vector& eye, const Vector& target, const Vector& up)
{
    const Vector z = (eye - target).Normalized();
    const Vector x = up.Cross(z).Normalized();
    const Vector y = z.Cross(x);

    const Vector nearCentre = eye - z * m_nearDistance;
    const Vector farCentre = eye - z * m_farDistance;
    const Vector nearUp = y * m_nearHalfHeight, nearRight = x * m_nearHalfWidth;
    const Vector farUp = y * m_farHalfHeight, farRight = x * m_farHalfWidth;

    m_corners[NearTopLeft] = nearCentre + nearUp - nearRight;
    m_corners[NearTopRight] = nearCentre + nearUp + nearRight;
    m_corners[NearBottomLeft] = nearCentre - nearUp - nearRight;
    m_corners[NearBottomRight] = nearCentre - nearUp + nearRight;
    m_corners[FarTopLeft] = farCentre + farUp - farRight;
    m_corners[FarTopRight] = farCentre + farUp + farRight;
    m_corners[FarBottomLeft] = farCentre - farUp - farRight;
    m_corners[FarBottomRight] = farCentre - farUp + farRight;

    BuildPlane(Top, NearTopLeft, NearTopRight, FarTopLeft);
    BuildPlane(Bottom, NearBottomRight, NearBottomLeft, FarBottomRight);
    BuildPlane(Left, NearBottomLeft, NearTopLeft, FarBottomLeft);
    BuildPlane(Right, NearTopRight, NearBottomRight, FarBottomRight);
    BuildPlane(Near, NearTopRight, NearTopLeft, NearBottomRight);
    BuildPlane(Far, FarTopLeft, FarTopRight, FarBottomLeft);
}

void k_Frustum::BuildPlane(int index, int p0, int p1, int p2)
{
    Plane& plane = m_planes[index];
    const Vector& origin = m_corners[p0];
    plane.normal = (m_corners[p2] - origin).Cross(m_corners[p1] - origin).Normalized();
    plane.point = origin;
    plane.d = -plane.normal.Dot(origin);
}

int k_Frustum::TestPoint(const Vector& point)
{
    for (const Plane& plane : m_planes)
        if (plane.d + plane.normal.Dot(point) < 0) return Outside;
    return Inside;
}

int k_Frustum::TestSphere(const Vector& centre, float radius)
{
    int result = Inside;
    for (const Plane& plane : m_planes) {
        const float distance = plane.d + plane.normal.Dot(centre);
        if (distance < -radius) return Outside;
        if (distance < radius) result = Intersecting;
    }
    return result;
}
