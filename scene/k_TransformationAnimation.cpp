// Keyframe evaluation: linear between the surrounding keys, clamped outside them.
#include "scene/k_TransformationAnimation.h"

#include <algorithm>
#include <cmath>

#include "scene/RowMatrix.h"

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

Matrix RowsOf(float a, float b, float c, float d, float e, float f, float g, float h, float i)
{
    const float values[16] = {a, b, c, 0, d, e, f, 0, g, h, i, 0, 0, 0, 0, 1};
    return Matrix(values);
}

// Rx(a) * Ry(b) * Rz(c), angles in degrees.
Matrix EulerRotation(const float degrees[4])
{
    const double a = degrees[0] * kRadiansPerDegree, b = degrees[1] * kRadiansPerDegree,
                 c = degrees[2] * kRadiansPerDegree;
    const float ca = static_cast<float>(std::cos(a)), sa = static_cast<float>(std::sin(a));
    const float cb = static_cast<float>(std::cos(b)), sb = static_cast<float>(std::sin(b));
    const float cc = static_cast<float>(std::cos(c)), sc = static_cast<float>(std::sin(c));
    const Matrix rx = RowsOf(1, 0, 0, 0, ca, -sa, 0, sa, ca);
    const Matrix ry = RowsOf(cb, 0, sb, 0, 1, 0, -sb, 0, cb);
    const Matrix rz = RowsOf(cc, -sc, 0, sc, cc, 0, 0, 0, 1);
    return RowProduct(RowProduct(rx, ry), rz);
}

}  // namespace

void k_TransformationAnimation::AddKey(const AnimationKey& key)
{
    if (key.channel < 0 || key.channel > 2) return;
    m_keys[key.channel][key.time] = key;
}

float k_TransformationAnimation::GetDuration()
{
    float duration = 0;
    for (const auto& channel : m_keys)
        if (!channel.empty()) duration = std::max(duration, channel.rbegin()->first);
    return duration;
}

bool k_TransformationAnimation::Sample(int channel, float time, float value[4]) const
{
    const std::map<float, AnimationKey>& keys = m_keys[channel];
    if (keys.empty()) return false;
    auto upper = keys.lower_bound(time);  // first key with time >= t
    auto lower = upper == keys.begin() ? keys.begin() : std::prev(upper);
    if (upper == keys.end()) upper = std::prev(keys.end());
    const float span = upper->first - lower->first;
    const float f = span > 0 ? (time - lower->first) / span : 0;
    for (int i = 0; i < 4; ++i) value[i] = lower->second.value[i] * (1 - f) + upper->second.value[i] * f;
    return true;
}

Matrix& k_TransformationAnimation::Evaluate(Matrix& output, float time)
{
    float value[4];
    Matrix rotation, translation, scale;
    if (Sample(AnimationKey::Rotation, time, value)) rotation = EulerRotation(value);
    if (Sample(AnimationKey::Translation, time, value)) {
        translation[3] = value[0];
        translation[7] = value[1];
        translation[11] = value[2];
        translation[15] = value[3];
    }
    if (Sample(AnimationKey::Scale, time, value)) scale = Matrix::Scale(value[0], value[1], value[2]);
    output = RowProduct(RowProduct(scale, translation), rotation);
    return output;
}
