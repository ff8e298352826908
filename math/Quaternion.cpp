// Quaternion construction, product and matrix.
#include "math/Quaternion.h"

#include <cmath>

Quaternion Quaternion::FromAxisAngle(const Vector& axis, float degrees)
{
    const Vector a = Vector(axis.x, axis.y, axis.z, 0).Normalized();
    const float half = degrees * 3.1415927f / 180.0f * 0.5f;
    const float s = std::sin(half);
    return {a.x * s, a.y * s, a.z * s, std::cos(half)};
}

Quaternion Quaternion::operator*(const Quaternion& o) const
{
    return {w * o.x + x * o.w + y * o.z - z * o.y,
            w * o.y - x * o.z + y * o.w + z * o.x,
            w * o.z + x * o.y - y * o.x + z * o.w,
            w * o.w - x * o.x - y * o.y - z * o.z};
}

Matrix Quaternion::ToMatrix() const
{
    const float values[16] = {
        1 - 2 * (y * y + z * z), 2 * (x * y - w * z),     2 * (x * z + w * y),     0,
        2 * (x * y + w * z),     1 - 2 * (x * x + z * z), 2 * (y * z - w * x),     0,
        2 * (x * z - w * y),     2 * (y * z + w * x),     1 - 2 * (x * x + y * y), 0,
        0,                       0,                       0,                       1};
    return Matrix(values);
}
