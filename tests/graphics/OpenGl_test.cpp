// The OpenGL device on a real context: start-up log, errors, resizing and the loading bar.
#include <gtest/gtest.h>

#include <deque>

#include "graphics/k_OpenGl.h"
#include "core/IResourceFactory.h"
#include "core/IShaderCallback.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"

namespace {

using OpenGl = GlTest;

TEST(OpenGlStartUp, LogsTheDriverInOrder)
{
    LogCapture log;
    k_Engine engine(L".");
    k_Window window(L"test", 320, 240, &engine, false);
    window.Create();
    const auto lines = log.Lines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Initializing OpenGL...");
    EXPECT_EQ(lines[1].rfind("OPENGL :: Vendor: ", 0), 0u);
    EXPECT_EQ(lines[2].rfind("OPENGL :: Renderer: ", 0), 0u);
    EXPECT_EQ(lines[3].rfind("OPENGL :: Version: ", 0), 0u);
    EXPECT_EQ(lines[4], "OPENGL :: Maximum texture size: " + std::to_string(engine.GetGraphics()->GetMaxTextureSize()));
    EXPECT_GT(engine.GetGraphics()->GetMaxTextureSize(), 0);
    EXPECT_EQ(engine.GetWindow(), &window);
}

// Real drivers keep one flag per error kind; this source queues as many as a test wants.
class QueuedErrors : public k_OpenGl {
public:
    std::deque<unsigned> pending;

protected:
    unsigned NextError() override
    {
        if (pending.empty()) return GL_NO_ERROR;
        const unsigned code = pending.front();
        pending.pop_front();
        return code;
    }
};

TEST_F(OpenGl, CheckErrorsReportsAtMostFivePerCall)
{
    QueuedErrors device;
    device.pending = {GL_INVALID_ENUM, GL_INVALID_VALUE, GL_INVALID_OPERATION, GL_OUT_OF_MEMORY,
                      GL_INVALID_ENUM, GL_INVALID_VALUE, 0x1234, GL_INVALID_OPERATION};
    LogCapture log;
    device.CheckErrors();
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{
                               "OPENGL :: ERROR invalid enumerant", "OPENGL :: ERROR invalid value",
                               "OPENGL :: ERROR invalid operation", "OPENGL :: ERROR out of memory",
                               "OPENGL :: ERROR invalid enumerant", "OPENGL :: ERROR Too many errors!"}));
    log.Clear();
    device.CheckErrors();
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"OPENGL :: ERROR invalid value", "OPENGL :: UNKNOWN ERROR!",
                                                     "OPENGL :: ERROR invalid operation"}));
    for (const auto& entry : log.entries()) EXPECT_EQ(entry.level, Log::Level::Info);
}

TEST_F(OpenGl, CheckErrorsReadsTheRealErrorFlag)
{
    DrainErrors();
    LogCapture log;
    graphics->CheckErrors();
    EXPECT_TRUE(log.Lines().empty());
    glEnable(0x7FFF);
    graphics->CheckErrors();
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"OPENGL :: ERROR invalid enumerant"});
}

TEST_F(OpenGl, ResizeNeverStoresAZeroHeight)
{
    graphics->Resize(800, 0);
    EXPECT_EQ(graphics->GetWidth(), 800);
    EXPECT_EQ(graphics->GetHeight(), 1);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 1);
}

TEST_F(OpenGl, ReleasingTwiceIsHarmless)
{
    graphics->ReleaseContext();
    graphics->ReleaseContext();
}

// Owned by the factory like every GL resource; notes whether a context was current when it went.
struct ContextProbe : IShaderCallback {
    explicit ContextProbe(int& seen) : seen(seen) {}
    ~ContextProbe() override { seen = glGetString(GL_VERSION) ? 1 : 0; }
    std::wstring GetName() override { return L"probe"; }
    void Apply(IShaderProgram*, void*) override {}
    bool Accepts(IShaderProgram*) override { return false; }
    int& seen;
};

TEST(OpenGlShutDown, WhatTheFactoryMadeGoesWhileTheContextIsCurrent)
{
    int seen = -1;
    auto engine = std::make_unique<k_Engine>(L".");
    auto window = std::make_unique<k_Window>(L"test", 64, 64, engine.get(), false);
    window->Create();
    ASSERT_EQ(engine->GetResourceFactory()->RegisterShaderCallback(std::make_unique<ContextProbe>(seen)), nullptr);
    window.reset();  // the window releases the context, as at the end of the run
    EXPECT_EQ(seen, 1);
    engine.reset();
    EXPECT_EQ(seen, 1);
}

// A driver of OpenGL 1.1 only, as Windows' built-in renderer is: it resolves no later entry point.
class OldDriver : public k_OpenGl {
protected:
    GlCapabilities ReadCapabilities() override
    {
        GlCapabilities old;
        old.major = 1;
        old.minor = 1;
        old.extensions = "GL_WIN_swap_hint GL_EXT_bgra";
        return old;
    }
};

TEST_F(OpenGl, AnOldDriverIsNamedBeforeAnyCallPastOpenGl11)
{
    OldDriver device;
    device.CreateContext(window->GetHandle());
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    try {
        device.Initialize();
        ADD_FAILURE() << "a 1.1 driver must not pass";
    } catch (const wchar_t* message) {
        EXPECT_EQ(std::wstring(message), L"This demo cannot run here. OpenGL 2.1 is needed; this driver offers OpenGL 1.1.");
    }
    // The loading bar (glUseProgram, OpenGL 2.0) was not drawn: the frame is as it was.
    EXPECT_EQ(Pixel(kWidth / 4, kHeight / 2), (std::array<int, 4>{255, 0, 0, 255}));
    device.ReleaseContext();
}

TEST_F(OpenGl, LoadingBarFillsFromTheLeftAndRestoresState)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(5, 0, 0);
    graphics->DrawLoadingBar(0.5f);
    // NDC x = -0.5 lies inside the bar, x = +0.5 outside it but inside the frame.
    const int row = kHeight / 2;
    const auto inside = Pixel(kWidth / 4, row);
    EXPECT_NEAR(inside[0], 51, 2);
    EXPECT_NEAR(inside[1], 128, 2);
    EXPECT_NEAR(inside[2], 230, 2);
    EXPECT_EQ(Pixel(kWidth * 3 / 4, row)[2], 0);
    EXPECT_EQ(Pixel(kWidth / 4, kHeight / 4)[2], 0);  // above and below the bar: cleared

    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint mode = 0, depth = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(depth, 1);
    float modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_EQ(modelView[12], 5.0f);
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(OpenGl, FullBarAndEmptyBar)
{
    graphics->DrawLoadingBar(1.0f);
    EXPECT_GT(Pixel(kWidth * 3 / 4, kHeight / 2)[2], 200);
    graphics->DrawLoadingBar(0.0f);
    EXPECT_EQ(Pixel(kWidth / 4, kHeight / 2)[2], 0);
}

}  // namespace
