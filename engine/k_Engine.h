// The engine: creates, owns and hands out the services, and keeps the worlds in drawing order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/IEngine.h"

class IRenderable;

class k_Engine : public IEngine {
public:
    // baseDirectory: where the data archive is looked for (the executable's directory).
    // dataPath: an archive or folder to mount instead of "data.pak"; empty for the default.
    explicit k_Engine(const std::wstring& baseDirectory, const std::wstring& dataPath = L"");
    ~k_Engine() override;

    void Initialize() override;
    void ReleaseContext() override;
    void Advance(double seconds) override;
    void Rewind() override;
    IGraphics* GetGraphics() override { return m_graphics.get(); }
    IRenderer* GetRenderer() override { return m_renderer.get(); }
    IResourceFactory* GetResourceFactory() override { return m_resourceFactory.get(); }
    IFileSystem* GetFileSystem() override { return m_fileSystem.get(); }
    IAnimationManager* GetAnimationManager() override { return m_animationManager.get(); }
    ITimeline* GetTimeline() override { return m_timeline.get(); }
    void AddWorld(IWorld* world) override;
    std::vector<IWorld*> GetWorlds() override { return m_worlds; }
    void CopyWorlds(std::vector<IWorld*>& copy) override { copy.assign(m_worlds.begin(), m_worlds.end()); }
    void UpdateWorlds() override;
    void SetFinished(bool finished) override { m_finished = finished; }
    bool IsFinished() override { return m_finished; }
    void SetWindow(IWindow* window) override { m_window = window; }
    IWindow* GetWindow() override { return m_window; }

private:
    // A world as the first step found it.
    struct WorldStart {
        IWorld* world;
        std::vector<IRenderable*> renderables;
        bool visible;
        bool active;
    };
    void MarkStart();

    std::unique_ptr<IGraphics> m_graphics;
    IWindow* m_window = nullptr;
    std::unique_ptr<IRenderer> m_renderer;
    std::unique_ptr<IResourceFactory> m_resourceFactory;
    std::unique_ptr<IFileSystem> m_fileSystem;
    std::unique_ptr<IAnimationManager> m_animationManager;
    std::unique_ptr<ITimeline> m_timeline;
    std::vector<IWorld*> m_worlds;
    bool m_finished = false;
    bool m_started = false;  // the first Advance has noted the start
    std::vector<WorldStart> m_starts;
    std::wstring m_dataPath;
};
