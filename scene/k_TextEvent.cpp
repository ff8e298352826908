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

enum Type { Start = 1, FadeInEnd = 2, FadeOutStart = 3, End = 4 };
enum Interval { FadeIn = 1, FadeOut = 3 };

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
    animations->AddEvent(start, this, Start);
    if (fadeInSeconds != 0) {
        animations->AddEvent(start + fadeInSeconds, this, FadeInEnd);
        animations->AddAnimation(start, start + fadeInSeconds, this, FadeIn);
    }
    if (fadeOutSeconds != 0) {
        animations->AddEvent(end - fadeOutSeconds, this, FadeOutStart);
        animations->AddAnimation(end - fadeOutSeconds, end, this, FadeOut);
    }
    animations->AddEvent(end, this, End);
}

k_TextEvent::~k_TextEvent() = default;

void k_TextEvent::Trigger(int type)
{
    switch (type) {
    case Start:
        if (m_fadeInMode == 1) {
            SetUniform("animPos", 1);
            SetUniform("alpha", 0);
        } else if (m_fadeInMode == 3) {
            SetUniform("animPos", 0);
            SetUniform("alpha", 1);
        }
        if (m_fadeInMode >= 0 && m_fadeInMode <= 3) Show();
        break;
    case FadeInEnd:
        if (m_fadeInMode == 1) SetUniform("alpha", 1);
        if (m_fadeInMode == 3) SetUniform("animPos", 1);
        break;
    case FadeOutStart:
        if (m_fadeOutMode == 1) SetUniform("alpha", 1);
        if (m_fadeOutMode == 2) SetUniform("animPos", 1);
        if (m_fadeOutMode == 3) {
            Hide(m_displayWorld);
            if (m_handOverWorld) m_handOverWorld->AddRenderable(m_display.get());
        }
        break;
    case End:
        if (m_fadeOutMode == 3) Hide(m_handOverWorld);
        else if (m_fadeOutMode >= 0 && m_fadeOutMode <= 4) Hide(m_displayWorld);
        break;
    default:
        break;
    }
}

void k_TextEvent::Animate(double progress, int id)
{
    const float value = static_cast<float>(progress);
    if (id == FadeIn && m_fadeInMode == 1) SetUniform("alpha", value);
    if (id == FadeIn && m_fadeInMode == 3) SetUniform("animPos", value);
    if (id == FadeOut && m_fadeOutMode == 1) SetUniform("alpha", 1 - value);
    if (id == FadeOut && m_fadeOutMode == 4) SetUniform("animPos", 1 - value);
}

void k_TextEvent::SetUniform(std::string_view name, float value)
{
    IMaterial* material = m_text ? m_text->GetMaterial() : m_quad ? m_quad->GetMaterial() : nullptr;
    MaterialPass* pass = material ? material->FindPass(m_displayWorld) : nullptr;
    if (pass && pass->program) pass->program->SetFloat(name, value);
}

void k_TextEvent::Show()
{
    if (m_displayWorld) m_displayWorld->AddRenderable(m_display.get());
}

void k_TextEvent::Hide(IWorld* world)
{
    if (world) world->RemoveRenderable(m_display.get());
}
