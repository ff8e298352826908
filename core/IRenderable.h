// A drawable scene object: a transform (translation, scale, rotation, local matrix), child
// renderables drawn inside it, render hooks, and the world it belongs to.
#pragma once

#include <vector>

#include "math/Matrix.h"
#include "math/Quaternion.h"
#include "math/Vector.h"

class IRenderHook;
class IWorld;

class IRenderable {
public:
    // The stages of the class's own drawing, in the order Render reaches them.
    enum Stage {
        BeforeTransform = 0,  // before the object's transform is applied
        Geometry = 1,         // the geometry in the object's frame, before the children
        AfterChildren = 2,    // after the children
    };

    // Frees only the object's own lists: children, hooks and world are not owned.
    virtual ~IRenderable() = default;

    // A vertex is transformed by the local matrix, then the rotation, then the scale (along the
    // parent's axes), then the translation. Only x, y, z of scale and position are used.
    virtual void SetRotation(const Quaternion& rotation) = 0;
    virtual void SetScale(const Vector& scale) = 0;
    virtual void SetPosition(const Vector& position) = 0;
    // 16 floats, OpenGL order; copied.
    virtual void SetLocalMatrix(const float* matrix) = 0;
    virtual Quaternion GetRotation() = 0;
    virtual Vector GetScale() = 0;
    virtual Vector GetPosition() = 0;
    virtual Matrix GetLocalMatrix() = 0;

    // Hooks are not owned; duplicates are allowed and removal takes the first occurrence.
    virtual void AddRenderHook(IRenderHook* hook) = 0;
    virtual void RemoveRenderHook(IRenderHook* hook) = 0;
    // The live list.
    virtual std::vector<IRenderHook*>& GetRenderHooks() = 0;

    // Gives the child this object's current world, then appends it (not owned).
    virtual void AddChild(IRenderable* child) = 0;
    // Clears the child's world (also when it is not a child), then removes its first occurrence.
    virtual void RemoveChild(IRenderable* child) = 0;
    // An independent copy.
    virtual std::vector<IRenderable*> GetChildren() = 0;

    // The owning world (not owned), or null.
    virtual void SetWorld(IWorld* world) = 0;
    virtual IWorld* GetWorld() = 0;
    // Shared objects are also drawn by a world that links this object's world.
    virtual void SetShared(bool shared) = 0;
    virtual bool IsShared() = 0;

    // Draws the object and its children with its transform; see Stage for the stages.
    virtual void Render() = 0;
    // A hidden object draws neither its Geometry stage nor its children; the other stages and
    // the hooks still run.
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() = 0;

    // The class's own drawing, once for each stage.
    virtual void DrawStage(Stage stage) = 0;

protected:
    IRenderable() = default;
    IRenderable(const IRenderable&) = delete;
    IRenderable& operator=(const IRenderable&) = delete;
};
