// The overlay's one window; drawn only with --dev.
#include "makers/DevOverlay.h"

#include <imgui.h>
#include <cfloat>
#include <cstdio>

#include "makers/Benchmark.h"
#include "core/IEngine.h"
#include "makers/MaterialReloader.h"
#include "core/IWorld.h"

DevOverlay::DevOverlay(Platform::NativeWindow* window)
{
    m_host.Open(window);
    m_worlds.reserve(32);
}

// A window of its own at the bottom, sized to the text, so an error is seen at a glance while
// the last good version of the material is still drawn.
void DevOverlay::DrawReloadFailures(const MaterialReloader& reloader)
{
    const ImVec2 screen = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2(8, screen.y - 8), ImGuiCond_Always, ImVec2(0, 1));
    ImGui::SetNextWindowSizeConstraints(ImVec2(0, 0), ImVec2(screen.x - 16, screen.y * 0.5f));
    ImGui::Begin("reload failed", nullptr, ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoFocusOnAppearing);
    ImGui::PushTextWrapPos(screen.x - 40);
    ImGui::PushStyleColor(ImGuiCol_Text, IM_COL32(255, 120, 100, 255));
    for (const MaterialReloader::Failure& failure : reloader.GetFailures()) {
        ImGui::Text("%s (the last good version stays):", failure.material.c_str());
        ImGui::TextUnformatted(failure.errors.c_str());
    }
    ImGui::PopStyleColor();
    ImGui::PopTextWrapPos();
    ImGui::End();
}

double DevOverlay::Step(double measured, double frameStep)
{
    if (!m_paused) return measured * m_speed;
    if (!m_stepOnce) return 0;
    m_stepOnce = false;
    return frameStep;
}

double DevOverlay::Draw(IEngine* engine, double time, double wallMs, double& loopStart, double& loopEnd,
                        const MaterialReloader* reloader)
{
    m_graph[m_graphNext] = static_cast<float>(wallMs);
    m_graphNext = (m_graphNext + 1) % kGraphFrames;

    m_host.BeginFrame();
    ImGui::SetNextWindowPos(ImVec2(8, 8), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(420, 0), ImGuiCond_FirstUseEver);
    ImGui::Begin("meridian dev");

    double scrubbedTo = -1;
    if (!ImGui::IsAnyItemActive()) m_scrub = static_cast<float>(time);
    ImGui::SetNextItemWidth(-1);
    ImGui::SliderFloat("##time", &m_scrub, 0.0f, static_cast<float>(kBenchmarkEnd), "%.2f s");
    if (ImGui::IsItemDeactivatedAfterEdit()) scrubbedTo = m_scrub;
    // The script's scene markers under the bar.
    const ImVec2 barMin = ImGui::GetItemRectMin();
    const ImVec2 barMax = ImGui::GetItemRectMax();
    ImDrawList* draw = ImGui::GetWindowDrawList();
    for (const SceneSpan& span : kSceneSpans) {
        const float x = barMin.x + (barMax.x - barMin.x) * static_cast<float>(span.start / kBenchmarkEnd);
        draw->AddLine(ImVec2(x, barMin.y), ImVec2(x, barMax.y + 12), IM_COL32(255, 200, 60, 255));
        const float width = (barMax.x - barMin.x) * static_cast<float>((span.end - span.start) / kBenchmarkEnd);
        if (ImGui::CalcTextSize(span.name).x < width) draw->AddText(ImVec2(x + 2, barMax.y), IM_COL32(255, 200, 60, 255), span.name);
    }
    ImGui::Dummy(ImVec2(0, 12));

    ImGui::Checkbox("pause", &m_paused);
    ImGui::SameLine();
    if (ImGui::Button("step")) {
        m_paused = true;
        m_stepOnce = true;
    }
    ImGui::SameLine();
    ImGui::SetNextItemWidth(140);
    ImGui::SliderFloat("speed", &m_speed, 0.0f, 4.0f, "%.2fx");

    if (ImGui::Button("A here")) {
        loopStart = time;
        if (loopEnd <= loopStart) loopEnd = kBenchmarkEnd;
    }
    ImGui::SameLine();
    if (ImGui::Button("B here") && time > (loopStart < 0 ? 0 : loopStart)) {
        if (loopStart < 0) loopStart = 0;
        loopEnd = time;
    }
    ImGui::SameLine();
    if (ImGui::Button("no loop")) loopStart = loopEnd = -1;
    ImGui::SameLine();
    if (loopStart >= 0)
        ImGui::Text("loop %.2f - %.2f s", loopStart, loopEnd);
    else
        ImGui::TextUnformatted("no loop");

    char label[48];
    std::snprintf(label, sizeof label, "%.1f ms", wallMs);
    ImGui::SetNextItemWidth(-1);
    ImGui::PlotLines("##frames", m_graph, kGraphFrames, m_graphNext, label, 0.0f, FLT_MAX, ImVec2(0, 60));

    engine->CopyWorlds(m_worlds);
    for (size_t i = 0; i < m_worlds.size(); ++i) {
        IWorld* world = m_worlds[i];
        bool visible = world->IsVisible();
        ImGui::PushID(static_cast<int>(i));
        if (ImGui::Checkbox(world->GetName().c_str(), &visible)) world->SetVisible(visible);
        ImGui::PopID();
    }

    if (reloader) {
        ImGui::Separator();
        ImGui::Text("live data: %d files watched", reloader->GetWatchedFileCount());
    }
    ImGui::End();
    if (reloader && !reloader->GetFailures().empty()) DrawReloadFailures(*reloader);
    m_host.EndFrame();
    return scrubbedTo;
}
