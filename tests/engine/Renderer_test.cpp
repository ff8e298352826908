// The renderer on a real context: the drawing protocol of each world, compositing order, hidden
// worlds, linked worlds, lights, the time samples of one frame, and frames that allocate nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "core/ITimeline.h"
#include "core/IRenderTarget.h"
#include "core/IRenderer.h"
#include "graphics/k_RenderTarget.h"
#include "scene/k_Camera.h"
#include "scene/k_Light.h"
#include "scene/k_Renderable.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"
#include "engine/k_World.h"

// Counts operator new calls while armed, to show that steady frames allocate nothing. The
// sanitizer's allocator must stay in charge there, so the count is taken in plain builds only.
static bool g_countAllocations = false;
static int g_allocations = 0;
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kCountsAllocations = false;
#else
constexpr bool kCountsAllocations = true;

// g++ sees free() paired with a replaced operator new and cannot tell they belong together.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    if (g_countAllocations) ++g_allocations;
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
#endif

namespace {

using Journal = std::vector<std::string>;
using Rgba = std::array<int, 4>;

// A world that records its stages, clears and updates; it may clear to a colour or keep colour.
class RecordingWorld : public k_World {
public:
    RecordingWorld(IEngine* engine, const std::string& name, Journal& journal)
        : k_World(engine, name), journal(journal)
    {
    }
    void Update() override
    {
        ++updates;
        steps.push_back(m_engine->GetTimeline()->GetFrameDelta());
    }
    void OnRenderStage(RenderStage stage) override
    {
        journal.push_back(GetName() + " stage" + std::to_string(stage));
        if (stage == BeforeTarget) {
            EXPECT_EQ(m_engine->GetRenderer()->GetCurrentWorld(), this);
        }
    }
    void Clear() override
    {
        journal.push_back(GetName() + " clear");
        if (keepColour) {
            glDepthMask(GL_TRUE);
            glClearDepth(GetClearDepth());
            glClear(GL_DEPTH_BUFFER_BIT);
        } else {
            k_World::Clear();
        }
    }
    Journal& journal;
    bool keepColour = false;
    int updates = 0;
    std::vector<double> steps;
};

// Records Render; optionally fills the left half of the window with a colour.
class Square : public k_Renderable {
public:
    Square(IEngine* engine, const std::string& name, Journal& journal) : k_Renderable(engine), name(name), journal(journal) {}
    void Render() override
    {
        journal.push_back(name);
        k_Renderable::Render();
    }
    void DrawStage(Stage stage) override
    {
        if (stage != Geometry || !fill) return;
        ResetToPlainDrawing();
        glColor4f(colour.x, colour.y, colour.z, colour.w);
        glRectf(-1, -1, 0, 1);
    }
    std::string name;
    Journal& journal;
    bool fill = false;
    Colour colour{0, 0, 0, 1};
};

class RecordingTarget : public IRenderTarget {
public:
    explicit RecordingTarget(Journal& journal) : journal(journal) {}
    ITexture* AddTexture(int) override { return nullptr; }
    void Bind(Flags flags) override { journal.push_back("bind " + std::to_string(flags)); }
    void Unbind() override { journal.push_back("unbind"); }
    int GetWidth() override { return 1; }
    int GetHeight() override { return 1; }
    const std::vector<ITexture*>& GetTextures() override { return textures; }
    void CheckStatus() override {}
    Journal& journal;
    std::vector<ITexture*> textures;
};

class RecordingCamera : public k_Camera {
public:
    RecordingCamera(IEngine* engine, Journal& journal) : k_Camera(engine), journal(journal) {}
    void Apply() override
    {
        journal.push_back("camera");
        k_Camera::Apply();
    }
    Journal& journal;
};

class RecordingLight : public k_Light {
public:
    RecordingLight(IEngine* engine, Journal& journal) : k_Light(engine), journal(journal) {}
    void Enable(int index) override
    {
        journal.push_back("light " + std::to_string(index));
        k_Light::Enable(index);
    }
    Journal& journal;
};

class Renderer : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        renderer = engine->GetRenderer();
        renderer->SetTimeSamples(0);
        DrainErrors();
    }

    static void SetColour(IWorld& world, float r, float g, float b)
    {
        const float colour[4] = {r, g, b, 1};
        world.SetClearColor(colour);
    }

    // "Back" clears red; "Front" keeps the colour and fills the left half green with `square`.
    static void Dress(RecordingWorld& back, RecordingWorld& front, Square& square)
    {
        SetColour(back, 1, 0, 0);
        front.keepColour = true;
        square.fill = true;
        square.colour = {0, 1, 0, 1};
        front.AddRenderable(&square);
    }

    IRenderer* renderer = nullptr;
    Journal journal;
};

