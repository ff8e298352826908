// The root object: owns every service and the ordered list of worlds.
// Every object holds a plain, non-owning pointer to it and reaches the services through it.
#pragma once

#include <vector>

class IGraphics;
class IRenderer;
class IResourceFactory;
class IFileSystem;
class IAnimationManager;
class ITimeline;
class IWindow;
class IWorld;

class IEngine {
public:
    virtual ~IEngine() = default;

    // Mounts the data archive and brings up the factory and renderer; needs the GL context.
    virtual void Initialize() = 0;
    // Destroys everything the resource factory made, while the GL context is still current,
    // then releases the context. Harmless when there is none; the destructor calls it too.
    virtual void ReleaseContext() = 0;
    // Advances the demo clock by seconds and draws one frame. The first call also notes the
    // start that Rewind goes back to: the worlds, their lists and switches, and every program's
    // uniform values as the set-up left them.
    virtual void Advance(double seconds) = 0;
    // Back to that start, keeping every loaded resource: the clock and the scheduler at 0,
    // each world as it was (its own Rewind does the rest), the next Advance plays as the first
    // of a fresh run. Before the first Advance only the clock and the scheduler go back.
    virtual void Rewind() = 0;

    virtual IGraphics* GetGraphics() = 0;
    virtual IRenderer* GetRenderer() = 0;
    virtual IResourceFactory* GetResourceFactory() = 0;
    virtual IFileSystem* GetFileSystem() = 0;
    virtual IAnimationManager* GetAnimationManager() = 0;
    virtual ITimeline* GetTimeline() = 0;

    // Appends the world (not owned) and initialises it at once.
    virtual void AddWorld(IWorld* world) = 0;
    // A copy of the list, in drawing order.
    virtual std::vector<IWorld*> GetWorlds() = 0;
    // The same copy into a caller's vector, reusing its storage: the per-frame form.
    virtual void CopyWorlds(std::vector<IWorld*>& copy) = 0;
    virtual void UpdateWorlds() = 0;

    virtual void SetFinished(bool finished) = 0;
    virtual bool IsFinished() = 0;

    virtual void SetWindow(IWindow* window) = 0;
    // Null until the window has been created.
    virtual IWindow* GetWindow() = 0;

protected:
    IEngine() = default;
    IEngine(const IEngine&) = delete;
    IEngine& operator=(const IEngine&) = delete;
};
