// The camera: frame upkeep, the GL projection and view, and the lazily rebuilt frustum.
#include "scene/k_Camera.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include "core/IEngine.h"
#include "core/IGraphics.h"

namespace {

constexpr float kNear = 0.1f;
constexpr float kProjectionFar = 256.0f;
// The frustum reaches further than the projection so that culling never drops what is drawn.
constexpr float kFrustumFar = 1000.0f;

// An eye on the target, or an up vector along the view, gives no frame: the camera keeps the
// orientation it had rather than collapsing its vectors to zero for good.
bool IsDegenerate(const Vector& v) { return v.LengthSquared() < 1e-12f; }

}  // namespace

k_Camera::k_Camera(IEngine* engine) : m_engine(engine)
{
    m_frustum.SetPerspective(m_fieldOfView, engine->GetGraphics()->GetAspectRatio(), kNear, kFrustumFar);
}

void k_Camera::SetTag(int tag)
{
    m_tag = tag;
    m_frustumDirty = true;
}

void k_Camera::UpdateFrame()
{
    const Vector toTarget = m_target - m_eye;
    if (!IsDegenerate(toTarget)) m_direction = toTarget.Normalized();
    UpdateRightAndUp();
    m_upPoint = m_eye + m_up;
    m_frustumDirty = true;
}

void k_Camera::UpdateRightAndUp()
{
    const Vector right = m_direction.Cross(m_up);
    if (IsDegenerate(right)) return;
    m_right = right.Normalized();
    m_up = m_right.Cross(m_direction).Normalized();
}

void k_Camera::SetUpVector(const Vector& up)
{
    // Only an up vector that spans a plane with the view replaces the old one.
    if (!IsDegenerate(m_direction.Cross(up))) {
        m_up = up.Normalized();
        m_right = m_direction.Cross(m_up).Normalized();
    }
    m_frustumDirty = true;
}

void k_Camera::SetEye(const Vector& eye)
{
    m_eye = eye;
    UpdateFrame();
}

void k_Camera::SetTarget(const Vector& target)
{
    m_target = target;
    UpdateFrame();
}

void k_Camera::SetDirection(const Vector& direction)
{
    m_target = m_eye + direction;
    if (!IsDegenerate(direction)) m_direction = direction.Normalized();
    UpdateRightAndUp();
    m_upPoint = m_eye + m_up;
    m_frustumDirty = true;
}

void k_Camera::SetUp(const Vector& up)
{
    m_upPoint = m_eye + up;
    SetUpVector(up);
}

void k_Camera::SetUpPoint(const Vector& upPoint)
{
    m_upPoint = upPoint;
    SetUpVector(upPoint - m_eye);
}

void k_Camera::LoadMatrix(const float* matrix) { glLoadMatrixf(matrix); }

void k_Camera::Apply()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(m_fieldOfView, m_engine->GetGraphics()->GetAspectRatio(), kNear, kProjectionFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(m_eye.x, m_eye.y, m_eye.z, m_target.x, m_target.y, m_target.z, m_up.x, m_up.y, m_up.z);
    glGetFloatv(GL_MODELVIEW_MATRIX, m_viewMatrix.m);
}

IFrustum* k_Camera::GetFrustum()
{
    if (m_frustumDirty) {
        m_frustumDirty = false;
        m_frustum.SetView(m_eye, m_target, m_up);
    }
    return &m_frustum;
}
