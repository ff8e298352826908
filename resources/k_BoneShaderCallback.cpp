// The "bones" shader callback.
#include "resources/k_BoneShaderCallback.h"

#include "core/IShaderProgram.h"
#include "core/IBone.h"

void k_BoneShaderCallback::Apply(IShaderProgram* program, void* argument)
{
    if (!argument) return;
    IBone* bone = static_cast<IBone*>(argument);
    const int count = bone->GetBoneCount();
    program->SetMatrixArray("bonematrix", bone->GetMatrixPalette()->Data(), count);
}

bool k_BoneShaderCallback::Accepts(IShaderProgram* program) { return program->GetUniformLocation("bonematrix") >= 0; }
