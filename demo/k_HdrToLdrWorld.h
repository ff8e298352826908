// The HDR-to-LDR world: reduces the float scene to its log-average luminance, adapts it over
// time, extracts and blurs a glow, and shows the scene tone-mapped in the window.
#pragma once

#include <memory>
#include <vector>

#include "engine/FullScreenPass.h"
#include "engine/k_World.h"

class IMaterial;
class IMeshBuffer;
class IRenderTarget;
class ITexture;
struct MaterialPass;

class k_HdrToLdrWorld : public k_World {
public:
    // scene: the float texture the earlier world renders into; not owned.
    k_HdrToLdrWorld(IEngine* engine, ITexture* scene);

    void Initialize() override;
    // Before its tone-mapped quad is drawn: the luminance, glow, blur and adaption passes off
    // screen, reading the scene the earlier world has just drawn.
    void OnRenderStage(RenderStage stage) override;
    // The adapted luminance starts from black again.
    void Rewind() override;
    // kAdaptionSeconds while shown, drawn every kAdaptionStep.
    double GetHistorySeconds() override;
    double GetHistoryStep() override { return kAdaptionStep; }

    // The exposure follows by stops with a time constant of 2.2 s: what it adapted to this long
    // ago weighs under half a percent.
    static constexpr double kAdaptionSeconds = 12.0;
    // It adapts by the time since it last adapted, exactly as over the steps between (for a
    // scene that holds still): the landscape changes too slowly to tell this from every frame.
    static constexpr double kAdaptionStep = 0.25;

    // A square float target and its texture, both owned by the resource factory.
    struct Level {
        ITexture* texture = nullptr;
        IRenderTarget* target = nullptr;
    };
    // s/16 ... 1 x 1 for the scene's smaller side s; empty below 8 pixels.
    const std::vector<Level>& GetLuminanceChain() { return m_luminanceChain; }
    // s, s/2, s/4, never below 1 x 1.
    const std::vector<Level>& GetGlowChain() { return m_glowChain; }
    // The 1 x 1 adapted luminance of the latest frame drawn (red channel).
    const Level& GetAdaptedLuminance() { return m_adaptedB; }

private:
    void ClearAdaption();

    ITexture* m_scene;
    IMeshBuffer* m_quad = nullptr;
    MaterialPass* m_toneMapPass = nullptr;
    std::unique_ptr<FullScreenPass> m_luminance;
    std::unique_ptr<FullScreenPass> m_adaption;
    std::unique_ptr<FullScreenPass> m_glow;
    std::unique_ptr<FullScreenPass> m_blur;
    std::vector<Level> m_luminanceChain;
    Level m_adaptedA;  // written this frame
    Level m_adaptedB;  // written last frame
    std::vector<Level> m_glowChain;
    float m_exposure = 1.0f;
    float m_glowStrength = 0.25f;
    bool m_ready = false;  // every target was made
    double m_adaptedAt = -1;  // demo time of the latest adaption; below 0 before the first
};
