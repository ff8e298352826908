// A named set of keyframes on three channels (translation, Euler rotation, scale), evaluated at
// any time into a 4x4 matrix in row view (translation in elements 3, 7, 11), with linear
// interpolation and clamping at both ends.
#pragma once

#include <string>

#include "math/Matrix.h"

// One keyframe of one channel.
struct alignas(16) AnimationKey {
    enum Channel { Translation = 0, Rotation = 1, Scale = 2 };

    int channel = Translation;
    // Translation (x, y, z, w = 1); rotation: degrees about x, y and z; scale (x, y, z).
    float value[4] = {0, 0, 0, 0};
    // Seconds; any value, negative ones included.
    float time = 0;

    static AnimationKey Make(int channel, float time, float x, float y, float z, float w = 1)
    {
        AnimationKey key;
        key.channel = channel;
        key.time = time;
        key.value[0] = x, key.value[1] = y, key.value[2] = z, key.value[3] = w;
        return key;
    }
};

class ITransformationAnimation {
public:
    virtual ~ITransformationAnimation() = default;

    virtual std::wstring GetName() = 0;
    // Stores a copy; a key at the same channel and time replaces the earlier one. Keys of an
    // unknown channel are ignored.
    virtual void AddKey(const AnimationKey& key) = 0;
    // The latest key time over all channels, never below 0.
    virtual float GetDuration() = 0;
    // S * T * R at time (row view: a point is rotated, translated, then scaled); a channel
    // without keys contributes the identity. Writes and returns output.
    virtual Matrix& Evaluate(Matrix& output, float time) = 0;

protected:
    ITransformationAnimation() = default;
    ITransformationAnimation(const ITransformationAnimation&) = delete;
    ITransformationAnimation& operator=(const ITransformationAnimation&) = delete;
};
