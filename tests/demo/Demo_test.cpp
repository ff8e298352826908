// The demo script on a real engine with the project's data.pak: the loading bar, the worlds in
// drawing order, the 34 picture events as the clock sees them, the demo's own cues on the clock,
// and the frame's clear.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/IAnimationManager.h"
#include "core/IMaterial.h"
#include "core/IMeshBuffer.h"
#include "core/IRenderable.h"
#include "core/IResourceFactory.h"
#include "core/ITimeline.h"
#include "demo/k_Demo.h"
#include "engine/k_Engine.h"
#include "engine/k_Window.h"
#include "platform/Text.h"
#include "core/IShaderProgram.h"
#include "scene/k_TextEvent.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"
#include "core/IWorld.h"
#include "demo/k_AfterWorld.h"
#include "demo/k_PlasmaWorld.h"

namespace {

// Notes every registration on the way to the engine's own scheduler, so a test reads the clock
// as the demo filled it.
class RecordingAnimations : public IAnimationManager {
public:
    struct Instant {
        double time;
        IEvent* event;
        int type;
    };
    explicit RecordingAnimations(IAnimationManager* scheduler) : m_scheduler(scheduler) {}

    void AddAnimation(double start, double end, IAnimateable* object, int id) override
    {
        m_scheduler->AddAnimation(start, end, object, id);
    }
    void AddRealTimeAnimation(double start, double end, IAnimateable* object, int id) override
    {
        m_scheduler->AddRealTimeAnimation(start, end, object, id);
    }
    void AddEvent(double time, IEvent* event, int type) override
    {
        instants.push_back({time, event, type});
        m_scheduler->AddEvent(time, event, type);
    }
    void AddRealTimeEvent(double time, IEvent* event, int type) override
    {
        m_scheduler->AddRealTimeEvent(time, event, type);
    }
    void Update() override { m_scheduler->Update(); }
    void Rewind() override { m_scheduler->Rewind(); }

    std::vector<Instant> instants;

private:
    IAnimationManager* m_scheduler;
};

// How a picture enters and leaves, written out apart from the script's own table.
struct ExpectedTransition {
    const char* name;
    int inKind;
    double inSeconds;
    int outKind;
    double outSeconds;
};
using Event = k_TextEvent;
const ExpectedTransition kS1{"S1", Event::InEntrance, 3.0, Event::OutEntranceBack, 3.0};
const ExpectedTransition kS2{"S2", Event::InAlphaUp, 0.5, Event::OutAlphaDown, 0.25};
const ExpectedTransition kS3{"S3", Event::InAlphaUp, 2.0, Event::OutAlphaDown, 2.0};
const ExpectedTransition kS4{"S4", Event::InEntrance, 10.0, Event::OutHandOver, 3.0};
const ExpectedTransition kS5{"S5", Event::InAlphaUp, 0.25, Event::OutHandOver, 0.1};

const struct Picture {
    const wchar_t* file;
    double start, duration;
    const ExpectedTransition& set;
} kPictures[] = {
    {L"time.png", 0, 10, kS1},           {L"it-is-time.png", 8, 10, kS1},
    {L"whattime1.png", 10, 2, kS2},      {L"whattime2.png", 11.5, 2, kS2},
    {L"whattime3.png", 13, 2, kS2},      {L"whattime4.png", 14.5, 2, kS2},
    {L"married.png", 18, 10, kS1},       {L"married2.png", 25, 5, kS3},
    {L"friend.png", 30, 15, kS4},        {L"goodbye.png", 45, 30, kS4},
    {L"gratitude.png", 76, 4, kS2},      {L"Thanks/thanks1.png", 80, 13, kS1},
    {L"Thanks/thanks2.png", 91, 13, kS1}, {L"Thanks/thanks3.png", 102, 14, kS1},
    {L"Thanks/thanks4.png", 114, 13, kS1}, {L"Thanks/thanks5.png", 125, 12, kS1},
    {L"adore.png", 137, 4, kS2},         {L"greet1.png", 141, 1.5, kS5},
    {L"greet2.png", 143, 1.5, kS5},      {L"greet3.png", 145, 1.5, kS5},
    {L"greet4.png", 147, 1.5, kS5},      {L"greet5.png", 149, 1.5, kS5},
    {L"greet6.png", 151, 1.5, kS5},      {L"greet7.png", 153, 1.5, kS5},
    {L"greet8.png", 155, 1.5, kS5},      {L"greet9.png", 157, 1.5, kS5},
    {L"greet10.png", 159, 1.5, kS5},     {L"greet11.png", 161, 1.5, kS5},
    {L"greet12.png", 163, 1.5, kS5},     {L"greet13.png", 165, 1.5, kS5},
    {L"greet14.png", 167, 1.5, kS5},     {L"function.png", 170, 4, kS3},
    {L"were-not-dead.png", 175, 10, kS5}, {L"friend-says.png", 185, 1000, kS5},
};


class RecordingEngine : public k_Engine {
public:
    using k_Engine::k_Engine;
    IAnimationManager* GetAnimationManager() override { return &recorder; }
    RecordingAnimations recorder{k_Engine::GetAnimationManager()};
};

// Records the loading bar's steps, then draws them as the demo does.
class RecordingDemo : public k_Demo {
public:
    using k_Demo::k_Demo;
    using k_Demo::kLoadingSteps;
    std::vector<int> steps;

protected:
    void LoadingStep(int step) override
    {
        steps.push_back(step);
        k_Demo::LoadingStep(step);
    }
};

class Demo : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* build = std::getenv("KORVANTA_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        engine = std::make_unique<RecordingEngine>(L".", Text::FromUtf8(std::string(build) + "/data.pak"));
        window = std::make_unique<k_Window>(L"demo test", 320, 180, engine.get(), false);
        window->Create();
        engine->Initialize();
        demo = std::make_unique<RecordingDemo>(engine.get());
        demo->Setup();
        for (IWorld* world : engine->GetWorlds()) worlds[world->GetName()] = world;
    }

