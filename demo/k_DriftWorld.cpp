// The drift feedback world.
#include "demo/k_DriftWorld.h"

#include "core/IEngine.h"
#include "core/IRenderer.h"
#include "core/IResourceFactory.h"
#include "core/ITimeline.h"
#include "core/ITexture.h"
#include "resources/k_DeltaTimeShaderCallback.h"
#include "core/IRenderable.h"

void k_DriftWorld::Initialize()
{
    IRenderTarget* target = GetRenderTarget();
    if (!target) throw L"k_DriftWorld: Unable to work without a rendertarget.";
    IResourceFactory* factory = m_engine->GetResourceFactory();
    RegisterDeltaTimeCallback(m_engine);
    if (!GetCamera()) SetCamera(factory->CreateCamera());

    m_show = std::make_unique<FullScreenPass>(m_engine, this, L"Drift/ShowDrift.mat");
    m_process = std::make_unique<FullScreenPass>(m_engine, this, L"Drift/ProcessDrift.mat");

    if (!target->GetTextures().empty()) m_driftTexture = target->GetTextures().front();
    const int format = m_driftTexture ? m_driftTexture->GetFormat() : ITexture::RgbaFloat;
    m_scratchTarget = factory->CreateRenderTarget(target->GetWidth(), target->GetHeight());
    if (m_scratchTarget) m_scratchTexture = m_scratchTarget->AddTexture(format);
    m_show->SetTexture(0, m_driftTexture);
}

bool k_DriftWorld::HoldsPicture()
{
    for (IRenderable* renderable : GetRenderables())
        if (renderable && renderable->IsVisible()) return true;
    return false;
}

void k_DriftWorld::Rewind()
{
    SetTargetFlags(IRenderTarget::WorldDefault);
    m_clearedOnce = false;
    m_stampedAt = -kTrailSeconds;
}

double k_DriftWorld::GetHistorySeconds()
{
    const bool fading = m_engine->GetTimeline()->GetTime() - m_stampedAt < kTrailSeconds;
    return fading || HoldsPicture() ? kTrailSeconds : 0;
}

void k_DriftWorld::OnRenderStage(RenderStage stage)
{
    if (stage != AfterUnbind) return;
    if (!m_clearedOnce) {
        // From now on the buffer keeps its colour from frame to frame.
        SetTargetFlags(IRenderTarget::ClearDepth | IRenderTarget::DrawAll);
        m_clearedOnce = true;
    }
    if (m_scratchTarget) {
        m_process->SetTexture(0, m_driftTexture);
        m_process->Draw(m_scratchTarget, IRenderTarget::DrawAll);
        m_process->SetTexture(0, m_scratchTexture);
        m_process->Draw(GetRenderTarget(), IRenderTarget::DrawAll);
    }
    if (!m_engine->GetRenderer()->IsUnseen()) m_show->Draw();  // a seek's unseen frame: the buffer alone
    if (HoldsPicture()) m_stampedAt = m_engine->GetTimeline()->GetTime();
    for (IRenderable* renderable : GetRenderables())
        if (renderable) renderable->SetVisible(false);
}
