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

namespace {

// How a picture enters and leaves (fade modes and seconds of its text event).
struct Transition {
    int inKind;
    float inSeconds;
    int outKind;
    float outSeconds;
};

const Transition kS1{3, 3.0f, 4, 3.0f};   // glides in, glides back out
const Transition kS2{1, 0.5f, 1, 0.25f};  // quick fade in and out
const Transition kS3{1, 2.0f, 1, 2.0f};   // slow fade in and out
const Transition kS4{3, 10.0f, 3, 3.0f};  // long glide in, then drifts away
const Transition kS5{1, 0.25f, 3, 0.1f};  // flash in, then drifts away

struct Picture {
    const wchar_t* file;
    double start;
    double duration;
    const Transition& transition;
};

// The pictures in creation order; where two overlap, the later one is drawn over the earlier.
const Picture kPictures[] = {
    {L"time.png", 0, 10, kS1},
    {L"it-is-time.png", 8, 10, kS1},
    {L"whattime1.png", 10, 2, kS2},
    {L"whattime2.png", 11.5, 2, kS2},
    {L"whattime3.png", 13, 2, kS2},
    {L"whattime4.png", 14.5, 2, kS2},
    {L"married.png", 18, 10, kS1},
    {L"married2.png", 25, 5, kS3},
    {L"friend.png", 30, 15, kS4},
    {L"goodbye.png", 45, 30, kS4},
    {L"gratitude.png", 76, 4, kS2},
    {L"Thanks/thanks1.png", 80, 13, kS1},
    {L"Thanks/thanks2.png", 91, 13, kS1},
    {L"Thanks/thanks3.png", 102, 14, kS1},
    {L"Thanks/thanks4.png", 114, 13, kS1},
    {L"Thanks/thanks5.png", 125, 12, kS1},
    {L"adore.png", 137, 4, kS2},
    {L"greet1.png", 141, 1.5, kS5},
    {L"greet2.png", 143, 1.5, kS5},
    {L"greet3.png", 145, 1.5, kS5},
    {L"greet4.png", 147, 1.5, kS5},
    {L"greet5.png", 149, 1.5, kS5},
    {L"greet6.png", 151, 1.5, kS5},
    {L"greet7.png", 153, 1.5, kS5},
    {L"greet8.png", 155, 1.5, kS5},
    {L"greet9.png", 157, 1.5, kS5},
    {L"greet10.png", 159, 1.5, kS5},
    {L"greet11.png", 161, 1.5, kS5},
    {L"greet12.png", 163, 1.5, kS5},
    {L"greet13.png", 165, 1.5, kS5},
    {L"greet14.png", 167, 1.5, kS5},
    {L"function.png", 170, 4, kS3},
    {L"were-not-dead.png", 175, 10, kS5},
    // The demo never ends by itself: the last picture stays until the viewer stops it.
    {L"friend-says.png", 185, 1000, kS5},
};

constexpr int kPictureCount = sizeof kPictures / sizeof kPictures[0];
// The demo's own cues go on the clock after this picture, and the closing fade after the greetings.
constexpr int kCuesAfterPicture = 11;
constexpr int kClosingFadeAfterPicture = 31;

}  // namespace

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
        const Picture& picture = kPictures[i];
        const Transition& t = picture.transition;
        m_imageEvents.push_back(std::make_unique<k_TextEvent>(m_driftWorld.get(), m_afterWorld.get(), picture.start,
                                                              m_engine, picture.file, "", noPlacement,
                                                              picture.duration, t.inKind, t.inSeconds, t.outKind,
                                                              t.outSeconds));
        LoadingStep(++step);
        if (i + 1 == kCuesAfterPicture) {
            animations->AddEvent(27.0, this, ShowLandscape);
            animations->AddAnimation(27.0, 36.7, this, FadeInFromBlack);
            animations->AddAnimation(71.8, 76.6, this, FadeToWhite);
            animations->AddEvent(76.6, this, ShowPlasma);
            animations->AddAnimation(76.6, 78.0, this, FadeInFromWhite);
        } else if (i + 1 == kClosingFadeAfterPicture) {
            animations->AddAnimation(169.0, 175.0, this, FadeToLogo);
        }
    }
}
