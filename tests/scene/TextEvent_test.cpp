// Caption events: what they register on the clock, and their fade tables read through the
// worlds that hold the display and the uniforms of its material.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/ITimeline.h"
#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "core/MaterialPass.h"
#include "core/IMeshBuffer.h"
#include "core/IRenderable.h"
#include "core/IText.h"
#include "scene/k_TextEvent.h"
#include "support/GlTest.h"
#include "support/ScratchFolder.h"
#include "engine/k_World.h"

namespace {

// Instants and intervals fall between the clock's steps of 1/8 s, so each fires exactly once.
constexpr double kStep = 0.125;
constexpr double kStart = 1.0625;

// Logs what the clock calls, then lets the event do it.
class RecordingEvent : public k_TextEvent {
public:
    using k_TextEvent::k_TextEvent;

    void Trigger(int type) override
    {
        triggers.push_back(type);
        k_TextEvent::Trigger(type);
    }
    void Animate(double progress, int id) override
    {
        animations.push_back(id);
        progresses.push_back(progress);
        k_TextEvent::Animate(progress, id);
    }

    std::vector<int> triggers, animations;
    std::vector<double> progresses;
};

class TextEvent : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        UseSourceData();
        display = std::make_unique<k_World>(engine.get(), "Captions");
        handOver = std::make_unique<k_World>(engine.get(), "Drift");
    }

    void TearDown() override
    {
        events.clear();
        GlTest::TearDown();
    }

    RecordingEvent* Make(int fadeInMode, float fadeInSeconds, int fadeOutMode, float fadeOutSeconds,
                         double duration = 3, const std::string& text = "Caption", const std::wstring& name = L"DejaVu Sans",
                         double start = kStart)
    {
        events.push_back(std::make_unique<RecordingEvent>(handOver.get(), display.get(), start, engine.get(), name,
                                                          text, Vector(-1, 0, 5, 0), duration, fadeInMode,
                                                          fadeInSeconds, fadeOutMode, fadeOutSeconds));
        return events.back().get();
    }

    void RunClockTo(double time)
    {
        ITimeline* timeline = engine->GetTimeline();
        while (timeline->GetTime() + kStep / 2 < time) timeline->Advance(kStep);
    }

    static bool Holds(k_World& world, k_TextEvent* event)
    {
        const std::vector<IRenderable*>& list = world.GetRenderables();
        return std::count(list.begin(), list.end(), event->GetDisplay()) == 1;
    }

    IShaderProgram* Program(k_TextEvent* event)
    {
        IMaterial* material = event->GetText() ? event->GetText()->GetMaterial()
                                               : dynamic_cast<IMeshBuffer*>(event->GetDisplay())->GetMaterial();
        MaterialPass* pass = material ? material->FindPass(display.get()) : nullptr;
        return pass ? pass->program : nullptr;
    }

    ScratchFolder folder;
    std::unique_ptr<k_World> display, handOver;
    std::vector<std::unique_ptr<RecordingEvent>> events;
};

