// The first pass of a mesh's material: where the terrain world's steps set their uniforms,
// render states and textures.
#pragma once

#include "core/IMaterial.h"
#include "core/IMeshBuffer.h"
#include "core/IRenderable.h"

// Null when the renderable is no mesh, has no material or the material no pass.
inline MaterialPass* FirstPass(IRenderable* renderable)
{
    IMeshBuffer* mesh = dynamic_cast<IMeshBuffer*>(renderable);
    IMaterial* material = mesh ? mesh->GetMaterial() : nullptr;
    if (!material || material->GetPasses().empty()) return nullptr;
    return material->GetPasses().front().get();
}