const Rgba kRed{255, 0, 0, 255};
const Rgba kGreen{0, 255, 0, 255};
const Rgba kBlue{0, 0, 255, 255};

TEST_F(Renderer, DrawsAWorldWithATargetInProtocolOrder)
{
    RecordingWorld world(engine.get(), "Main", journal);
    RecordingWorld linked(engine.get(), "Linked", journal);
    RecordingTarget target(journal);
    RecordingCamera camera(engine.get(), journal);
    RecordingLight light0(engine.get(), journal), light1(engine.get(), journal);
    Square own1(engine.get(), "own1", journal), own2(engine.get(), "own2", journal);
    Square shared(engine.get(), "shared", journal), private_(engine.get(), "private", journal);
    private_.SetShared(false);
    own2.SetVisible(false);  // still rendered: its own flags decide what it draws

    world.SetCamera(&camera);
    world.AddLight(&light0);
    world.AddLight(&light1);
    world.SetRenderTarget(&target);
    world.SetTargetFlags(IRenderTarget::ClearColour | IRenderTarget::DrawAttachment0 | IRenderTarget::DrawAttachment2);
    world.SetLinkedWorld(&linked);
    world.AddRenderable(&own1);
    world.AddRenderable(&own2);
    linked.AddRenderable(&private_);
    linked.AddRenderable(&shared);
    linked.SetVisible(false);
    engine->AddWorld(&world);
    engine->AddWorld(&linked);

    engine->Advance(0.01);
    EXPECT_EQ(journal, (Journal{"camera", "light 0", "light 1", "Main stage0", "bind 82", "Main stage1", "shared",
                                "own1", "own2", "Main stage2", "unbind", "Main stage3"}));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    EXPECT_EQ(renderer->GetCurrentWorld(), &world);
    ExpectNoGlErrors();
}

TEST_F(Renderer, AWorldWithoutTargetOrLightsIsClearedInTheWholeWindowWithLightingOff)
{
    RecordingWorld world(engine.get(), "Plain", journal);
    SetColour(world, 0, 0, 1);
    engine->AddWorld(&world);
    glEnable(GL_LIGHTING);
    glViewport(0, 0, 10, 10);
    engine->Advance(0.01);
    EXPECT_EQ(journal, (Journal{"Plain stage0", "Plain clear", "Plain stage1", "Plain stage2", "Plain stage3"}));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(Pixel(kWidth - 1, kHeight - 1), kBlue);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
    ExpectNoGlErrors();
}

TEST_F(Renderer, WorldsCompositeInTheOrderTheyWereAdded)
{
    RecordingWorld back(engine.get(), "Back", journal), front(engine.get(), "Front", journal);
    Square square(engine.get(), "square", journal);
    Dress(back, front, square);
    engine->AddWorld(&back);
    engine->AddWorld(&front);

    engine->Advance(0.01);
    EXPECT_EQ(Pixel(kWidth / 4, kHeight / 2), kGreen);
    EXPECT_EQ(Pixel(kWidth * 3 / 4, kHeight / 2), kRed);
    EXPECT_EQ(renderer->GetCurrentWorld(), &front);
    ExpectNoGlErrors();
}

