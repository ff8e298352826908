// Camera-facing placement: the inverse of the camera's rotation, set in front of the eye.
#include "scene/k_CameraAttachedRenderable.h"

#include "math/Matrix.h"
#include "core/ICamera.h"
#include "core/IWorld.h"

void k_CameraAttachedRenderable::DrawStage(Stage stage)
{
    if (stage != BeforeTransform || !m_world) return;
    ICamera* camera = m_world->GetCamera();
    if (!camera) return;

    const Vector eye = camera->GetEye();
    const Vector direction = camera->GetDirection().Normalized();

    Matrix view(camera->GetViewMatrix());
    view[3] = view[7] = view[11] = 0;
    Matrix translation;
    for (int i : {3, 7, 11, 12, 13, 14, 15}) translation[i] = view[i];
    const Matrix rotation = view.Inverse() * translation;
    SetLocalMatrix(rotation.Data());
    SetPosition(eye + direction * m_placement.z);

    // The first child is read in place: a copy of the list every frame would allocate.
    if (!m_children.empty() && m_children.front())
        m_children.front()->SetLocalMatrix(Matrix::Translation(m_placement.x, m_placement.y, 0).Data());
}
