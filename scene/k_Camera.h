// The camera: a consistent eye/target/up frame, the projection and view it loads, and its frustum.
#pragma once

#include "math/Matrix.h"
#include "math/Vector.h"
#include "core/ICamera.h"
#include "scene/k_Frustum.h"

class IEngine;

class k_Camera : public ICamera {
public:
    // Reads the graphics device's aspect ratio for the frustum (near 0.1, far 1000).
    explicit k_Camera(IEngine* engine);

    int GetTag() override { return m_tag; }
    void SetTag(int tag) override;
    void SetEye(const Vector& eye) override;
    void SetTarget(const Vector& target) override;
    void SetDirection(const Vector& direction) override;
    void SetUp(const Vector& up) override;
    void SetUpPoint(const Vector& upPoint) override;
    Vector GetEye() override { return m_eye; }
    Vector GetTarget() override { return m_target; }
    Vector GetDirection() override { return m_direction; }
    Vector GetUp() override { return m_up; }
    Vector GetUpPoint() override { return m_upPoint; }
    Vector GetRight() override { return m_right; }
    float* GetViewMatrix() override { return m_viewMatrix.m; }
    void LoadMatrix(const float* matrix) override;
    void SetFieldOfView(float degrees) override { m_fieldOfView = degrees; }
    float GetFieldOfView() override { return m_fieldOfView; }
    void Apply() override;
    IFrustum* GetFrustum() override;

private:
    // Direction from eye to target, then right and up from it.
    void UpdateFrame();
    void UpdateRightAndUp();
    void SetUpVector(const Vector& up);

    Vector m_eye{0, 0, -5, 0};
    Vector m_target{0, 0, 0, 0};
    Vector m_direction{0, 0, -1, 0};
    Vector m_right{1, 0, 0, 0};
    Vector m_up{0, 1, 0, 0};
    Vector m_upPoint{0, 1, -5, 0};
    Matrix m_viewMatrix;
    IEngine* m_engine;
    int m_tag = 0;
    float m_fieldOfView = 45;
    k_Frustum m_frustum;
    bool m_frustumDirty = true;
};
