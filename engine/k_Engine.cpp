// The engine: services are created in a fixed order and torn down in the reverse of use.
#include "engine/k_Engine.h"

#include "engine/k_Timeline.h"
#include "graphics/k_OpenGl.h"
#include "engine/k_Renderer.h"
#include "platform/FatalError.h"
#include "platform/Log.h"
#include "resources/k_FileSystem.h"
#include "engine/k_ResourceFactory.h"
#include "scene/k_AnimationManager.h"
#include "core/IRenderable.h"
#include "core/IWorld.h"

k_Engine::k_Engine(const std::wstring& baseDirectory, const std::wstring& dataPath) : m_dataPath(dataPath)
{
    m_graphics = std::make_unique<k_OpenGl>();
    m_renderer = std::make_unique<k_Renderer>(this);
    m_resourceFactory = std::make_unique<k_ResourceFactory>(this);
    m_fileSystem = std::make_unique<k_FileSystem>(this, baseDirectory);
    m_timeline = std::make_unique<k_Timeline>(this);
    m_animationManager = std::make_unique<k_AnimationManager>(this);
}

k_Engine::~k_Engine()
{
    ReleaseContext();
    m_graphics.reset();
    m_renderer.reset();
    m_resourceFactory.reset();
    m_fileSystem.reset();
    m_timeline.reset();
    m_animationManager.reset();
}

void k_Engine::Initialize()
{
    Log::Info() << "Initializing engine...";
    const std::wstring data = m_dataPath.empty() ? L"data.pak" : m_dataPath;
    const bool mounted = m_dataPath.empty() ? m_fileSystem->MountArchive(data) : m_fileSystem->Mount(data);
    // Nothing can be shown without data; the message names what was missing.
    if (!mounted) Platform::ThrowFatal(L"Cannot open the data archive " + data + L".");
    m_resourceFactory->Initialize();
    m_renderer->Initialize();
    m_renderer->SetTimeSamples(0);
    m_renderer->SetAdaptiveSamples(false);
}

void k_Engine::ReleaseContext()
{
    // GL objects are deleted while the context they live in is current; after it, undefined.
    m_resourceFactory->ReleaseAll();
    m_graphics->ReleaseContext();
}

void k_Engine::Advance(double seconds)
{
    if (!m_started) MarkStart();
    m_renderer->RenderFrame(seconds);
}

void k_Engine::MarkStart()
{
    m_started = true;
    m_resourceFactory->MarkUniforms();
    for (IWorld* world : m_worlds)
        m_starts.push_back({world, world->GetRenderables(), world->IsVisible(), world->IsActive()});
}

void k_Engine::Rewind()
{
    m_timeline = std::make_unique<k_Timeline>(this);
    m_animationManager->Rewind();
    m_finished = false;
    if (!m_started) return;
    m_resourceFactory->RewindUniforms();
    // Every list is emptied before any is filled: a renderable may have moved between worlds.
    for (const WorldStart& start : m_starts)
        for (IRenderable* renderable : start.world->GetRenderables())
            if (renderable) renderable->SetWorld(nullptr);
    for (const WorldStart& start : m_starts) {
        start.world->GetRenderables() = start.renderables;
        for (IRenderable* renderable : start.renderables)
            if (renderable) renderable->SetWorld(start.world);
        start.world->SetVisible(start.visible);
        start.world->SetActive(start.active);
    }
    for (IWorld* world : m_worlds) world->Rewind();
}

void k_Engine::AddWorld(IWorld* world)
{
    m_worlds.push_back(world);
    world->Initialize();
    m_graphics->CheckErrors();
}

void k_Engine::UpdateWorlds()
{
    for (size_t i = 0; i < m_worlds.size(); ++i)  // an update may add a world
        if (m_worlds[i]->IsActive()) m_worlds[i]->Update();
}
