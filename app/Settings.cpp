// Settings dialog logic: the distinct display modes and the typed values.
#include "app/Settings.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

namespace {

bool ReadInt(const char* text, int& value, const char*& end)
{
    char* stop = nullptr;
    errno = 0;
    const long number = std::strtol(text, &stop, 10);
    if (stop == text || errno == ERANGE || number < INT_MIN || number > INT_MAX) return false;
    value = static_cast<int>(number);
    end = stop;
    return true;
}

}  // namespace

SettingsChoices MakeSettingsChoices(const std::vector<Platform::Size>& modes, Platform::Size desktop)
{
    SettingsChoices choices;
    std::map<int, std::set<int>> distinct;
    for (const Platform::Size& mode : modes) distinct[mode.width].insert(mode.height);
    for (const auto& [width, heights] : distinct)
        for (int height : heights) {
            if (width == desktop.width && height == desktop.height)
                choices.selectedResolution = static_cast<int>(choices.resolutions.size());
            char text[256];
            std::snprintf(text, sizeof text, "%dx%d", width, height);
            choices.resolutions.push_back(text);
        }

    static const struct { const char* text; double ratio; } aspects[] = {
        {"4:3", 4.0 / 3.0}, {"5:4", 5.0 / 4.0}, {"16:9", 16.0 / 9.0}, {"16:10", 16.0 / 10.0}};
    const double desktopRatio = desktop.height ? static_cast<double>(desktop.width) / desktop.height : 0.0;
    for (const auto& aspect : aspects) {
        if (std::fabs(desktopRatio - aspect.ratio) < 0.01)
            choices.selectedAspect = static_cast<int>(choices.aspects.size());
        choices.aspects.push_back(aspect.text);
    }
    return choices;
}

bool ReadNumberPair(const char* text, char separator, int& first, int& second, const char** end)
{
    int a = 0, b = 0;
    const char* at = text;
    if (!ReadInt(at, a, at) || *at != separator || !ReadInt(at + 1, b, at)) return false;
    first = a;
    second = b;
    if (end) *end = at;
    return true;
}

std::string AcceptSettings(const std::string& resolution, const std::string& aspect, Settings& settings)
{
    int width = 0, height = 0, numerator = 0, denominator = 0;
    if (!ReadNumberPair(resolution.c_str(), 'x', width, height) || width <= 0 || height <= 0)
        return "Type a resolution such as 1280x720.";
    if (!ReadNumberPair(aspect.c_str(), ':', numerator, denominator) || numerator <= 0 || denominator <= 0)
        return "Type an aspect ratio such as 16:9.";
    settings.accepted = true;
    settings.width = width;
    settings.height = height;
    settings.aspectRatio = static_cast<float>(numerator) / static_cast<float>(denominator);
    return {};
}
