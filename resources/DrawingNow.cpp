// What the frame is drawing.
#include "resources/DrawingNow.h"

#include <algorithm>
#include <atomic>

#include "core/IWorld.h"
#include "platform/Text.h"
#include "resources/k_Material.h"

namespace {

// Distinct world and material pairs kept between two shown frames; a frame of the demo draws fewer.
constexpr int kKept = 32;

struct Drawn {
    std::atomic<IWorld*> world{nullptr};
    std::atomic<const k_Material*> material{nullptr};
};

Drawn g_drawn[kKept];
// Pairs noted since the last Forget(); past kKept only counted.
std::atomic<int> g_count{0};

}  // namespace

namespace DrawingNow {

void Note(IWorld* world, const k_Material* material)
{
    const int count = g_count.load(std::memory_order_relaxed);
    // From the latest back: a material is most often applied again right after itself.
    for (int i = std::min(count, kKept) - 1; i >= 0; --i)
        if (g_drawn[i].material.load(std::memory_order_relaxed) == material &&
            g_drawn[i].world.load(std::memory_order_relaxed) == world)
            return;
    if (count < kKept) {
        g_drawn[count].world.store(world, std::memory_order_relaxed);
        g_drawn[count].material.store(material, std::memory_order_relaxed);
    }
    if (count <= kKept) g_count.store(count + 1, std::memory_order_release);
}

void Forget() { g_count.store(0, std::memory_order_release); }

std::string Describe()
{
    const int count = g_count.load(std::memory_order_acquire);
    if (count == 0) return "no material drawn since the last frame shown";
    std::string text;
    for (int i = 0; i < std::min(count, kKept); ++i) {
        IWorld* world = g_drawn[i].world.load(std::memory_order_relaxed);
        const k_Material* material = g_drawn[i].material.load(std::memory_order_relaxed);
        // The names are set when the objects are made and never change, so reading them here is safe.
        if (!text.empty()) text += "; ";
        text += "world '" + (world ? world->GetName() : std::string("(none)")) + "', material '" +
                Text::ToUtf8(material->GetFileName()) + "'";
    }
    if (count > kKept) text += "; and more";
    return text;
}

}  // namespace DrawingNow
