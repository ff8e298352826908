// ImGui over SDL2 and the fixed-function OpenGL backend, sharing the demo's context.
#include "platform/OverlayHost.h"

#include <GL/glew.h>
#include <imgui.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>
#include <SDL.h>

#include "platform/Display.h"
#include "platform/SdlHandles.h"

namespace Platform {

namespace {
void FeedImGui(const void* event) { ImGui_ImplSDL2_ProcessEvent(static_cast<const SDL_Event*>(event)); }
}  // namespace

OverlayHost::~OverlayHost()
{
    if (!m_open) return;
    SetRawEventHook(nullptr);
    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
}

void OverlayHost::Open(NativeWindow* window)
{
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr;  // nothing is written to disk
    ImGui::StyleColorsDark();
    ImGui::GetStyle().Alpha = 0.92f;
    ImGui_ImplSDL2_InitForOpenGL(window->window, SDL_GL_GetCurrentContext());
    ImGui_ImplOpenGL2_Init();
    SetRawEventHook(FeedImGui);
    m_open = true;
}

void OverlayHost::BeginFrame()
{
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
}

void OverlayHost::EndFrame()
{
    ImGui::Render();
    const ImGuiIO& io = ImGui::GetIO();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glUseProgram(0);
    glViewport(0, 0, static_cast<int>(io.DisplaySize.x), static_cast<int>(io.DisplaySize.y));
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
}

}  // namespace Platform
