// What the frame is drawing.
#include "resources/DrawingNow.h"

#include <atomic>

#include "core/IWorld.h"
#include "platform/Text.h"
#include "resources/k_Material.h"

namespace {

std::atomic<IWorld*> g_world{nullptr};
std::atomic<const k_Material*> g_material{nullptr};

}  // namespace

namespace DrawingNow {

void Note(IWorld* world, const k_Material* material)
{
    g_world.store(world, std::memory_order_release);
    g_material.store(material, std::memory_order_release);
}

std::string Describe()
{
    const k_Material* material = g_material.load(std::memory_order_acquire);
    IWorld* world = g_world.load(std::memory_order_acquire);
    if (!material) return "before any material was drawn";
    // The names are set when the objects are made and never change, so reading them here is safe.
    return "world '" + (world ? world->GetName() : std::string("(none)")) + "', material '" +
           Text::ToUtf8(material->GetFileName()) + "'";
}

}  // namespace DrawingNow
