// Bones: bind matrices, the skinning transform down the chain, the bone map and the palette.
#include "scene/k_Bone.h"

#include <algorithm>

#include "core/ITransformationAnimation.h"
#include "scene/RowMatrix.h"

namespace {

// The bone's bind frame in model space: the parents' bind matrices, root first, then its own.
Matrix SkeletonBind(IBone* bone)
{
    Matrix bind = *bone->GetBindMatrix();
    for (IBone* up = bone->GetParent(); up; up = up->GetParent()) bind = RowProduct(*up->GetBindMatrix(), bind);
    return bind;
}

}  // namespace

k_Bone::k_Bone(IEngine* /*engine*/, const std::wstring& name, int index, const float position[4], const float scale[3],
               const Quaternion& rotation)
    : m_name(name), m_index(index)
{
    Matrix translation;
    translation[3] = position[0];
    translation[7] = position[1];
    translation[11] = position[2];
    translation[15] = position[3];
    // The quaternion's sixteen values read in row view are its standard rotation matrix.
    const Matrix turn = rotation.ToMatrix();
    m_bindMatrix = RowProduct(RowProduct(Matrix::Scale(scale[0], scale[1], scale[2]), translation), turn);
    m_inverseBindMatrix = m_bindMatrix.Inverse();
}

// Root: A * IB, with A the animation's matrix in model space.
// Child (row view, vectors on the right): P * GBp * A * inverse(GBp * B), with P the parent's
// transform, GBp the parent's bind frame in model space and A the child's animated matrix in
// the parent's frame. A bind-pose vertex goes into the child's rest frame, is posed there and
// carried into the parent's frame, back to model space as the parent rests, then moved with the
// parent: the child follows every turn of its parent, and A equal to the bind matrix is the rest
// pose. A child without an animation keeps that rest pose and so still follows its parent.
Matrix* k_Bone::GetTransform(float time, int passThrough)
{
    if (!m_parent) {
        if (!m_animation || time == m_cachedTime) return &m_cachedTransform;
        Matrix animated;
        m_cachedTransform = RowProduct(m_animation->Evaluate(animated, time), m_inverseBindMatrix);
        m_cachedTime = time;
        return &m_cachedTransform;
    }
    const Matrix parent = *m_parent->GetTransform(time, passThrough);
    const Matrix parentBind = SkeletonBind(m_parent);
    Matrix local = m_bindMatrix;
    if (m_animation) m_animation->Evaluate(local, time);
    const Matrix inverseBind = RowProduct(parentBind, m_bindMatrix).Inverse();
    m_cachedTransform = RowProduct(RowProduct(RowProduct(parent, parentBind), local), inverseBind);
    m_cachedTime = time;
    return &m_cachedTransform;
}

void k_Bone::SetParent(IBone* parent)
{
    if (m_parent) {
        std::vector<IBone*>& siblings = m_parent->GetChildren();
        const auto found = std::find(siblings.begin(), siblings.end(), this);
        if (found != siblings.end()) siblings.erase(found);
    }
    m_parent = parent;
    if (parent) parent->GetChildren().push_back(this);
}

void k_Bone::SetAnimation(ITransformationAnimation* animation)
{
    m_animation = animation;
    m_cachedTime = -1;
    m_cachedTransform = Matrix();
}

std::map<int, IBone*>& k_Bone::GetBoneMap()
{
    if (m_parent) return m_parent->GetBoneMap();
    Collect(this);
    return m_boneMap;
}

void k_Bone::Collect(IBone* bone)
{
    m_boneMap[bone->GetIndex()] = bone;
    for (IBone* child : bone->GetChildren())
        if (child) Collect(child);
}

Matrix* k_Bone::GetMatrixPalette()
{
    if (!m_palette) {
        m_paletteSize = static_cast<int>(GetBoneMap().size());
        m_palette = std::make_unique<Matrix[]>(static_cast<size_t>(std::max(m_paletteSize, 1)));
    }
    return m_palette.get();
}

int k_Bone::GetBoneCount()
{
    GetMatrixPalette();
    return m_paletteSize;
}