    void TearDown() override
    {
        EXPECT_EQ(log.Count(Log::Level::Error), 0) << log.Lines().front();
        demo.reset();
        window.reset();
        engine.reset();
    }

    IShaderProgram* Plasma() { return static_cast<k_PlasmaWorld*>(worlds["Plasma"])->GetProgram(); }
    Vector Fade() { return Plasma()->GetVector4("fadeColor"); }

    // The picture events in the order the clock got them, each with its instants by type.
    std::vector<std::pair<k_TextEvent*, std::map<int, double>>> PictureEvents()
    {
        std::vector<std::pair<k_TextEvent*, std::map<int, double>>> events;
        for (const RecordingAnimations::Instant& instant : engine->recorder.instants) {
            auto* event = dynamic_cast<k_TextEvent*>(instant.event);
            if (!event) continue;
            if (events.empty() || events.back().first != event) events.push_back({event, {}});
            events.back().second[instant.type] = instant.time;
        }
        return events;
    }

    // Advances the clock in steps of at most half a second, landing on time.
    void RunUntil(double time)
    {
        ITimeline* timeline = engine->GetTimeline();
        while (timeline->GetTime() < time) timeline->Advance(std::min(0.5, time - timeline->GetTime()));
    }

    static bool Holds(IWorld* world, IRenderable* renderable)
    {
        const std::vector<IRenderable*>& list = world->GetRenderables();
        return std::find(list.begin(), list.end(), renderable) != list.end();
    }

    LogCapture log;
    std::unique_ptr<RecordingEngine> engine;
    std::unique_ptr<k_Window> window;
    std::unique_ptr<RecordingDemo> demo;
    std::map<std::string, IWorld*> worlds;
};

TEST_F(Demo, SetupBuildsTheWorldsInDrawingOrderAndShowsEveryLoadingStep)
{
    std::vector<std::string> names;
    for (IWorld* world : engine->GetWorlds()) names.push_back(world->GetName());
    EXPECT_EQ(names, (std::vector<std::string>{"Terrain", "Hdr", "Plasma", "AfterWorld", "Drift"}));
    EXPECT_FALSE(worlds["Terrain"]->IsVisible());
    EXPECT_FALSE(worlds["Hdr"]->IsVisible());
    EXPECT_TRUE(worlds["Plasma"]->IsVisible());
    EXPECT_NE(worlds["Terrain"]->GetRenderTarget(), nullptr);
    EXPECT_EQ(worlds["AfterWorld"]->GetCamera(), worlds["Terrain"]->GetCamera());
    EXPECT_EQ(worlds["Drift"]->GetCamera(), worlds["Terrain"]->GetCamera());

    ASSERT_EQ(demo->steps.size(), 39u);
    for (int k = 1; k <= 39; ++k) EXPECT_EQ(demo->steps[k - 1], k);
    EXPECT_EQ(static_cast<float>(demo->steps.back()) / RecordingDemo::kLoadingSteps, 1.0f);
}

