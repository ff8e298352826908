// The complete render state for drawing a mesh: passes chosen by the current world's name.
// Materials are made and cached by the resource factory, which owns them.
#pragma once

#include <memory>
#include <vector>

#include "core/MaterialPass.h"

class IWorld;

class IMaterial {
public:
    // Releases the passes (their programs and textures belong to the resource factory).
    virtual ~IMaterial() = default;

    // Applies the pass for the renderer's current world: the whole GL state of the pass,
    // its program with callbacks, its textures and the automatic uniforms. False, with no
    // state changed, when there is no such pass and no default pass.
    virtual bool Apply() = 0;
    // Takes the pass over; it replaces a pass with exactly the same target, else is appended.
    virtual void AddPass(std::unique_ptr<MaterialPass> pass) = 0;
    // In order of addition, for code that fills reserved slots or sets a pass's uniforms.
    virtual const std::vector<std::unique_ptr<MaterialPass>>& GetPasses() = 0;
    // The pass targeted at world's name (null world: the renderer's current world), else the
    // first pass without a target, else null.
    virtual MaterialPass* FindPass(IWorld* world) = 0;

protected:
    IMaterial() = default;
    IMaterial(const IMaterial&) = delete;
    IMaterial& operator=(const IMaterial&) = delete;
};
