// What the settings dialog offers and what it hands to the entry point, apart from its drawing.
#pragma once

#include <string>
#include <vector>

#include "platform/Display.h"

// The choice made in the dialog; the program runs only when accepted.
struct Settings {
    bool accepted = false;
    int width = -1;
    int height = -1;
    bool fullscreen = true;
    float aspectRatio = 0.0f;
    // Why the dialog could not be shown; empty when it was.
    std::wstring failure;
};

// The two editable lists and their pre-selections (-1: nothing selected).
struct SettingsChoices {
    std::vector<std::string> resolutions;  // "WxH", ascending width, then height
    int selectedResolution = -1;           // the desktop size
    std::vector<std::string> aspects;      // "4:3", "5:4", "16:9", "16:10"
    int selectedAspect = -1;               // within 0.01 of the desktop ratio
};

SettingsChoices MakeSettingsChoices(const std::vector<Platform::Size>& modes, Platform::Size desktop);

// Reads "<int><separator><int>" from the start of text, as sscanf's "%d<separator>%d" does, but
// refuses a number that does not fit an int instead of wrapping it. end, when given, receives
// where reading stopped. On failure first and second are untouched.
bool ReadNumberPair(const char* text, char separator, int& first, int& second, const char** end = nullptr);

// Reads the texts of the two fields as "%dx%d" and "%d:%d" into settings and marks them
// accepted. A text that does not give positive numbers leaves settings untouched and returns
// the reason to show; success returns an empty string.
std::string AcceptSettings(const std::string& resolution, const std::string& aspect, Settings& settings);
