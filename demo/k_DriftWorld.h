// A feedback layer: whatever is handed to the world is stamped once into its off-screen buffer,
// which every frame is run twice through "Drift/ProcessDrift.mat" (buffer -> scratch -> buffer)
// and shown in the window with "Drift/ShowDrift.mat". Needs its render target before it is added.
#pragma once

#include <memory>

#include "engine/FullScreenPass.h"
#include "engine/k_World.h"

class ITexture;

class k_DriftWorld : public k_World {
public:
    explicit k_DriftWorld(IEngine* engine) : k_World(engine, "Drift") {}

    // Throws when no render target is set.
    void Initialize() override;
    // After the target is released: the drift passes, then every renderable is hidden, since
    // it now lives on only in the buffer.
    void OnRenderStage(RenderStage stage) override;
    // The buffer is cleared again by the next frame drawn.
    void Rewind() override;

private:
    std::unique_ptr<FullScreenPass> m_process;
    std::unique_ptr<FullScreenPass> m_show;
    ITexture* m_driftTexture = nullptr;
    ITexture* m_scratchTexture = nullptr;
    IRenderTarget* m_scratchTarget = nullptr;
    bool m_clearedOnce = false;
};
