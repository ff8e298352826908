// The landscape as the demo shows it: the terrain world drawn into a full-window float target
// that the HDR-to-LDR world tone-maps into the window.
#pragma once

#include <memory>

#include "worlds/k_HdrToLdrWorld.h"
#include "worlds/k_TerrainWorld.h"

class IEngine;

// The engine keeps plain pointers to its worlds: the owner keeps these alive while it draws.
struct TerrainScene {
    std::unique_ptr<k_TerrainWorld> terrain;
    std::unique_ptr<k_HdrToLdrWorld> hdr;
};

// Creates both worlds and adds them to the initialised engine, terrain first, with the scene
// target of the window's size between them.
TerrainScene AddTerrainScene(IEngine* engine);
