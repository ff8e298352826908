// 4x4 float matrix in OpenGL order (translation in elements 12, 13, 14).
// A * B applies B to a vertex first, then A.
#pragma once

#include "math/Vector.h"

struct alignas(16) Matrix {
    float m[16];

    // The identity.
    Matrix();
    explicit Matrix(const float values[16]);

    static Matrix Translation(float x, float y, float z);
    static Matrix Scale(float x, float y, float z);

    Matrix operator*(const Matrix& o) const;
    Matrix& operator*=(const Matrix& o) { return *this = *this * o; }
    Vector operator*(const Vector& v) const;
    bool operator==(const Matrix& o) const;

    float Determinant() const;
    // Cofactors over the determinant; a singular matrix comes back unchanged.
    Matrix Inverse() const;

    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
    const float* Data() const { return m; }
};
