// A node of a skeleton: name, index, bind matrix, parent and children, an optional keyframe
// animation and the skeleton's matrix palette that the "bones" shader callback uploads.
// Matrices here are 16 floats in row view (translation in elements 3, 7, 11).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "math/Matrix.h"

class ITransformationAnimation;

class IBone {
public:
    virtual ~IBone() = default;

    // The bone's transform at time, cached until the time changes.
    virtual Matrix* GetTransform(float time, int passThrough) = 0;
    virtual Matrix* GetBindMatrix() = 0;
    // Not owned; null for a root.
    virtual void SetParent(IBone* parent) = 0;
    virtual IBone* GetParent() = 0;
    // The live list; not owned.
    virtual std::vector<IBone*>& GetChildren() = 0;
    virtual std::wstring GetName() = 0;
    virtual int GetIndex() = 0;
    virtual void SetAnimation(ITransformationAnimation* animation) = 0;
    virtual ITransformationAnimation* GetAnimation() = 0;
    // The whole skeleton by bone index.
    virtual std::map<int, IBone*>& GetBoneMap() = 0;
    // GetBoneCount() matrices, allocated (as identities) on the first request.
    virtual Matrix* GetMatrixPalette() = 0;
    virtual int GetBoneCount() = 0;

protected:
    IBone() = default;
    IBone(const IBone&) = delete;
    IBone& operator=(const IBone&) = delete;
};
