// Keyframe animation: one ordered key map per channel.
#pragma once

#include <map>
#include <string>

#include "core/ITransformationAnimation.h"

class IEngine;

class k_TransformationAnimation : public ITransformationAnimation {
public:
    k_TransformationAnimation(IEngine* /*engine*/, const std::wstring& name) : m_name(name) {}

    std::wstring GetName() override { return m_name; }
    void AddKey(const AnimationKey& key) override;
    float GetDuration() override;
    Matrix& Evaluate(Matrix& output, float time) override;

private:
    // The channel's interpolated value at time into value; false when the channel has no keys.
    bool Sample(int channel, float time, float value[4]) const;

    std::wstring m_name;
    std::map<float, AnimationKey> m_keys[3];
};
