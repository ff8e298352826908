// The window's reaction to what the window system reports.
#include <gtest/gtest.h>

#include "engine/WindowPlacement.h"
#include "platform/Display.h"
#include "platform/SdlHandles.h"
#include "support/GlTest.h"
#include "support/ScratchFolder.h"

namespace {

using Window = GlTest;

bool QuitQueued()
{
    Platform::Event event;
    bool quit = false;
    while (Platform::PollEvent(event)) quit = quit || event.type == Platform::Event::Type::Quit;
    return quit;
}

Platform::Event Make(Platform::Event::Type type, int key = 0)
{
    Platform::Event event;
    event.type = type;
    event.key = key;
    return event;
}

TEST_F(Window, ClientAreaHasTheChosenSize)
{
    EXPECT_EQ(graphics->GetWidth(), kWidth);
    EXPECT_EQ(graphics->GetHeight(), kHeight);
    EXPECT_FALSE(window->IsFullscreen());
    EXPECT_EQ(window->GetTitle(), L"test");
    window->SetTitle(L"Korvanta - meridian");
    EXPECT_EQ(window->GetTitle(), L"Korvanta - meridian");
}

TEST_F(Window, MinimisingStopsDrawingAndRestoringResumes)
{
    QuitQueued();
    window->HandleMessage(Make(Platform::Event::Type::Minimized));
    EXPECT_FALSE(window->IsActive());
    window->HandleMessage(Make(Platform::Event::Type::Restored));
    EXPECT_TRUE(window->IsActive());
}

TEST_F(Window, EscapeAndTheCloseBoxEndTheLoopOtherKeysDoNot)
{
    QuitQueued();
    window->HandleMessage(Make(Platform::Event::Type::KeyDown, 'a'));
    EXPECT_FALSE(QuitQueued());
    window->HandleMessage(Make(Platform::Event::Type::KeyDown, 27));
    EXPECT_TRUE(QuitQueued());
    window->HandleMessage(Make(Platform::Event::Type::Close));
    EXPECT_TRUE(QuitQueued());
}

TEST_F(Window, SizeChangesReachTheGraphicsDevice)
{
    Platform::Event event = Make(Platform::Event::Type::Resized);
    event.size = {200, 0};
    window->HandleMessage(event);
    EXPECT_EQ(graphics->GetWidth(), 200);
    EXPECT_EQ(graphics->GetHeight(), 1);
    EXPECT_FLOAT_EQ(graphics->GetAspectRatio(), static_cast<float>(kWidth) / kHeight);
}

bool Resizable(IWindow& window) { return SDL_GetWindowFlags(window.GetHandle()->window) & SDL_WINDOW_RESIZABLE; }

TEST_F(Window, TheWindowedFrameCanBeResized) { EXPECT_TRUE(Resizable(*window)); }

TEST(FullscreenWindow, ARefusedModeFallsBackToAWindowOfTheSameSize)
{
    k_Engine engine(L".");
    k_Window window(L"test", 1000, 700, &engine, true);
    window.Create();
    EXPECT_FALSE(window.IsFullscreen());
    EXPECT_EQ(engine.GetGraphics()->GetWidth(), 1000);
    EXPECT_EQ(engine.GetGraphics()->GetHeight(), 700);
    // The same windowed frame as a window asked for: resizable and centred.
    EXPECT_TRUE(Resizable(window));
    int left, top, right, bottom, x, y;
    Platform::GetFrameExtents(window.GetHandle(), left, top, right, bottom);
    const Platform::Size screen = Platform::GetDesktopSize();
    const WindowPosition centre = CentreWindow(1000 + left + right, 700 + top + bottom, screen.width, screen.height);
    SDL_GetWindowPosition(window.GetHandle()->window, &x, &y);
    // Wine's frame metrics and where it puts the frame can part by a pixel.
    const int slack = kOnWindows ? 1 : 0;
    EXPECT_NEAR(x, centre.x + left, slack);
    EXPECT_NEAR(y, centre.y + top, slack);
}

}  // namespace