TEST_F(TextEvent, RegistersOnlyTheFadesItHasInOrder)
{
    RecordingEvent* plain = Make(1, 0, 1, 0);
    RecordingEvent* fadeIn = Make(1, 0.5f, 1, 0);
    RecordingEvent* fadeOut = Make(1, 0, 1, 0.5f);
    // Fades as long as the caption: the fade-out starts with it and the fade-in ends with it,
    // so the order of the calls at one instant shows the order of registration. It starts on
    // its own: intervals with a common start run over the first one registered.
    RecordingEvent* both = Make(1, 3, 1, 3, 3, "Caption", L"DejaVu Sans", kStart + 0.25);
    RunClockTo(kStart + 4.5);

    EXPECT_EQ(plain->triggers, (std::vector<int>{1, 4}));
    EXPECT_TRUE(plain->animations.empty());
    EXPECT_EQ(fadeIn->triggers, (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(fadeIn->animations, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(fadeOut->triggers, (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(fadeOut->animations, (std::vector<int>{3, 3, 3, 3}));
    EXPECT_EQ(both->triggers, (std::vector<int>{1, 3, 2, 4}));
    // Both intervals cover the whole caption: in and out are driven together every step.
    ASSERT_EQ(both->animations.size(), 48u);
    EXPECT_EQ(both->animations[0], 1);
    EXPECT_EQ(both->animations[1], 3);
    for (double progress : fadeIn->progresses) EXPECT_TRUE(progress > 0 && progress < 1) << progress;
}

TEST_F(TextEvent, OnTheClockItFadesInAndHandsItsDisplayOver)
{
    RecordingEvent* event = Make(1, 1, 3, 1);
    ASSERT_NE(event->GetText(), nullptr);
    IShaderProgram* program = Program(event);
    ASSERT_NE(program, nullptr);

    RunClockTo(kStart - 0.5);
    EXPECT_FALSE(Holds(*display, event));
    RunClockTo(kStart + 0.5);  // 7/16 of a second into the fade-in
    EXPECT_TRUE(Holds(*display, event));
    EXPECT_FLOAT_EQ(program->GetFloat("alpha"), 0.4375f);
    EXPECT_FLOAT_EQ(program->GetFloat("animPos"), 1);
    RunClockTo(kStart + 1.5);
    EXPECT_FLOAT_EQ(program->GetFloat("alpha"), 1);
    RunClockTo(kStart + 2.5);  // in the fade-out, mode 3: the other world has it
    EXPECT_FALSE(Holds(*display, event));
    EXPECT_TRUE(Holds(*handOver, event));
    EXPECT_EQ(event->GetDisplay()->GetWorld(), handOver.get());
    RunClockTo(kStart + 3.5);
    EXPECT_FALSE(Holds(*display, event));
    EXPECT_FALSE(Holds(*handOver, event));
}

TEST_F(TextEvent, TriggerAndAnimateFollowTheFadeTables)
{
    constexpr float kUnset = 0.125f;  // what the uniforms hold before the call under test
    constexpr float kSame = -1;
    enum Where { Nowhere, InDisplay, InHandOver };
    struct Call {
        bool animate;
        int code;  // type, or interval id
    };
    const struct {
        int fadeIn, fadeOut;
        std::vector<Call> calls;  // the last one is the call under test
        Where where;
        float alpha, animPos;
    } cases[] = {
        {0, 0, {{false, 1}}, InDisplay, kSame, kSame},
        {1, 0, {{false, 1}}, InDisplay, 0, 1},
        {2, 0, {{false, 1}}, InDisplay, kSame, kSame},
        {3, 0, {{false, 1}}, InDisplay, 1, 0},
        {4, 0, {{false, 1}}, Nowhere, kSame, kSame},
        {0, 0, {{false, 2}}, Nowhere, kSame, kSame},
        {1, 0, {{false, 2}}, Nowhere, 1, kSame},
        {2, 0, {{false, 2}}, Nowhere, kSame, kSame},
        {3, 0, {{false, 2}}, Nowhere, kSame, 1},
        {0, 0, {{false, 1}, {false, 3}}, InDisplay, kSame, kSame},
        {0, 1, {{false, 1}, {false, 3}}, InDisplay, 1, kSame},
        {0, 2, {{false, 1}, {false, 3}}, InDisplay, kSame, 1},
        {0, 3, {{false, 1}, {false, 3}}, InHandOver, kSame, kSame},
        {0, 4, {{false, 1}, {false, 3}}, InDisplay, kSame, kSame},
        {0, 0, {{false, 1}, {false, 4}}, Nowhere, kSame, kSame},
        {0, 1, {{false, 1}, {false, 4}}, Nowhere, kSame, kSame},
        {0, 2, {{false, 1}, {false, 4}}, Nowhere, kSame, kSame},
        {0, 3, {{false, 1}, {false, 3}, {false, 4}}, Nowhere, kSame, kSame},
        {0, 4, {{false, 1}, {false, 4}}, Nowhere, kSame, kSame},
        {0, 5, {{false, 1}, {false, 4}}, InDisplay, kSame, kSame},
        {0, 0, {{false, 1}, {false, 7}}, InDisplay, kSame, kSame},
        {0, 0, {{true, 1}}, Nowhere, kSame, kSame},
        {1, 0, {{true, 1}}, Nowhere, 0.75f, kSame},
        {2, 0, {{true, 1}}, Nowhere, kSame, kSame},
        {3, 0, {{true, 1}}, Nowhere, kSame, 0.75f},
        {1, 1, {{true, 3}}, Nowhere, 0.25f, kSame},
        {3, 2, {{true, 3}}, Nowhere, kSame, kSame},
        {3, 4, {{true, 3}}, Nowhere, kSame, 0.25f},
        {1, 4, {{true, 2}}, Nowhere, kSame, kSame},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("fade-in mode " + std::to_string(c.fadeIn) + ", fade-out mode " + std::to_string(c.fadeOut) +
                     ", last call " + (c.calls.back().animate ? "Animate " : "Trigger ") +
                     std::to_string(c.calls.back().code));
        RecordingEvent* event = Make(c.fadeIn, 1, c.fadeOut, 1);
        IShaderProgram* program = Program(event);
        ASSERT_NE(program, nullptr);
        for (const Call& call : c.calls) {
            program->SetFloat("alpha", kUnset);
            program->SetFloat("animPos", kUnset);
            if (call.animate)
                event->Animate(0.75, call.code);
            else
                event->Trigger(call.code);
        }
        EXPECT_EQ(Holds(*display, event), c.where == InDisplay);
        EXPECT_EQ(Holds(*handOver, event), c.where == InHandOver);
        EXPECT_FLOAT_EQ(program->GetFloat("alpha"), c.alpha == kSame ? kUnset : c.alpha);
        EXPECT_FLOAT_EQ(program->GetFloat("animPos"), c.animPos == kSame ? kUnset : c.animPos);
        display->GetRenderables().clear();
        handOver->GetRenderables().clear();
    }
}

TEST_F(TextEvent, EachCaptionFadesItsOwnMaterial)
{
    RecordingEvent* first = Make(1, 1, 0, 0);
    RecordingEvent* second = Make(1, 1, 0, 0);
    ASSERT_NE(Program(first), Program(second));
    first->Animate(0.5, 1);
    second->Animate(0.25, 1);
    EXPECT_FLOAT_EQ(Program(first)->GetFloat("alpha"), 0.5f);
    EXPECT_FLOAT_EQ(Program(second)->GetFloat("alpha"), 0.25f);
    // Both captions share the glyphs of their font.
    EXPECT_EQ(first->GetText()->GetFaceName(), L"DejaVu Sans");
    EXPECT_EQ(first->GetText()->GetFontSize(), 200);
    EXPECT_FLOAT_EQ(first->GetText()->GetDepth(), 0.2f);
}

TEST_F(TextEvent, AnEmptyTextShowsThePictureOnAQuad)
{
    ASSERT_EQ(folder.Run("convert -size 64x16 xc:orange PNG32:sign.png"), 0);
    RecordingEvent* event = Make(1, 1, 0, 0, 3, "", L"sign.png");
    EXPECT_EQ(event->GetText(), nullptr);
    IMeshBuffer* quad = dynamic_cast<IMeshBuffer*>(event->GetDisplay());
    ASSERT_NE(quad, nullptr);
    ASSERT_NE(quad->GetMaterial(), nullptr);
    EXPECT_EQ(quad->GetMaterial()->GetPasses().front()->textures.at(0).texture,
              engine->GetResourceFactory()->LoadTexture(L"sign.png", L"sign.png"));
    event->Trigger(1);
    EXPECT_TRUE(Holds(*display, event));
    EXPECT_FLOAT_EQ(Program(event)->GetFloat("alpha"), 0);
    event->Animate(0.5, 1);
    EXPECT_FLOAT_EQ(Program(event)->GetFloat("alpha"), 0.5f);
}

}  // namespace
