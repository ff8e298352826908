// The building block of the full-screen effects: the unit quad drawn with one material's pass
// for a world, into a render target or into whatever frame buffer is bound.
#pragma once

#include <string>

#include "core/IRenderTarget.h"

class IEngine;
class IMaterial;
class IMeshBuffer;
class IRenderable;
class IRenderer;
class IShaderProgram;
class ITexture;
class IWorld;
struct MaterialPass;

// Makes a world the renderer's current one for a scope, then restores the previous one, so a
// world's off-screen passes pick their material passes and target clears by that world.
class ScopedCurrentWorld {
public:
    ScopedCurrentWorld(IRenderer* renderer, IWorld* world);
    ~ScopedCurrentWorld();
    ScopedCurrentWorld(const ScopedCurrentWorld&) = delete;
    ScopedCurrentWorld& operator=(const ScopedCurrentWorld&) = delete;

private:
    IRenderer* m_renderer;
    IWorld* m_previous;
};

class FullScreenPass {
public:
    // Loads the material file and picks its pass for world. A missing material or pass leaves
    // the pass drawing nothing; GetProgram() is then null.
    FullScreenPass(IEngine* engine, IWorld* world, const std::wstring& materialFile);

    IMaterial* GetMaterial() { return m_material; }
    IShaderProgram* GetProgram();
    IMeshBuffer* GetQuad() { return m_quad; }
    // Binds texture to unit on the pass, keeping the slot's wrap modes.
    void SetTexture(int unit, ITexture* texture);

    // Draws the quad into target, bound with flags and unbound afterwards; with a null target,
    // into the frame buffer that is bound. The caller makes the world current.
    void Draw(IRenderTarget* target = nullptr, IRenderTarget::Flags flags = IRenderTarget::WorldDefault);

private:
    IMaterial* m_material = nullptr;
    MaterialPass* m_pass = nullptr;
    IMeshBuffer* m_quad = nullptr;
    IRenderable* m_drawable = nullptr;  // the quad as a renderable
};
