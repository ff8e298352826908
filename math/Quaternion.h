// Rotation quaternion (x, y, z, w); angles are degrees.
#pragma once

#include "math/Matrix.h"
#include "math/Vector.h"

struct alignas(16) Quaternion {
    float x = 0, y = 0, z = 0, w = 1;

    Quaternion() = default;
    constexpr Quaternion(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    // The axis is normalised; the angle is in degrees.
    static Quaternion FromAxisAngle(const Vector& axis, float degrees);

    Quaternion operator*(const Quaternion& o) const;
    // The sixteen values go to OpenGL as they are: axis (0, 0, 1) at 90 degrees
    // turns (1, 0, 0) into (0, -1, 0).
    Matrix ToMatrix() const;
};
