// The caption event: its display, its registrations and its fade tables.
#include "scene/k_TextEvent.h"

#include "core/IEngine.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "core/MaterialPass.h"
#include "core/IAnimationManager.h"
#include "core/IMeshBuffer.h"
#include "core/IText.h"
#include "scene/k_CameraAttachedRenderable.h"
#include "scene/k_DistortedQuad.h"
#include "core/IWorld.h"

namespace {

// Numbers the text material instances, so each caption fades on its own.
int g_textMaterialCounter = 0;

// Every caption is built the same: the demo's captions differ only in face and words.
constexpr int kTextSize = 200;
constexpr float kTextDepth = 0.2f;

}  // namespace

k_TextEvent::k_TextEvent(IWorld* handOverWorld, IWorld* displayWorld, double start, IEngine* engine,
                         const std::wstring& name, const std::string& text, const Vector& placement, double duration,
                         int fadeInMode, float fadeInSeconds, int fadeOutMode, float fadeOutSeconds)
    : m_handOverWorld(handOverWorld),
      m_displayWorld(displayWorld),
      m_fadeInMode(fadeInMode),
      m_fadeOutMode(fadeOutMode)
{
    IResourceFactory* factory = engine->GetResourceFactory();
    if (!text.empty()) {
        const std::wstring materialName =
            L"Common/TextLight.mat" + std::wstring(1, static_cast<wchar_t>(L'0' + g_textMaterialCounter++));
        m_text = factory->CreateText(text, name, kTextSize, kTextDepth, 0);
        auto holder = std::make_unique<k_CameraAttachedRenderable>(engine, placement);
        if (m_text) {
            m_text->SetMaterial(factory->LoadMaterial(materialName, L"Common/TextLight.mat"));
            holder->AddChild(dynamic_cast<IRenderable*>(m_text));
        }
        m_display = std::move(holder);
    } else {
        auto quad = std::make_unique<k_DistortedQuad>(engine, factory->LoadTexture(name, name));
        m_quad = quad.get();
        m_display = std::move(quad);
    }

    IAnimationManager* animations = engine->GetAnimationManager();
    const double end = start + duration;
    animations->AddEvent(start, this, Starts);
    if (fadeInSeconds != 0) {
        animations->AddEvent(start + fadeInSeconds, this, FadeInEnds);
        animations->AddAnimation(start, start + fadeInSeconds, this, FadingIn);
    }
    if (fadeOutSeconds != 0) {
        animations->AddEvent(end - fadeOutSeconds, this, FadeOutStarts);
        animations->AddAnimation(end - fadeOutSeconds, end, this, FadingOut);
    }
    animations->AddEvent(end, this, Ends);
}

k_TextEvent::~k_TextEvent() = default;

void k_TextEvent::Trigger(int type)
{
    switch (type) {
    case Starts:
        if (m_fadeInMode == InAlphaUp) {
            SetUniform("animPos", 1);
            SetUniform("alpha", 0);
        } else if (m_fadeInMode == InEntrance) {
            SetUniform("animPos", 0);
            SetUniform("alpha", 1);
        }
        if (m_fadeInMode >= InAtOnce && m_fadeInMode <= InEntrance) Show();
        break;
    case FadeInEnds:
        if (m_fadeInMode == InAlphaUp) SetUniform("alpha", 1);
        if (m_fadeInMode == InEntrance) SetUniform("animPos", 1);
        break;
    case FadeOutStarts:
        if (m_fadeOutMode == OutAlphaDown) SetUniform("alpha", 1);
        if (m_fadeOutMode == OutAtRest) SetUniform("animPos", 1);
        if (m_fadeOutMode == OutHandOver) {
            Hide(m_displayWorld);
            if (m_handOverWorld) m_handOverWorld->AddRenderable(m_display.get());
        }
        break;
    case Ends:
        if (m_fadeOutMode == OutHandOver) Hide(m_handOverWorld);
        else if (m_fadeOutMode >= OutAtEnd && m_fadeOutMode <= OutEntranceBack) Hide(m_displayWorld);
        break;
    default:
        break;
    }
}

void k_TextEvent::Animate(double progress, int id)
{
    const float value = static_cast<float>(progress);
    if (id == FadingIn && m_fadeInMode == InAlphaUp) SetUniform("alpha", value);
    if (id == FadingIn && m_fadeInMode == InEntrance) SetUniform("animPos", value);
    if (id == FadingOut && m_fadeOutMode == OutAlphaDown) SetUniform("alpha", 1 - value);
    if (id == FadingOut && m_fadeOutMode == OutEntranceBack) SetUniform("animPos", 1 - value);
}

void k_TextEvent::SetUniform(std::string_view name, float value)
{
    IMaterial* material = m_text ? m_text->GetMaterial() : m_quad ? m_quad->GetMaterial() : nullptr;
    MaterialPass* pass = material ? material->FindPass(m_displayWorld) : nullptr;
    if (pass && pass->program) pass->program->SetFloat(name, value);
}

void k_TextEvent::Show()
{
    // Visible again: the drift world hides what it has taken, and a rewound clock shows it anew.
    m_display->SetVisible(true);
    if (m_displayWorld) m_displayWorld->AddRenderable(m_display.get());
}

void k_TextEvent::Hide(IWorld* world)
{
    if (world) world->RemoveRenderable(m_display.get());
}
