// The OpenGL features the demo cannot run without, checked once the context exists, so that an
// old driver gets a message naming what it lacks instead of a crash or a black screen.
#pragma once

#include <string>

// What a driver reports: versions and its extension list (names separated by spaces).
struct GlCapabilities {
    int major = 0;
    int minor = 0;
    int glslMajor = 0;
    int glslMinor = 0;
    std::string extensions;
};

// Reads the current context's versions and extensions.
GlCapabilities ReadGlCapabilities();

// Empty when everything the demo needs is there, else a message naming the first feature missing.
std::string MissingGlFeature(const GlCapabilities& capabilities);

// Reads the current context and throws the wide message of the first feature missing.
void RequireGlFeatures();
