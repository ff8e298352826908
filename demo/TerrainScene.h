// The landscape as the demo shows it: the terrain world drawn into a full-window float target
// that the HDR-to-LDR world tone-maps into the window.
#pragma once

#include <functional>
#include <memory>

#include "demo/k_HdrToLdrWorld.h"
#include "demo/k_TerrainWorld.h"

class IEngine;

// The engine keeps plain pointers to its worlds: the owner keeps these alive while it draws.
struct TerrainScene {
    std::unique_ptr<k_TerrainWorld> terrain;
    std::unique_ptr<k_HdrToLdrWorld> hdr;
};

// Creates both worlds and adds them to the initialised engine, terrain first, with the scene
// target of the window's size between them; afterTerrain runs once the terrain is added (the
// demo shows a loading step there).
TerrainScene AddTerrainScene(IEngine* engine, const std::function<void()>& afterTerrain = {});
