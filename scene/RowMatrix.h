// Products of matrices in row view (element 4r + c is row r, column c; vectors are columns), as
// bones and keyframe animations keep them. The same 16 floats read in OpenGL order are the
// transpose, so a row-view product is the OpenGL-order product taken the other way round.
#pragma once

#include "math/Matrix.h"

// a * b in row view: b is applied to a column vector first.
inline Matrix RowProduct(const Matrix& a, const Matrix& b) { return b * a; }

// The point (x, y, z, 1) transformed by m in row view.
inline Vector RowTransform(const Matrix& m, const Vector& v)
{
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z + m[3] * v.w, m[4] * v.x + m[5] * v.y + m[6] * v.z + m[7] * v.w,
            m[8] * v.x + m[9] * v.y + m[10] * v.z + m[11] * v.w,
            m[12] * v.x + m[13] * v.y + m[14] * v.z + m[15] * v.w};
}
