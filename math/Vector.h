// Four-lane float vector: points carry w = 1, directions w = 0.
#pragma once

#include <cmath>

struct alignas(16) Vector {
    float x = 0, y = 0, z = 0, w = 0;

    Vector() = default;
    constexpr Vector(float x_, float y_, float z_, float w_ = 0) : x(x_), y(y_), z(z_), w(w_) {}

    static constexpr Vector Point(float x, float y, float z) { return {x, y, z, 1}; }
    static constexpr Vector Direction(float x, float y, float z) { return {x, y, z, 0}; }
    static constexpr Vector UnitScale() { return {1, 1, 1, 1}; }

    Vector operator+(const Vector& o) const { return {x + o.x, y + o.y, z + o.z, w + o.w}; }
    Vector operator-(const Vector& o) const { return {x - o.x, y - o.y, z - o.z, w - o.w}; }
    Vector operator-() const { return {-x, -y, -z, -w}; }
    Vector operator*(float s) const { return {x * s, y * s, z * s, w * s}; }
    Vector& operator+=(const Vector& o) { return *this = *this + o; }
    Vector& operator-=(const Vector& o) { return *this = *this - o; }
    Vector& operator*=(float s) { return *this = *this * s; }
    bool operator==(const Vector& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const Vector& o) const { return !(*this == o); }

    // All four lanes take part, as in the rest of the engine.
    float Dot(const Vector& o) const { return x * o.x + y * o.y + z * o.z + w * o.w; }
    float LengthSquared() const { return Dot(*this); }
    float Length() const { return std::sqrt(LengthSquared()); }
    // Multiplies by an approximate reciprocal square root; a zero vector stays zero.
    Vector Normalized() const;
    // The 3-D cross product; the result is a direction.
    Vector Cross(const Vector& o) const
    {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x, 0};
    }

    const float* Data() const { return &x; }
    float* Data() { return &x; }
};

// Red, green, blue, alpha.
using Colour = Vector;
