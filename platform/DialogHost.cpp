// Dear ImGui over SDL2 and the fixed-function OpenGL backend.
#include "platform/DialogHost.h"

#include <imgui.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>
#include <SDL.h>
#include <SDL_opengl.h>

#include "platform/Display.h"
#include "platform/Text.h"

namespace Platform {

struct DialogHost::State {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    bool imgui = false;
};

DialogHost::~DialogHost()
{
    if (!m_state) return;
    if (m_state->imgui) {
        ImGui_ImplOpenGL2_Shutdown();
        ImGui_ImplSDL2_Shutdown();
        ImGui::DestroyContext();
    }
    if (m_state->context) SDL_GL_DeleteContext(m_state->context);
    if (m_state->window) SDL_DestroyWindow(m_state->window);
    delete m_state;
}

std::string DialogHost::Open(const std::wstring& title, int width, int height)
{
    if (!InitializeVideo()) return "there is no display: " + LastDisplayError();
    // SDL fell back on its own to a driver that shows nothing: nobody could answer the dialog.
    if (!DisplayFound()) return Text::ToUtf8(kNoDisplayMessage);
    m_state = new State;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    m_state->window = SDL_CreateWindow(Text::ToUtf8(title).c_str(), SDL_WINDOWPOS_CENTERED,
                                       SDL_WINDOWPOS_CENTERED, width, height, SDL_WINDOW_OPENGL);
    if (!m_state->window) return std::string("its window cannot be made: ") + SDL_GetError();
    m_state->context = SDL_GL_CreateContext(m_state->window);
    if (!m_state->context) return std::string("its OpenGL context cannot be made: ") + SDL_GetError();
    SDL_GL_MakeCurrent(m_state->window, m_state->context);
    SDL_GL_SetSwapInterval(1);  // the dialog has no reason to spin

    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr;  // nothing is written to disk
    ImGui::StyleColorsDark();
    ImGui_ImplSDL2_InitForOpenGL(m_state->window, m_state->context);
    ImGui_ImplOpenGL2_Init();
    m_state->imgui = true;
    return {};
}

bool DialogHost::BeginFrame()
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        ImGui_ImplSDL2_ProcessEvent(&event);
        if (event.type == SDL_QUIT) return false;
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) return false;
    }
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
    return true;
}

void DialogHost::EndFrame()
{
    ImGui::Render();
    const ImGuiIO& io = ImGui::GetIO();
    glViewport(0, 0, static_cast<int>(io.DisplaySize.x), static_cast<int>(io.DisplaySize.y));
    glClearColor(0.1f, 0.1f, 0.12f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    SDL_GL_SwapWindow(m_state->window);
}

}  // namespace Platform
