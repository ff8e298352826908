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
    // kTrailSeconds while it holds a picture to stamp, or a trail that has not faded yet.
    double GetHistorySeconds() override;

    // How long a stamped picture shows: the slowest channel keeps exp(-0.9 t) of itself, under
    // half a level of 8 bits after this.
    static constexpr double kTrailSeconds = 7.0;

private:
    // Something visible to stamp into the buffer with the next frame.
    bool HoldsPicture();

    std::unique_ptr<FullScreenPass> m_process;
    std::unique_ptr<FullScreenPass> m_show;
    ITexture* m_driftTexture = nullptr;
    ITexture* m_scratchTexture = nullptr;
    IRenderTarget* m_scratchTarget = nullptr;
    bool m_clearedOnce = false;
    double m_stampedAt = -kTrailSeconds;  // demo time of the latest frame that stamped a picture
};