TEST_F(Demo, TriggersSwitchTheScenesAndOtherCodesChangeNothing)
{
    demo->Trigger(2);
    demo->Trigger(0);
    EXPECT_FALSE(worlds["Terrain"]->IsVisible());
    EXPECT_EQ(Plasma()->GetInt("disablePlasma"), 1);

    demo->Trigger(ShowLandscape);
    EXPECT_TRUE(worlds["Terrain"]->IsVisible());
    EXPECT_TRUE(worlds["Hdr"]->IsVisible());

    demo->Trigger(ShowPlasma);
    EXPECT_EQ(Plasma()->GetInt("disablePlasma"), 0);
    EXPECT_FALSE(worlds["Terrain"]->IsVisible());
    EXPECT_FALSE(worlds["Hdr"]->IsVisible());
}

TEST_F(Demo, AnimationsFadeThroughThePlasmaAndTheLogo)
{
    const float start[4] = {0.2f, 0.3f, 0.4f, 0.5f};
    Plasma()->SetVector("fadeColor", start, 4);
    demo->Animate(0.5, 9);
    EXPECT_FLOAT_EQ(Fade().x, 0.2f) << "an unknown id changed the fade";

    demo->Animate(0.25, FadeInFromBlack);
    EXPECT_EQ(Fade(), Vector(0, 0, 0, 0.75f));
    demo->Animate(1.0, FadeToWhite);
    EXPECT_EQ(Fade(), Vector(1, 1, 1, 1));
    demo->Animate(0.25, FadeInFromWhite);
    EXPECT_EQ(Fade(), Vector(1, 1, 1, 0.75f));
    demo->Animate(0.4, FadeToLogo);
    EXPECT_EQ(Fade(), Vector(0, 0, 0, 0.4f));
    EXPECT_FLOAT_EQ(static_cast<k_AfterWorld*>(worlds["AfterWorld"])->GetLogoProgram()->GetFloat("alpha"), 0.4f);
}

TEST_F(Demo, TheClockShowsTheLandscapeFrom27UntilThePlasmaTakesOverAt76_6)
{
    ITimeline* timeline = engine->GetTimeline();
    const auto runUntil = [&](double time) {
        while (timeline->GetTime() < time) timeline->Advance(0.5);
    };
    runUntil(26.5);
    EXPECT_FALSE(worlds["Terrain"]->IsVisible());
    runUntil(27.1);
    EXPECT_TRUE(worlds["Terrain"]->IsVisible());
    EXPECT_TRUE(worlds["Hdr"]->IsVisible());
    EXPECT_LT(Fade().w, 1.0f);
    runUntil(76.7);
    EXPECT_FALSE(worlds["Terrain"]->IsVisible());
    EXPECT_EQ(Plasma()->GetInt("disablePlasma"), 0);
    runUntil(172.0);
    EXPECT_NEAR(Fade().w, (timeline->GetTime() - 169.0) / 6.0, 1e-4);
}

