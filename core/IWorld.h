// A scene layer: a named container of renderables and lights with its own camera, clear
// colour and depth, an optional render target and two switches. Worlds own only their lists.
#pragma once

#include <string>
#include <vector>

#include "core/IRenderTarget.h"

class ICamera;
class ILight;
class IRenderable;

class IWorld {
public:
    // The render stages handed to OnRenderStage, in the order the renderer reaches them.
    enum RenderStage {
        BeforeTarget = 0,      // before the target is bound and cleared
        AfterClear = 1,        // after clearing, before the renderables
        AfterRenderables = 2,  // after the renderables, target still bound
        AfterUnbind = 3,       // after the target is released: post-processing into the window
    };

    virtual ~IWorld() = default;

    // Materials pick their pass by this name.
    virtual std::string GetName() = 0;
    // Called once by the engine's AddWorld.
    virtual void Initialize() = 0;
    // Called every step while active.
    virtual void Update() = 0;
    // Called by the renderer at each stage of drawing this world.
    virtual void OnRenderStage(RenderStage stage) = 0;
    // Puts back what the world carries from frame to frame on its own (what its render targets
    // hold, members its updates change) as it was before the first step: the engine's Rewind
    // calls it after putting the world's lists and switches back.
    virtual void Rewind() = 0;
    // How long what the world draws now still shows in its later frames, in seconds of demo
    // time; 0 when nothing it carries from frame to frame would show. A seek draws a step when
    // it lies that close to its target, and only steps it for the rest.
    virtual double GetHistorySeconds() = 0;
    // The longest step between the frames a seek draws for that history; 0 where it needs every
    // step of the run (what it carries depends on how often it is drawn).
    virtual double GetHistoryStep() = 0;

    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() = 0;
    virtual void SetActive(bool active) = 0;
    virtual bool IsActive() = 0;

    // Sets the renderable's world, then appends it (duplicates allowed). Not owned.
    virtual void AddRenderable(IRenderable* renderable) = 0;
    // Clears the renderable's world, then removes its first occurrence, if any.
    virtual void RemoveRenderable(IRenderable* renderable) = 0;
    // The live list.
    virtual std::vector<IRenderable*>& GetRenderables() = 0;
    virtual void AddLight(ILight* light) = 0;
    // A copy.
    virtual std::vector<ILight*> GetLights() = 0;
    // The same copy into a caller's vector, reusing its storage: the per-frame form.
    virtual void CopyLights(std::vector<ILight*>& copy) = 0;

    virtual void SetCamera(ICamera* camera) = 0;
    virtual ICamera* GetCamera() = 0;
    virtual void SetRenderTarget(IRenderTarget* target) = 0;
    virtual IRenderTarget* GetRenderTarget() = 0;
    // Handed to the render target's Bind; IRenderTarget::WorldDefault by default.
    virtual void SetTargetFlags(IRenderTarget::Flags flags) = 0;
    virtual IRenderTarget::Flags GetTargetFlags() = 0;
    virtual void SetLinkedWorld(IWorld* world) = 0;
    virtual IWorld* GetLinkedWorld() = 0;

    // Four floats, R, G, B, A; copied.
    virtual void SetClearColor(const float* colour) = 0;
    virtual const float* GetClearColor() = 0;
    virtual void SetClearDepth(float depth) = 0;
    virtual float GetClearDepth() = 0;
    // Clears colour and depth with the values of the getters.
    virtual void Clear() = 0;

protected:
    IWorld() = default;
    IWorld(const IWorld&) = delete;
    IWorld& operator=(const IWorld&) = delete;
};
