// A skeleton node. Bind matrices and animations are relative to the parent bone (model space for
// the root); GetTransform gives the skinning matrix that carries a bind-pose vertex in model space
// to its animated place.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "math/Matrix.h"
#include "math/Quaternion.h"
#include "math/Vector.h"
#include "core/IBone.h"

class IEngine;

class k_Bone : public IBone {
public:
    // bind = S * T * Q in row view: rotated, then moved to position, then scaled.
    k_Bone(IEngine* engine, const std::wstring& name, int index, const float position[4], const float scale[3],
           const Quaternion& rotation);

    Matrix* GetTransform(float time, int passThrough) override;
    Matrix* GetBindMatrix() override { return &m_bindMatrix; }
    void SetParent(IBone* parent) override;
    IBone* GetParent() override { return m_parent; }
    std::vector<IBone*>& GetChildren() override { return m_children; }
    std::wstring GetName() override { return m_name; }
    int GetIndex() override { return m_index; }
    void SetAnimation(ITransformationAnimation* animation) override;
    ITransformationAnimation* GetAnimation() override { return m_animation; }
    std::map<int, IBone*>& GetBoneMap() override;
    Matrix* GetMatrixPalette() override;
    int GetBoneCount() override;

    const Matrix& GetInverseBindMatrix() const { return m_inverseBindMatrix; }

private:
    void Collect(IBone* bone);

    std::wstring m_name;
    int m_index;
    Matrix m_bindMatrix;
    Matrix m_inverseBindMatrix;
    float m_cachedTime = -1;
    Matrix m_cachedTransform;
    std::vector<IBone*> m_children;                 // not owned
    IBone* m_parent = nullptr;                      // not owned
    ITransformationAnimation* m_animation = nullptr;  // not owned
    std::map<int, IBone*> m_boneMap;
    std::unique_ptr<Matrix[]> m_palette;  // Matrix is 16-byte aligned, and so is new[] of it
    int m_paletteSize = 0;
};
