// A world's camera: an eye/target/up frame kept consistent by every setter, the projection and
// view it loads into OpenGL, and the view frustum that follows it.
#pragma once

#include "math/Vector.h"

class IFrustum;

class ICamera {
public:
    virtual ~ICamera() = default;

    // A value kept for the camera's users; the camera never reads it.
    virtual int GetTag() = 0;
    virtual void SetTag(int tag) = 0;

    // Each setter recomputes the dependent vectors (direction, right, up, up point) and
    // leaves the frustum to be rebuilt on the next GetFrustum.
    virtual void SetEye(const Vector& eye) = 0;
    virtual void SetTarget(const Vector& target) = 0;
    // Also moves the target to eye + direction (before normalising).
    virtual void SetDirection(const Vector& direction) = 0;
    // Also moves the up point to eye + up; the up vector is not re-orthogonalised.
    virtual void SetUp(const Vector& up) = 0;
    virtual void SetUpPoint(const Vector& upPoint) = 0;
    virtual Vector GetEye() = 0;
    virtual Vector GetTarget() = 0;
    // Unit vector from the eye to the target.
    virtual Vector GetDirection() = 0;
    virtual Vector GetUp() = 0;
    virtual Vector GetUpPoint() = 0;
    virtual Vector GetRight() = 0;

    // The live 16 floats (OpenGL order) of the modelview read back by the last Apply;
    // the identity before the first.
    virtual float* GetViewMatrix() = 0;
    // glLoadMatrixf on the current matrix mode.
    virtual void LoadMatrix(const float* matrix) = 0;

    // Vertical, degrees; used by Apply only (the frustum keeps the angle it was built with).
    virtual void SetFieldOfView(float degrees) = 0;
    virtual float GetFieldOfView() = 0;

    // Loads the projection (far plane 256) and the look-at modelview, and keeps the latter.
    virtual void Apply() = 0;
    // The embedded frustum, rebuilt first if the frame changed. Owned by the camera.
    virtual IFrustum* GetFrustum() = 0;

protected:
    ICamera() = default;
    ICamera(const ICamera&) = delete;
    ICamera& operator=(const ICamera&) = delete;
};
