// Applying a material runs for every draw of every frame, so it must allocate nothing. This
// executable replaces the global allocation functions to count what Apply allocates.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#ifdef _WIN32
#include <malloc.h>
#endif
#include <string>

#include "core/ITimeline.h"
#include "core/IRenderer.h"
#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "resources/k_DeltaTimeShaderCallback.h"
#include "scene/k_Camera.h"
#include "support/GlTest.h"
#include "support/ScratchFolder.h"
#include "engine/k_World.h"

namespace {

bool g_counting = false;
int g_allocations = 0;

// Over-aligned blocks: the C runtime of Windows has no aligned_alloc, and its aligned blocks
// need a free of their own.
void* AllocateAligned(std::size_t size, std::size_t alignment) noexcept
{
#ifdef _WIN32
    return _aligned_malloc(size, alignment);
#else
    return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
#endif
}

void FreeAligned(void* memory) noexcept
{
#ifdef _WIN32
    _aligned_free(memory);
#else
    std::free(memory);
#endif
}

// Null when out of memory; alignment 0 asks for the default.
void* Allocate(std::size_t size, std::size_t alignment) noexcept
{
    if (g_counting) ++g_allocations;
    size = size ? size : 1;
    return alignment > alignof(std::max_align_t) ? AllocateAligned(size, alignment) : std::malloc(size);
}

// Releases what Allocate gave for the same alignment.
void Free(void* memory, std::size_t alignment) noexcept
{
    if (alignment > alignof(std::max_align_t))
        FreeAligned(memory);
    else
        std::free(memory);
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment)
{
    if (void* memory = Allocate(size, alignment)) return memory;
    throw std::bad_alloc();
}

}  // namespace

// Every form is replaced, so that every allocation is counted and every release matches it.
void* operator new(std::size_t size) { return AllocateOrThrow(size, 0); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size, 0); }
void* operator new(std::size_t size, std::align_val_t a) { return AllocateOrThrow(size, std::size_t(a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return AllocateOrThrow(size, std::size_t(a)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, 0); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, 0); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return Allocate(size, std::size_t(a));
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return Allocate(size, std::size_t(a));
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t a) noexcept { Free(memory, std::size_t(a)); }
void operator delete[](void* memory, std::align_val_t a) noexcept { Free(memory, std::size_t(a)); }
void operator delete(void* memory, std::size_t, std::align_val_t a) noexcept { Free(memory, std::size_t(a)); }
void operator delete[](void* memory, std::size_t, std::align_val_t a) noexcept { Free(memory, std::size_t(a)); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t a, const std::nothrow_t&) noexcept { Free(memory, std::size_t(a)); }
void operator delete[](void* memory, std::align_val_t a, const std::nothrow_t&) noexcept { Free(memory, std::size_t(a)); }

namespace {

// Every automatic uniform, two samplers and the deltatime callback, so Apply does all it can.
const char* const kMaterial = R"(vertexshader v {{
uniform float deltatime;
void main() { gl_Position = gl_Vertex * deltatime; }
}}
pixelshader p {{
uniform sampler2D texture0, texture1;
uniform vec4 texture0Ddxy, texture1Ddxy;
uniform int numOfLights;
uniform float demoTime, aspectRatio;
uniform vec3 eyePosition, eyeDirection;
uniform mat4 viewMatrix, viewMatrixInverse;
void main() {
    vec4 sum = texture2D(texture0, vec2(0.0)) + texture2D(texture1, vec2(0.0)) + texture0Ddxy + texture1Ddxy;
    sum += vec4(float(numOfLights) + demoTime + aspectRatio) + vec4(eyePosition + eyeDirection, 1.0);
    gl_FragColor = sum + viewMatrix[0] + viewMatrixInverse[1];
}
}}
material {
target Plasma
useshader v
useshader p
shadercallback deltatime
loadtexture 0 a.png
reservetexture 1 clamp
loadtexture 2 b.jpg mirror
alphablend true
alphatestfunc greater
}
material {
useshader p
}
)";

class MaterialAllocationTest : public GlTest {};

TEST_F(MaterialAllocationTest, ApplyingAPassAllocatesNothing)
{
    ScratchFolder folder;
    ASSERT_EQ(folder.Run("convert -size 16x8 xc:gold -define png:color-type=2 a.png && convert -size 8x8 xc:navy b.jpg"),
              0);
    folder.Write("m.mat", kMaterial);
    engine->GetFileSystem()->UseDirectory(Text::FromUtf8(folder.Path().string()));
    IResourceFactory* factory = engine->GetResourceFactory();
    ASSERT_EQ(factory->RegisterShaderCallback(std::make_unique<k_DeltaTimeShaderCallback>(engine.get())), nullptr);
    IMaterial* material = factory->LoadMaterial(L"m", L"m.mat");
    ASSERT_NE(material, nullptr);
    ASSERT_EQ(material->GetPasses().size(), 2u);

    k_Camera camera(engine.get());
    camera.SetEye(Vector::Point(0, 1, 5));
    camera.Apply();
    k_World plasma(engine.get(), "Plasma");
    k_World other(engine.get(), "Hdr");
    plasma.SetCamera(&camera);
    plasma.AddLight(nullptr);
    other.SetCamera(&camera);

    // The first Apply in each world may fill the location caches and keep the light list.
    for (IWorld* world : {static_cast<IWorld*>(&plasma), static_cast<IWorld*>(&other)}) {
        engine->GetRenderer()->SetCurrentWorld(world);
        ASSERT_TRUE(material->Apply());
    }
    for (int frame = 0; frame < 3; ++frame) {
        engine->GetTimeline()->Advance(0.02);
        for (IWorld* world : {static_cast<IWorld*>(&plasma), static_cast<IWorld*>(&other)}) {
            engine->GetRenderer()->SetCurrentWorld(world);
            g_counting = true;
            const bool applied = material->Apply();
            g_counting = false;
            EXPECT_TRUE(applied);
        }
    }
    engine->GetRenderer()->SetCurrentWorld(nullptr);
    EXPECT_EQ(g_allocations, 0);
    EXPECT_EQ(DrainErrors(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
