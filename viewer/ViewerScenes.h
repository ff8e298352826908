// Scenes shown alone, without the demo script (`meridian --scene NAME`): one world or a small
// set of them against the demo clock, for tuning a look, for the tests and for the docs.
#pragma once

#include <string>
#include <vector>

class IEngine;

// The names of the scenes, in the order --help lists them.
std::vector<std::string> ViewerSceneNames();
// Builds the named scene in the initialised engine; false when no scene has that name.
bool SetupViewerScene(IEngine* engine, const std::string& name);
