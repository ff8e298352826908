// A real engine with a real window and OpenGL context (under Xvfb in CI), for `gl` tests.
#pragma once

#include <gtest/gtest.h>

#include <GL/glew.h>
#include <array>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/k_Engine.h"
#include "engine/k_Window.h"
#include "core/IGraphics.h"
#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "support/LogCapture.h"

// Identity matrices and no depth test, culling, blending, lighting or texturing: what a test
// needs before drawing flat colour in normalised device coordinates.
inline void ResetToPlainDrawing()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
}

class GlTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 240;

    // Opens the window; the engine is not initialised (no archive is mounted).
    void SetUp() override
    {
        engine = std::make_unique<k_Engine>(L".");
        window = std::make_unique<k_Window>(L"test", kWidth, kHeight, engine.get(), false);
        window->Create();
        graphics = engine->GetGraphics();
        graphics->SetAspectRatio(static_cast<float>(kWidth) / kHeight);
    }

    void TearDown() override
    {
        window.reset();
        engine.reset();
    }

    // Content as written in the repository's data/ folder: materials and shaders.
    void UseSourceData()
    {
        const char* source = std::getenv("KORVANTA_SOURCE_DIR");
        ASSERT_NE(source, nullptr);
        engine->GetFileSystem()->UseDirectory(Text::FromUtf8(std::string(source) + "/data"));
    }

    // The built data.pak: the pictures and the music too.
    void UseBuiltArchive()
    {
        const char* build = std::getenv("KORVANTA_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        engine->GetFileSystem()->Mount(Text::FromUtf8(std::string(build) + "/data.pak"));
    }

    // The back buffer's pixel at (x, y), origin at the bottom left, as RGBA bytes.
    static std::array<int, 4> Pixel(int x, int y)
    {
        unsigned char rgba[4] = {};
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2], rgba[3]};
    }

    // The depth buffer's value at (x, y), origin at the bottom left.
    static float DepthAt(int x, int y)
    {
        float depth = -1;
        glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        return depth;
    }

    // The graphics device's error log must stay empty.
    void ExpectNoGlErrors()
    {
        LogCapture log;
        graphics->CheckErrors();
        EXPECT_TRUE(log.Lines().empty()) << log.Lines().front();
    }

    // Drains the GL error flag so a test starts clean, and reports what was pending.
    static GLenum DrainErrors()
    {
        GLenum first = glGetError();
        while (glGetError() != GL_NO_ERROR) {}
        return first;
    }

    std::unique_ptr<k_Engine> engine;
    std::unique_ptr<k_Window> window;
    IGraphics* graphics = nullptr;
};
