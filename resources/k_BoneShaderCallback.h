// The "bones" shader callback: uploads a bone's matrix palette as "bonematrix".
#pragma once

#include "core/IShaderCallback.h"

class IEngine;

class k_BoneShaderCallback : public IShaderCallback {
public:
    explicit k_BoneShaderCallback(IEngine* /*engine*/) {}

    std::wstring GetName() override { return L"bones"; }
    // argument: the IBone whose palette is uploaded; null uploads nothing.
    void Apply(IShaderProgram* program, void* argument) override;
    bool Accepts(IShaderProgram* program) override;
};
