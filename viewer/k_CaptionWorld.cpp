// The caption showcase world.
#include "viewer/k_CaptionWorld.h"

#include <cmath>

#include "core/IEngine.h"
#include "core/ITimeline.h"
#include "math/Quaternion.h"
#include "core/IResourceFactory.h"
#include "core/ICamera.h"
#include "core/ILight.h"
#include "core/IRenderable.h"
#include "core/IText.h"
#include "platform/FontFinder.h"
#include "platform/Text.h"
#include "scene/k_TextEvent.h"

namespace {

const char* const kTitle = "Meridian";
const char* const kSubtitle = "a journey through light";
const wchar_t* const kFace = L"DejaVu Serif";
// The subtitle stands this far in front of the eye; text events draw 200 units to the em.
constexpr float kSubtitleDistance = 16;

}  // namespace

k_CaptionWorld::k_CaptionWorld(IEngine* engine) : k_World(engine, "Captions") {}

k_CaptionWorld::~k_CaptionWorld() = default;

void k_CaptionWorld::Initialize()
{
    IResourceFactory* factory = m_engine->GetResourceFactory();
    const float night[4] = {0.02f, 0.025f, 0.05f, 1};
    SetClearColor(night);

    ICamera* camera = factory->CreateCamera();
    if (!camera) return;
    camera->SetEye(Vector::Point(0, 0.4f, 7));
    camera->SetTarget(Vector::Point(0, 0.2f, 0));
    camera->SetUp(Vector::Direction(0, 1, 0));
    SetCamera(camera);

    if (ILight* light = factory->CreateLight()) {
        light->SetLightPosition(Vector::Point(-4, 5, 6));
        light->SetDiffuse(Colour(1, 0.85f, 0.65f, 1));
        AddLight(light);
    }

    IText* title = factory->CreateText(kTitle, kFace, 200, 0.25f, IText::Bold);
    // Without a font the scene is an empty night: a run that shows nothing must not pass.
    if (!title) {
        static const std::wstring message = L"The text scene cannot open the font '" + std::wstring(kFace) +
                                            L"' nor its stand-in '" + Text::FromUtf8(FontFinder::kFallbackFamily) +
                                            L"': no outline font is installed.";
        throw message.c_str();
    }
    title->SetMaterial(factory->LoadMaterial(L"Common/TextLight.mat:title", L"Common/TextLight.mat"));
    m_titleWidth = static_cast<float>(title->GetTextWidth()) / title->GetFontSize();
    m_title = dynamic_cast<IRenderable*>(title);
    AddRenderable(m_title);

    // Centred by the width of the same words in the same font, which the event will share.
    IText* measure = factory->CreateText(kSubtitle, kFace, 200, 0.2f, 0);
    const float subtitleWidth = measure ? static_cast<float>(measure->GetTextWidth()) / measure->GetFontSize() : 0;
    m_subtitle = std::make_unique<k_TextEvent>(this, this, 0.5, m_engine, kFace, kSubtitle,
                                               Vector(-0.5f * subtitleWidth, -3.9f, kSubtitleDistance, 0), 1e6,
                                               k_TextEvent::InEntrance, 2.5f, k_TextEvent::OutAtEnd, 0.0f);
}

void k_CaptionWorld::Update()
{
    if (!m_title) return;
    const float t = static_cast<float>(m_engine->GetTimeline()->GetTime());
    // The title turns about its own centre, so the walls of its letters catch the light.
    m_title->SetRotation(Quaternion::FromAxisAngle(Vector::Direction(0, 1, 0), 18 * std::sin(0.45f * t)));
    m_title->SetPosition(Vector::Point(0, 0.1f + 0.08f * std::sin(0.7f * t), 0));
    const float centre[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -0.5f * m_titleWidth, 0, 0.1f, 1};
    m_title->SetLocalMatrix(centre);
}
