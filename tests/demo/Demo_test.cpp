// The demo script on a real engine with the project's data.pak: the loading bar, the worlds in
// drawing order, the 34 picture events, the demo's own cues on the clock, and the frame's clear.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ITimeline.h"
#include "demo/k_Demo.h"
#include "engine/k_Engine.h"
#include "engine/k_Window.h"
#include "platform/Text.h"
#include "core/IShaderProgram.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"
#include "core/IWorld.h"
#include "demo/k_AfterWorld.h"
#include "demo/k_PlasmaWorld.h"

namespace {

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
        engine = std::make_unique<k_Engine>(L".", Text::FromUtf8(std::string(build) + "/data.pak"));
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

    LogCapture log;
    std::unique_ptr<k_Engine> engine;
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

    demo->Trigger(1);
    EXPECT_TRUE(worlds["Terrain"]->IsVisible());
    EXPECT_TRUE(worlds["Hdr"]->IsVisible());

    demo->Trigger(3);
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

    demo->Animate(0.25, 1);
    EXPECT_EQ(Fade(), Vector(0, 0, 0, 0.75f));
    demo->Animate(1.0, 2);
    EXPECT_EQ(Fade(), Vector(1, 1, 1, 1));
    demo->Animate(0.25, 3);
    EXPECT_EQ(Fade(), Vector(1, 1, 1, 0.75f));
    demo->Animate(0.4, 4);
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
