// Vector normalisation with the fast reciprocal square root.
#include "math/Vector.h"

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace {

float ReciprocalSqrt(float value)
{
#if defined(__SSE__)
    return _mm_cvtss_f32(_mm_rsqrt_ss(_mm_set_ss(value)));
#else
    return 1.0f / std::sqrt(value);
#endif
}

}  // namespace

Vector Vector::Normalized() const
{
    const float squared = LengthSquared();
    if (squared <= 0.0f) return *this;
    return *this * ReciprocalSqrt(squared);
}
