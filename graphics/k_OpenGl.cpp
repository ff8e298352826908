// The OpenGL device: context, default state, error log and loading bar.
#include "graphics/k_OpenGl.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <cstdio>

#include "platform/FatalError.h"
#include "platform/Display.h"
#include "platform/Log.h"
#include "platform/Text.h"

void k_OpenGl::Resize(int width, int height)
{
    if (height == 0) height = 1;
    m_width = width;
    m_height = height;
    FitViewport();
    glViewport(m_viewport.x, m_viewport.y, m_viewport.width, m_viewport.height);
}

void k_OpenGl::SetAspectRatio(float aspect)
{
    m_aspectRatio = aspect;
    FitViewport();
}

void k_OpenGl::SetLetterbox(bool letterbox)
{
    m_letterbox = letterbox;
    FitViewport();
}

void k_OpenGl::FitViewport()
{
    m_viewport = {0, 0, m_width, m_height};
    if (!m_letterbox || m_aspectRatio <= 0 || m_width <= 0) return;
    const int height = static_cast<int>(m_width / m_aspectRatio + 0.5f);
    if (height <= m_height) {
        m_viewport.height = height > 0 ? height : 1;
    } else {
        const int width = static_cast<int>(m_height * m_aspectRatio + 0.5f);
        m_viewport.width = width > 0 ? width : 1;
    }
    m_viewport.x = (m_width - m_viewport.width) / 2;
    m_viewport.y = (m_height - m_viewport.height) / 2;
}

void k_OpenGl::CreateContext(Platform::NativeWindow* window)
{
    m_context = Platform::CreateGlContext(window);
    if (!m_context)
        Platform::ThrowFatal(L"Cannot create OpenGl Rendering Context! This demo needs OpenGL " +
                             Platform::RequestedGlVersion() + L" (compatibility profile); the driver refused it: " +
                             Text::FromUtf8(Platform::LastDisplayError()) + L".");
    if (!Platform::MakeCurrent(window, m_context)) throw L"Cannot make OpenGl Rendering Context current!";
}

void k_OpenGl::ReleaseContext()
{
    if (!m_context) return;
    Platform::MakeCurrent(nullptr, nullptr);
    Platform::DeleteGlContext(m_context);
    m_context = nullptr;
}

bool k_OpenGl::Initialize()
{
    Log::Info() << "Initializing OpenGL...";
    glewExperimental = GL_TRUE;  // the compatibility profile still needs every entry point
    const GLenum loaded = glewInit();
    glGetError();                // glewInit may leave an enum error behind on some drivers
    // GLEW built for GLX finds no GLX display under EGL (SDL's offscreen driver) only after it
    // has loaded the GL entry points.
    if (loaded != GLEW_OK && loaded != GLEW_ERROR_NO_GLX_DISPLAY)
        Platform::ThrowFatal(L"Cannot load the OpenGL entry points: " +
                             Text::FromUtf8(reinterpret_cast<const char*>(glewGetErrorString(loaded))) + L".");
    auto text = [](GLenum name) {
        const GLubyte* s = glGetString(name);
        return s ? reinterpret_cast<const char*>(s) : "";
    };
    Log::Info() << "OPENGL :: Vendor: " << text(GL_VENDOR);
    Log::Info() << "OPENGL :: Renderer: " << text(GL_RENDERER);
    Log::Info() << "OPENGL :: Version: " << text(GL_VERSION);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &m_maxTextureSize);
    char line[255];
    std::snprintf(line, sizeof line, "OPENGL :: Maximum texture size: %d", m_maxTextureSize);
    Log::Info() << line;
    // Before any call past OpenGL 1.1: a 1.1 renderer resolves none of them.
    RequireGlFeatures(ReadCapabilities());

    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFrontFace(GL_CCW);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrontFace(GL_CW);

    DrawLoadingBar(0);
    return true;
}

unsigned k_OpenGl::NextError() { return glGetError(); }

GlCapabilities k_OpenGl::ReadCapabilities() { return ReadGlCapabilities(); }

void k_OpenGl::CheckErrors()
{
    for (int budget = 5;;) {
        const unsigned code = NextError();
        if (code == GL_NO_ERROR) return;
        const GLubyte* text = gluErrorString(code);
        if (text)
            Log::Info() << "OPENGL :: ERROR " << reinterpret_cast<const char*>(text);
        else
            Log::Info() << "OPENGL :: UNKNOWN ERROR!";
        if (--budget == 0) {
            Log::Info() << "OPENGL :: ERROR Too many errors!";
            return;
        }
    }
}

void k_OpenGl::DrawLoadingBar(float progress)
{
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glUseProgram(0);
    glDisable(GL_LIGHTING);

    glClearColor(0, 0, 0, 0);
    glClearDepth(0.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(0.2f, 0.5f, 0.9f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(-0.91f, 0.06f);
    glVertex2f(0.91f, 0.06f);
    glVertex2f(0.91f, -0.06f);
    glVertex2f(-0.91f, -0.06f);
    glEnd();
    const float x = progress * 1.8f - 0.9f;
    glBegin(GL_QUADS);
    glVertex2f(-0.9f, 0.05f);
    glVertex2f(x, 0.05f);
    glVertex2f(x, -0.05f);
    glVertex2f(-0.9f, -0.05f);
    glEnd();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
}
