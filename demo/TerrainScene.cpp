// The terrain and HDR pair, set up as the demo script does.
#include "demo/TerrainScene.h"

#include "core/IEngine.h"
#include "core/IGraphics.h"
#include "core/IRenderTarget.h"
#include "core/IResourceFactory.h"
#include "core/ITexture.h"

TerrainScene AddTerrainScene(IEngine* engine, const std::function<void()>& afterTerrain)
{
    TerrainScene scene;
    scene.terrain = std::make_unique<k_TerrainWorld>(engine);
    engine->AddWorld(scene.terrain.get());
    if (afterTerrain) afterTerrain();

    IGraphics* graphics = engine->GetGraphics();
    IRenderTarget* target = engine->GetResourceFactory()->CreateRenderTarget(graphics->GetWidth(), graphics->GetHeight());
    ITexture* texture = target ? target->AddTexture(ITexture::RgbaFloat) : nullptr;
    scene.terrain->SetRenderTarget(target);
    scene.terrain->ClearScene();  // and unbound

    scene.hdr = std::make_unique<k_HdrToLdrWorld>(engine, texture);
    engine->AddWorld(scene.hdr.get());
    scene.terrain->SetReader(scene.hdr.get());
    return scene;
}