TEST_F(Demo, EveryPictureShowsItsFileForItsSpanWithItsTransitions)
{
    IWorld* after = worlds["AfterWorld"];
    IWorld* drift = worlds["Drift"];
    const auto events = PictureEvents();
    ASSERT_EQ(events.size(), std::size(kPictures));
    for (size_t i = 0; i < events.size(); ++i) {
        const Picture& row = kPictures[i];
        SCOPED_TRACE("picture " + std::to_string(i + 1) + " " + Text::ToUtf8(row.file) + " " + row.set.name);
        std::map<int, double> at = events[i].second;
        EXPECT_NEAR(at[Event::Starts], row.start, 1e-6);
        EXPECT_NEAR(at[Event::Ends] - at[Event::Starts], row.duration, 1e-6);
        EXPECT_NEAR(at[Event::FadeInEnds] - at[Event::Starts], row.set.inSeconds, 1e-6);
        EXPECT_NEAR(at[Event::Ends] - at[Event::FadeOutStarts], row.set.outSeconds, 1e-6);

        k_TextEvent* event = events[i].first;
        IRenderable* display = event->GetDisplay();
        IMeshBuffer* quad = dynamic_cast<IMeshBuffer*>(display);
        ASSERT_TRUE(quad && quad->GetMaterial() && quad->GetMaterial()->FindPass(after));
        ITexture* shown = quad->GetMaterial()->GetPasses().front()->textures[0].texture;
        EXPECT_NE(shown, nullptr);
        EXPECT_EQ(shown, engine->GetResourceFactory()->LoadTexture(row.file, row.file));

        // The event's kinds, told apart by what they do to the worlds and the uniforms.
        IShaderProgram* program = quad->GetMaterial()->FindPass(after)->program;
        ASSERT_NE(program, nullptr);
        const auto unset = [&] {
            program->SetFloat("alpha", -1);
            program->SetFloat("animPos", -1);
        };
        const auto is = [&](const char* uniform, float value) { return program->GetFloat(uniform) == value; };
        unset();
        event->Trigger(Event::Starts);
        EXPECT_TRUE(Holds(after, display));
        const int inKind = is("alpha", 0) && is("animPos", 1)   ? Event::InAlphaUp
                           : is("alpha", 1) && is("animPos", 0) ? Event::InEntrance
                                                                : Event::InAtOnce;
        EXPECT_EQ(inKind, row.set.inKind);

        unset();
        event->Trigger(Event::FadeOutStarts);
        int outKind = Event::OutAtEnd;
        if (Holds(drift, display) && !Holds(after, display)) {
            outKind = Event::OutHandOver;
        } else if (Holds(after, display)) {
            unset();
            event->Animate(0.25, Event::FadingOut);
            outKind = is("alpha", 0.75f)     ? Event::OutAlphaDown
                      : is("animPos", 0.75f) ? Event::OutEntranceBack
                                             : Event::OutAtEnd;
        }
        EXPECT_EQ(outKind, row.set.outKind);
        event->Trigger(Event::Ends);
        EXPECT_FALSE(Holds(after, display) || Holds(drift, display));
    }
}

TEST_F(Demo, AGreetingIsHandedToTheDriftWorldForItsLastTenthOfASecond)
{
    const auto events = PictureEvents();
    ASSERT_EQ(events.size(), std::size(kPictures));
    IRenderable* greeting = events[17].first->GetDisplay();  // greet1.png, 141 to 142.5
    const struct {
        double time;
        bool inAfterWorld, inDrift;
    } cases[] = {{141.1, true, false}, {142.35, true, false}, {142.45, false, true}, {142.55, false, false}};
    for (const auto& c : cases) {
        RunUntil(c.time);
        EXPECT_EQ(Holds(worlds["AfterWorld"], greeting), c.inAfterWorld) << c.time;
        EXPECT_EQ(Holds(worlds["Drift"], greeting), c.inDrift) << c.time;
    }
}

// The frame's clear, without the demo's data.
using DemoFrame = GlTest;

TEST_F(DemoFrame, BeginFrameClearsTheWindowToBlack)
{
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    k_Demo demo(engine.get());
    demo.BeginFrame();
    EXPECT_EQ(Pixel(10, 10), (std::array<int, 4>{0, 0, 0, Pixel(10, 10)[3]}));
    GLint front = 0;
    glGetIntegerv(GL_FRONT_FACE, &front);
    EXPECT_EQ(front, GL_CW);
}

TEST_F(DemoFrame, BeginFrameClearsDepthToZeroEvenAfterAPassThatMaskedIt)
{
    glDepthMask(GL_TRUE);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDepthMask(GL_FALSE);  // as a blended pass leaves it
    k_Demo demo(engine.get());
    demo.BeginFrame();
    EXPECT_EQ(DepthAt(10, 10), 0.0f);
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask);
}

}  // namespace
