// The demo controller and the demo script.
#include "demo/k_Demo.h"

#include <GL/glew.h>
#include <string>

#include "core/IEngine.h"
#include "core/IWindow.h"
#include "core/IGraphics.h"
#include "core/IRenderTarget.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "core/ITexture.h"
#include "core/IAnimationManager.h"
#include "scene/k_TextEvent.h"
#include "demo/k_AfterWorld.h"
#include "demo/k_DriftWorld.h"
#include "demo/k_HdrToLdrWorld.h"
#include "demo/k_PlasmaWorld.h"
#include "demo/k_TerrainWorld.h"
#include "demo/TerrainScene.h"

k_Demo::k_Demo(IEngine* engine) : m_engine(engine) {}

k_Demo::~k_Demo()
{
    while (!m_imageEvents.empty()) m_imageEvents.pop_back();
}

void k_Demo::Trigger(int type)
{
    if (type == ShowLandscape) {
        m_terrainWorld->SetVisible(true);
        m_hdrWorld->SetVisible(true);
    } else if (type == ShowPlasma) {
        if (IShaderProgram* plasma = m_plasmaWorld->GetProgram()) plasma->SetInt("disablePlasma", 0);
        m_terrainWorld->SetVisible(false);
        m_hdrWorld->SetVisible(false);
    }
}

void k_Demo::Animate(double progress, int id)
{
    const float p = static_cast<float>(progress);
    IShaderProgram* plasma = m_plasmaWorld->GetProgram();
    float fade[4] = {0, 0, 0, 0};
    switch (id) {
    case FadeInFromBlack:
        fade[3] = 1 - p;
        break;
    case FadeToWhite:
        fade[0] = fade[1] = fade[2] = 1, fade[3] = p;
        break;
    case FadeInFromWhite:
        fade[0] = fade[1] = fade[2] = 1, fade[3] = 1 - p;
        break;
    case FadeToLogo:
        if (IShaderProgram* logo = m_afterWorld->GetLogoProgram()) logo->SetFloat("alpha", p);
        fade[3] = p;
        break;
    default:
        return;
    }
    if (plasma) plasma->SetVector("fadeColor", fade, 4);
}

void k_Demo::BeginFrame()
{
    glDepthMask(GL_TRUE);
    glClearColor(0, 0, 0, 0);
    glClearDepth(0.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFrontFace(GL_CW);
}

void k_Demo::LoadingStep(int step)
{
    m_engine->GetGraphics()->DrawLoadingBar(static_cast<float>(step) / kLoadingSteps);
    if (IWindow* window = m_engine->GetWindow()) window->Present();
}

void k_Demo::Setup()
{
    IResourceFactory* factory = m_engine->GetResourceFactory();
    int step = 0;

    // The terrain is drawn in high dynamic range into the scene target, which the HDR world maps
    // to the screen; both stay hidden until the landscape's cue.
    TerrainScene landscape = AddTerrainScene(m_engine, [&] { LoadingStep(++step); });
    m_terrainWorld = std::move(landscape.terrain);
    m_hdrWorld = std::move(landscape.hdr);
    m_terrainWorld->SetVisible(false);
    m_hdrWorld->SetVisible(false);
    LoadingStep(++step);

    m_plasmaWorld = std::make_unique<k_PlasmaWorld>(m_engine);
    m_engine->AddWorld(m_plasmaWorld.get());
    LoadingStep(++step);

    m_afterWorld = std::make_unique<k_AfterWorld>(m_engine);
    m_afterWorld->SetCamera(m_terrainWorld->GetCamera());
    m_engine->AddWorld(m_afterWorld.get());
    LoadingStep(++step);

    IRenderTarget* driftTarget = factory->CreateRenderTargetWithOption(512, 512, ITexture::RgbaFloat);
    m_driftWorld = std::make_unique<k_DriftWorld>(m_engine);
    m_driftWorld->SetCamera(m_terrainWorld->GetCamera());
    m_driftWorld->SetRenderTarget(driftTarget);
    m_engine->AddWorld(m_driftWorld.get());
    if (driftTarget) driftTarget->Unbind();
    LoadingStep(++step);

    IAnimationManager* animations = m_engine->GetAnimationManager();
    const Vector noPlacement(0, 0, 0, 0);
    for (int i = 0; i < kPictureCount; ++i) {
        const PictureRow& picture = kPictures[i];
        const Transition& t = picture.transition;
        m_imageEvents.push_back(std::make_unique<k_TextEvent>(m_driftWorld.get(), m_afterWorld.get(), picture.start,
                                                              m_engine, picture.file, "", noPlacement,
                                                              picture.duration, t.in, t.inSeconds, t.out,
                                                              t.outSeconds));
        LoadingStep(++step);
        for (const CueRow& cue : kCues) {
            if (cue.afterPicture != i + 1) continue;
            if (cue.kind == CueRow::Instant)
                animations->AddEvent(cue.start, this, cue.code);
            else
                animations->AddAnimation(cue.start, cue.end, this, cue.code);
        }
    }
}