TEST_F(Renderer, ALaterWorldThatClearsColourHidesTheEarlierOnes)
{
    RecordingWorld front(engine.get(), "Front", journal), back(engine.get(), "Back", journal);
    Square square(engine.get(), "square", journal);
    Dress(back, front, square);
    engine->AddWorld(&front);
    engine->AddWorld(&back);

    engine->Advance(0.01);
    EXPECT_EQ(Pixel(kWidth / 4, kHeight / 2), kRed);
    EXPECT_EQ(Pixel(kWidth * 3 / 4, kHeight / 2), kRed);
    ExpectNoGlErrors();
}

TEST_F(Renderer, AHiddenWorldGetsNoStageCallsAndDoesNotBecomeCurrent)
{
    RecordingWorld shown(engine.get(), "Shown", journal), hidden(engine.get(), "Hidden", journal);
    SetColour(shown, 0, 1, 0);
    SetColour(hidden, 1, 0, 0);
    Square square(engine.get(), "square", journal);
    hidden.AddRenderable(&square);
    hidden.SetVisible(false);
    shown.SetActive(false);
    engine->AddWorld(&shown);
    engine->AddWorld(&hidden);

    engine->Advance(0.01);
    EXPECT_EQ(journal, (Journal{"Shown stage0", "Shown clear", "Shown stage1", "Shown stage2", "Shown stage3"}));
    EXPECT_EQ(Pixel(kWidth / 2, kHeight / 2), kGreen);
    EXPECT_EQ(renderer->GetCurrentWorld(), &shown);
    // Active still decides the updates: the hidden world is updated, the inactive one is not.
    EXPECT_EQ(hidden.updates, 1);
    EXPECT_EQ(shown.updates, 0);
    ExpectNoGlErrors();
}

TEST_F(Renderer, ListsChangedWhileDrawingTakeEffectNextFrame)
{
    RecordingWorld world(engine.get(), "Main", journal);
    Square first(engine.get(), "first", journal), late(engine.get(), "late", journal);
    struct Adder : k_Renderable {
        using k_Renderable::k_Renderable;
        void DrawStage(Stage stage) override
        {
            if (stage == Geometry && world->GetRenderables().size() < 3) world->AddRenderable(late);
        }
        IWorld* world = nullptr;
        IRenderable* late = nullptr;
    } adder(engine.get());
    adder.world = &world;
    adder.late = &late;
    world.AddRenderable(&adder);
    world.AddRenderable(&first);
    engine->AddWorld(&world);

    engine->Advance(0.01);
    EXPECT_EQ(journal, (Journal{"Main stage0", "Main clear", "Main stage1", "first", "Main stage2", "Main stage3"}));
    journal.clear();
    engine->Advance(0.01);
    EXPECT_EQ(journal, (Journal{"Main stage0", "Main clear", "Main stage1", "first", "late", "Main stage2",
                                "Main stage3"}));
    ExpectNoGlErrors();
}

TEST_F(Renderer, OneSampleIsOneStepAndOneDrawingPass)
{
    RecordingWorld world(engine.get(), "Main", journal);
    engine->AddWorld(&world);
    for (int count : {0, 1}) {
        SCOPED_TRACE(count);
        renderer->SetTimeSamples(count);
        journal.clear();
        world.steps.clear();
        engine->Advance(0.02);
        EXPECT_EQ(world.steps, std::vector<double>{0.02});
        EXPECT_EQ(std::count(journal.begin(), journal.end(), "Main stage0"), 1);
        EXPECT_EQ(renderer->GetTimeSamples(), count);
    }
    ExpectNoGlErrors();
}

