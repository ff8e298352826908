// Something called around the drawing of a renderable's subtree (after its transform is applied).
#pragma once

class IRenderable;

class IRenderHook {
public:
    virtual ~IRenderHook() = default;

    // Before the renderable's own geometry and children; its transform is already current.
    virtual void BeforeRender(IRenderable* renderable) = 0;
    // After the AfterChildren stage, before the transform is popped.
    virtual void AfterRender(IRenderable* renderable) = 0;

protected:
    IRenderHook() = default;
    IRenderHook(const IRenderHook&) = delete;
    IRenderHook& operator=(const IRenderHook&) = delete;
};
