// Seeking: what a seek draws on the way (only the steps and the worlds whose history reaches the
// target, as often as each needs, in frames that are never shown), and the real demo going back:
// a rewound demo keeps what it loaded, puts its worlds back as the set-up left them and seeks to
// the very frames of its first pass.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <cstdlib>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/IRenderable.h"
#include "core/IRenderer.h"
#include "core/ITimeline.h"
#include "core/IWorld.h"
#include "demo/k_Demo.h"
#include "engine/k_Engine.h"
#include "engine/k_Window.h"
#include "engine/k_World.h"
#include "makers/Seek.h"
#include "platform/Text.h"
#include "resources/LoadClock.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 180;
constexpr double kStep = 0.1;

double LoadSeconds() { return LoadClock::Seconds(LoadClock::Textures) + LoadClock::Seconds(LoadClock::Shaders); }

class Seek : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* build = std::getenv("KORVANTA_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        engine = std::make_unique<k_Engine>(L".", Text::FromUtf8(std::string(build) + "/data.pak"));
        window = std::make_unique<k_Window>(L"seek test", kWidth, kHeight, engine.get(), false);
        window->Create();
        engine->Initialize();
        demo = std::make_unique<k_Demo>(engine.get());
        demo->Setup();
        engine->Advance(kPrimingStep);
    }

    void TearDown() override
    {
        EXPECT_EQ(log.Count(Log::Level::Error), 0) << log.Lines().front();
        demo.reset();
        window.reset();
        engine.reset();
    }

    // The picture of the frame at time, reached as the player reaches it: a seek, then a frame.
    std::vector<unsigned char> FrameAt(double time)
    {
        EXPECT_TRUE(SeekDemo(engine.get(), demo.get(), time, kStep, [](double) { return true; }));
        demo->BeginFrame();
        engine->Advance(time - engine->GetTimeline()->GetTime());
        std::vector<unsigned char> pixels(kWidth * kHeight * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // What each world holds and whether it is shown, by name.
    std::map<std::string, std::pair<std::vector<IRenderable*>, bool>> Worlds()
    {
        std::map<std::string, std::pair<std::vector<IRenderable*>, bool>> worlds;
        for (IWorld* world : engine->GetWorlds()) worlds[world->GetName()] = {world->GetRenderables(), world->IsVisible()};
        return worlds;
    }

    LogCapture log;
    std::unique_ptr<k_Engine> engine;
    std::unique_ptr<k_Window> window;
    std::unique_ptr<k_Demo> demo;
};

// Mean difference of two pictures, 0 to 1.
double MeanDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += std::abs(a[i] - b[i]);
    return sum / (255.0 * static_cast<double>(a.size()));
}

bool IsBlack(const std::vector<unsigned char>& picture)
{
    for (size_t i = 0; i < picture.size(); i += 4)
        if (picture[i] || picture[i + 1] || picture[i + 2]) return false;
    return true;
}

// A world with a history of its own from demo time `from` on (as a picture handed over by a
// cue starts one) that notes the demo time of each frame drawn, and whether that frame was to be
// shown. It keeps what others drew.
class HistoryWorld : public k_World {
public:
    HistoryWorld(IEngine* engine, double seconds, double step, double from = 0)
        : k_World(engine, "History"), m_seconds(seconds), m_step(step), m_from(from)
    {
    }
    double GetHistorySeconds() override { return m_engine->GetTimeline()->GetTime() >= m_from ? m_seconds : 0; }
    double GetHistoryStep() override { return m_step; }
    void Clear() override {}
    void OnRenderStage(RenderStage stage) override
    {
        if (stage == BeforeTarget) drawn.push_back({m_engine->GetTimeline()->GetTime(), m_engine->GetRenderer()->IsUnseen()});
    }

    std::vector<std::pair<double, bool>> drawn;

private:
    double m_seconds;
    double m_step;
    double m_from;
};

class SeekSteps : public GlTest {};

}  // namespace

// To 10 s at a step of 0.1: a world that needs every step of its last 3 s is drawn at each of
// them, one that needs a frame every half second of its last 2 s at four, one without a history
// at none, and one whose history starts within a step at that very step; all in unseen frames.
// The frame after the seek draws every world again, seen.
TEST_F(SeekSteps, ASeekDrawsEachWorldAsOftenAsItsHistoryNeedsAndShowsNothing)
{
    HistoryWorld everyStep(engine.get(), 3, 0), everyHalf(engine.get(), 2, 0.5), none(engine.get(), 0, 0),
        late(engine.get(), 3, 0, 8.55);
    for (HistoryWorld* world : {&everyStep, &everyHalf, &none, &late}) engine->AddWorld(world);
    k_Demo demo(engine.get());
    engine->Advance(kPrimingStep);
    for (HistoryWorld* world : {&everyStep, &everyHalf, &none, &late}) world->drawn.clear();

    // The clock runs kPrimingStep ahead of the multiples of the step.
    ASSERT_TRUE(SeekDemo(engine.get(), &demo, 10, 0.1, [](double) { return true; }));
    ASSERT_EQ(everyStep.drawn.size(), 30u);  // 7.0 ... 9.9
    EXPECT_NEAR(everyStep.drawn.front().first, 7.0, 1e-4);
    ASSERT_EQ(everyHalf.drawn.size(), 4u);
    for (size_t i = 0; i < everyHalf.drawn.size(); ++i)
        EXPECT_NEAR(everyHalf.drawn[i].first, 8.0 + 0.5 * static_cast<double>(i), 1e-4);
    EXPECT_TRUE(none.drawn.empty());
    ASSERT_EQ(late.drawn.size(), 14u);  // 8.6 ... 9.9
    EXPECT_NEAR(late.drawn.front().first, 8.6, 1e-4);
    for (HistoryWorld* world : {&everyStep, &everyHalf, &late})
        for (const auto& [time, unseen] : world->drawn) EXPECT_TRUE(unseen) << time;

    engine->Advance(0.1);
    for (HistoryWorld* world : {&everyStep, &everyHalf, &none, &late}) {
        ASSERT_FALSE(world->drawn.empty());
        EXPECT_NEAR(world->drawn.back().first, 10.0, 1e-4);
        EXPECT_FALSE(world->drawn.back().second);
    }
}

// The landscape through the adapted exposure, the plasma with a picture and the greetings
// melting in the drift buffer: the state a rewind must put back lives in render targets,
// uniforms, the worlds' lists and the scheduler.
TEST_F(Seek, ARewoundDemoKeepsWhatItLoadedAndSeeksToTheFramesOfItsFirstPass)
{
    const auto primed = Worlds();
    const double times[] = {40, 100, 145.5};
    std::vector<std::vector<unsigned char>> first;
    for (double time : times) first.push_back(FrameAt(time));
    const double loaded = LoadSeconds();

    engine->Rewind();
    EXPECT_EQ(engine->GetTimeline()->GetTime(), 0);
    engine->Advance(kPrimingStep);
    EXPECT_EQ(Worlds(), primed);
    for (size_t i = 0; i < std::size(times); ++i) {
        const std::vector<unsigned char> again = FrameAt(times[i]);
        EXPECT_FALSE(IsBlack(again)) << times[i];
        EXPECT_LT(MeanDifference(first[i], again), 0.002) << "at " << times[i] << " s";
    }
    EXPECT_EQ(LoadSeconds(), loaded);
}