TEST_F(Renderer, FourTimeSamplesStepTheTimelineFourTimesByAQuarter)
{
    RecordingWorld world(engine.get(), "Main", journal);
    engine->AddWorld(&world);
    renderer->SetTimeSamples(4);
    LogCapture log;
    engine->Advance(0.1);
    EXPECT_EQ(world.updates, 4);
    EXPECT_EQ(world.steps, (std::vector<double>{0.025, 0.025, 0.025, 0.025}));
    EXPECT_DOUBLE_EQ(engine->GetTimeline()->GetTime(), 0.1);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "Main stage0"), 4);
    EXPECT_EQ(renderer->GetTimeSamples(), 4);
    // This window has no accumulation buffer: the frame is drawn without averaging, said once.
    GLint accumBits = -1;
    glGetIntegerv(GL_ACCUM_RED_BITS, &accumBits);
    if (accumBits == 0) {
        EXPECT_TRUE(log.Contains("accumulation buffer"));
        log.Clear();
        engine->Advance(0.1);
        EXPECT_TRUE(log.Lines().empty());
    }
    ExpectNoGlErrors();
}

TEST_F(Renderer, AdaptiveSamplesFollowTheFrameTime)
{
    RecordingWorld world(engine.get(), "Main", journal);
    engine->AddWorld(&world);
    renderer->SetAdaptiveSamples(true);
    renderer->SetTimeSamples(1);
    engine->Advance(0.02);  // slow frame: 1 - 1 = 0 becomes 1
    EXPECT_EQ(renderer->GetTimeSamples(), 1);
    EXPECT_EQ(world.updates, 1);
    world.steps.clear();
    engine->Advance(0.01);  // fast frame: two samples of 0.005
    EXPECT_EQ(renderer->GetTimeSamples(), 2);
    EXPECT_EQ(world.steps, (std::vector<double>{0.005, 0.005}));
    ExpectNoGlErrors();
}

TEST_F(Renderer, AdaptiveSamplesNeverFallBelowOne)
{
    RecordingWorld world(engine.get(), "Main", journal);
    engine->AddWorld(&world);
    renderer->SetAdaptiveSamples(true);
    renderer->SetTimeSamples(0);  // as the engine leaves it
    for (int frame = 0; frame < 3; ++frame) {
        engine->Advance(0.05);  // slow frames
        EXPECT_EQ(renderer->GetTimeSamples(), 1) << frame;
    }
    EXPECT_EQ(world.updates, 3);
    world.steps.clear();
    engine->Advance(0.01);  // one fast frame is enough to take two samples again
    EXPECT_EQ(renderer->GetTimeSamples(), 2);
    EXPECT_EQ(world.steps, (std::vector<double>{0.005, 0.005}));
    ExpectNoGlErrors();
}

TEST_F(Renderer, SteadyFramesAllocateNothing)
{
    if (!kCountsAllocations) GTEST_SKIP() << "allocations are counted in builds without the sanitizer";
    RecordingWorld main(engine.get(), "Main", journal), linked(engine.get(), "Linked", journal);
    RecordingCamera camera(engine.get(), journal);
    RecordingLight light0(engine.get(), journal), light1(engine.get(), journal);
    k_RenderTarget target(engine.get(), 32, 32);
    target.AddTexture(2);
    Square own(engine.get(), "own", journal), shared(engine.get(), "shared", journal);
    main.SetCamera(&camera);
    main.AddLight(&light0);
    main.AddLight(&light1);
    main.SetRenderTarget(&target);
    main.SetLinkedWorld(&linked);
    main.AddRenderable(&own);
    linked.AddRenderable(&shared);
    engine->AddWorld(&main);
    engine->AddWorld(&linked);
    for (int frame = 0; frame < 3; ++frame) engine->Advance(0.01);  // the copies reach their size
    journal.reserve(journal.size() + 1000);  // the recorders' own lists must not grow either
    main.steps.reserve(main.steps.size() + 100);
    linked.steps.reserve(linked.steps.size() + 100);

    g_allocations = 0;
    g_countAllocations = true;
    for (int frame = 0; frame < 3; ++frame) engine->Advance(0.01);
    g_countAllocations = false;
    EXPECT_EQ(g_allocations, 0);
    ExpectNoGlErrors();
}

}  // namespace
