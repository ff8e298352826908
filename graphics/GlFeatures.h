// The OpenGL features the demo cannot run without, checked as soon as the entry points are
// loaded, so that an old driver gets a message naming what it lacks instead of a crash or a
// black screen.
#pragma once

#include <string>

// What a driver reports: versions, its extension list (names separated by spaces), how many
// colour attachments one pass may write, and whether a float frame buffer completes.
struct GlCapabilities {
    int major = 0;
    int minor = 0;
    int glslMajor = 0;
    int glslMinor = 0;
    std::string extensions;
    int maxDrawBuffers = 0;
    bool floatTargetCompletes = false;
};

// Reads the current context. Calls past OpenGL 1.1 are made only where their entry points
// resolved, so a 1.1 renderer is read without a crash.
GlCapabilities ReadGlCapabilities();

// Empty when everything the demo needs is there, else a message naming the first feature missing.
std::string MissingGlFeature(const GlCapabilities& capabilities);
// The same for the voxel scene, which needs more than the demo: empty when it can run.
std::string MissingVoxelFeature(const GlCapabilities& capabilities);

// Throws the wide message of the first feature missing.
void RequireGlFeatures(const GlCapabilities& capabilities);
// Reads the current context and throws the wide message of the first feature the voxel scene lacks.
void RequireVoxelFeatures();
