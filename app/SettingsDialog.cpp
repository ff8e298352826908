// The settings dialog drawn with Dear ImGui: each list is an editable field over its entries.
#include "app/SettingsDialog.h"

#include <imgui.h>
#include <cstring>

#include "platform/FatalError.h"
#include "platform/DialogHost.h"
#include "platform/Text.h"

namespace {

// A field the user may type into, with the list of entries always shown below it.
void EditableList(const char* id, char (&text)[256], const std::vector<std::string>& entries, float height)
{
    ImGui::PushID(id);
    ImGui::SetNextItemWidth(-1);
    ImGui::InputText("##text", text, sizeof text);
    if (ImGui::BeginListBox("##list", ImVec2(-1, height))) {
        for (const std::string& entry : entries) {
            const bool selected = entry == text;
            if (ImGui::Selectable(entry.c_str(), selected)) {
                std::strncpy(text, entry.c_str(), sizeof text - 1);
                text[sizeof text - 1] = 0;
            }
            if (selected && ImGui::IsWindowAppearing()) ImGui::SetScrollHereY();
        }
        ImGui::EndListBox();
    }
    ImGui::PopID();
}

}  // namespace

Settings RunSettingsDialog()
{
    Settings settings;
    Platform::DialogHost host;
    const std::string problem = host.Open(L"Korvanta - meridian", 360, 330);
    // Not a Cancel: the user was never asked.
    if (!problem.empty())
        Platform::ThrowFatal(Text::FromUtf8("The settings dialog cannot open: " + problem +
                                            (problem.back() == '.' ? "" : ".") +
                                            " Start with --window WxH or --fullscreen WxH to skip it."));

    const SettingsChoices choices = MakeSettingsChoices(Platform::ListDisplayModes(), Platform::GetDesktopSize());
    char resolution[256] = {};
    char aspect[256] = {};
    if (choices.selectedResolution >= 0)
        std::strncpy(resolution, choices.resolutions[choices.selectedResolution].c_str(), 255);
    if (choices.selectedAspect >= 0) std::strncpy(aspect, choices.aspects[choices.selectedAspect].c_str(), 255);
    std::string refused;

    while (host.BeginFrame()) {
        const ImGuiIO& io = ImGui::GetIO();
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(io.DisplaySize);
        ImGui::Begin("settings", nullptr,
                     ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings);
        ImGui::TextUnformatted("Resolution:");
        EditableList("resolution", resolution, choices.resolutions, 110);
        ImGui::TextUnformatted("Aspect ratio:");
        EditableList("aspect", aspect, choices.aspects, 86);
        ImGui::Checkbox("Fullscreen", &settings.fullscreen);
        ImGui::SameLine();
        bool done = false;
        if (ImGui::Button("Have the guts") || ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter))) {
            refused = AcceptSettings(resolution, aspect, settings);
            done = refused.empty();
        }
        ImGui::SameLine();
        if (ImGui::Button("Chicken out") || ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape))) {
            ImGui::End();
            host.EndFrame();
            break;
        }
        if (!refused.empty()) ImGui::TextColored(ImVec4(1.0f, 0.45f, 0.35f, 1.0f), "%s", refused.c_str());
        ImGui::End();
        host.EndFrame();
        if (done) break;
    }
    return settings;
}
