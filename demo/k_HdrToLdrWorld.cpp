// The HDR-to-LDR world.
#include "demo/k_HdrToLdrWorld.h"

#include <algorithm>
#include <utility>

#include "core/IEngine.h"
#include "core/IRenderTarget.h"
#include "core/IRenderer.h"
#include "platform/Log.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "core/ITimeline.h"
#include "core/ITexture.h"
#include "core/MaterialPass.h"
#include "core/IMeshBuffer.h"
#include "core/IRenderable.h"
#include "scene/UnitQuad.h"

namespace {

// A square processing target of RGB float. Sizes below one pixel would leave the frame buffer
// incomplete and make every clear of it an error, so the smallest target is 1 x 1.
k_HdrToLdrWorld::Level MakeLevel(IResourceFactory* factory, int size)
{
    k_HdrToLdrWorld::Level level;
    level.target = factory->CreateRenderTarget(std::max(size, 1), std::max(size, 1));
    if (level.target) level.texture = level.target->AddTexture(ITexture::RgbFloat);
    return level;
}

bool IsMade(const k_HdrToLdrWorld::Level& level) { return level.target && level.texture; }

}  // namespace

k_HdrToLdrWorld::k_HdrToLdrWorld(IEngine* engine, ITexture* scene) : k_World(engine, "Hdr"), m_scene(scene) {}

void k_HdrToLdrWorld::Initialize()
{
    IResourceFactory* factory = m_engine->GetResourceFactory();
    SetCamera(factory->CreateCamera());

    IMaterial* toneMap = factory->LoadMaterial(L"Hdr/HdrToLdr.mat", L"Hdr/HdrToLdr.mat");
    if (toneMap) m_toneMapPass = toneMap->FindPass(this);
    if (m_toneMapPass) {
        m_toneMapPass->textures[0].texture = m_scene;
        if (m_toneMapPass->program) m_toneMapPass->program->SetFloat("Exposure", m_exposure);
    }
    m_quad = CreateUnitQuad(factory, toneMap);
    if (m_quad) AddRenderable(dynamic_cast<IRenderable*>(m_quad));

    m_luminance = std::make_unique<FullScreenPass>(m_engine, this, L"Hdr/Luminance.mat");
    m_adaption = std::make_unique<FullScreenPass>(m_engine, this, L"Hdr/LuminanceAdaption.mat");

    const int side = m_scene ? std::min(m_scene->GetWidth(), m_scene->GetHeight()) : 0;
    bool made = m_scene != nullptr;
    int n = side / 4;
    if (n > 1) {
        do {
            n = std::max(n / 4, 1);
            m_luminanceChain.push_back(MakeLevel(factory, n));
            made = made && IsMade(m_luminanceChain.back());
        } while (n != 1);
    }

    m_adaptedA = MakeLevel(factory, 1);
    m_adaptedB = MakeLevel(factory, 1);
    made = made && IsMade(m_adaptedA) && IsMade(m_adaptedB);

    n = side;
    for (int i = 0; i < 3; ++i, n /= 2) {
        m_glowChain.push_back(MakeLevel(factory, n));
        made = made && IsMade(m_glowChain.back());
    }

    m_blur = std::make_unique<FullScreenPass>(m_engine, this, L"Common/Blur.mat");
    m_glow = std::make_unique<FullScreenPass>(m_engine, this, L"Hdr/Glow.mat");
    if (IShaderProgram* program = m_glow->GetProgram()) {
        program->SetFloat("Exposure", m_exposure);
        program->SetFloat("GlowStrength", m_glowStrength);
    }

    m_ready = made && m_toneMapPass;
    if (!m_ready) {
        Log::Error() << "k_HdrToLdrWorld: no scene texture, tone-map pass or processing target; "
                        "nothing is processed.";
        return;
    }
    ClearAdaption();
}

void k_HdrToLdrWorld::Rewind()
{
    m_adaptedAt = -1;
    if (m_ready) ClearAdaption();
}

double k_HdrToLdrWorld::GetHistorySeconds() { return m_ready && IsVisible() ? kAdaptionSeconds : 0; }

void k_HdrToLdrWorld::ClearAdaption()
{
    // The first adaption reads B: start both from black rather than undefined memory.
    ScopedCurrentWorld current(m_engine->GetRenderer(), this);
    m_adaptedA.target->Bind(IRenderTarget::WorldDefault);
    m_adaptedB.target->Bind(IRenderTarget::WorldDefault);
    m_adaptedB.target->Unbind();
}

void k_HdrToLdrWorld::OnRenderStage(RenderStage stage)
{
    // Drawn only when the world is: a hidden world (or a skipped step) leaves the eye as it was
    // adapted, to the dark before the landscape.
    if (stage != BeforeTarget || !m_ready) return;
    ITimeline* timeline = m_engine->GetTimeline();
    IRenderer* renderer = m_engine->GetRenderer();
    ScopedCurrentWorld current(renderer, this);

    ITexture* input = m_scene;
    for (const Level& level : m_luminanceChain) {
        m_luminance->SetTexture(0, input);
        m_luminance->Draw(level.target);
        input = level.texture;
    }

    // Only the window shows the glow: a seek's unseen frame needs the adaption alone.
    if (!renderer->IsUnseen()) {
        m_glow->SetTexture(0, m_scene);
        m_glow->SetTexture(1, m_adaptedA.texture);
        m_glow->Draw(m_glowChain[0].target);
        for (size_t i = 1; i < m_glowChain.size(); ++i) {
            m_blur->SetTexture(0, m_glowChain[i - 1].texture);
            m_blur->Draw(m_glowChain[i].target);
        }
    }

    const double now = timeline->GetTime();
    if (IShaderProgram* program = m_adaption->GetProgram())
        program->SetFloat("deltatime", static_cast<float>(m_adaptedAt < 0 ? timeline->GetFrameDelta() : now - m_adaptedAt));
    m_adaptedAt = now;
    // Without a luminance chain there is no current luminance: the shader then keeps the
    // previous value rather than reading a texture that was never made.
    m_adaption->SetTexture(0, m_adaptedB.texture);
    m_adaption->SetTexture(2, m_luminanceChain.empty() ? nullptr : m_luminanceChain.back().texture);
    m_adaption->Draw(m_adaptedA.target);

    m_toneMapPass->textures[1].texture = m_adaptedA.texture;
    m_toneMapPass->textures[2].texture = m_glowChain.back().texture;
    std::swap(m_adaptedA, m_adaptedB);
}
