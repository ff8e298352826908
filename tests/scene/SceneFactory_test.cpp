// Scene objects and render targets made by the resource factory: fresh objects on every call,
// 16-byte aligned, with their initial state, owned (and released) by the factory.
#include <gtest/gtest.h>

#include <cstdint>

#include "core/IRenderTarget.h"
#include "core/IResourceFactory.h"
#include "core/ITexture.h"
#include "core/ICamera.h"
#include "core/ILight.h"
#include "core/IMeshBuffer.h"
#include "core/IRenderable.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"

namespace {

// Whether the whole object (not an interface's subobject) starts on a 16-byte boundary.
template <typename T>
bool Aligned(T* object)
{
    return reinterpret_cast<std::uintptr_t>(dynamic_cast<void*>(object)) % 16 == 0;
}

class SceneFactory : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        factory = engine->GetResourceFactory();
        DrainErrors();
    }
    IResourceFactory* factory = nullptr;
};

TEST_F(SceneFactory, EveryCallMakesAFreshAlignedObject)
{
    IRenderable* emptyA = factory->CreateEmptyRenderable();
    IRenderable* emptyB = factory->CreateEmptyRenderable();
    IMeshBuffer* meshA = factory->CreateMeshBuffer();
    IMeshBuffer* meshB = factory->CreateMeshBuffer();
    ICamera* cameraA = factory->CreateCamera();
    ICamera* cameraB = factory->CreateCamera();
    ILight* lightA = factory->CreateLight();
    ILight* lightB = factory->CreateLight();
    ASSERT_TRUE(emptyA && meshA && cameraA && lightA);
    EXPECT_TRUE(Aligned(emptyA));
    EXPECT_TRUE(Aligned(meshA));
    EXPECT_TRUE(Aligned(cameraA));
    EXPECT_TRUE(Aligned(lightA));
    EXPECT_NE(emptyA, emptyB);
    EXPECT_NE(meshA, meshB);
    EXPECT_NE(cameraA, cameraB);
    EXPECT_NE(lightA, lightB);
}

TEST_F(SceneFactory, ObjectsStartWithTheirInitialState)
{
    IRenderable* empty = factory->CreateEmptyRenderable();
    EXPECT_TRUE(empty->IsVisible());
    EXPECT_EQ(empty->GetPosition(), Vector(0, 0, 0, 1));

    IMeshBuffer* mesh = factory->CreateMeshBuffer();
    EXPECT_EQ(mesh->GetVertexCount(), 0);
    auto* meshRenderable = dynamic_cast<IRenderable*>(mesh);
    ASSERT_NE(meshRenderable, nullptr);  // a mesh is drawn as a renderable

    ICamera* camera = factory->CreateCamera();
    EXPECT_EQ(camera->GetEye(), Vector(0, 0, -5, 0));
    EXPECT_EQ(camera->GetFieldOfView(), 45.0f);

    ILight* light = factory->CreateLight();
    EXPECT_EQ(light->GetDiffuse(), Vector(1, 1, 1, 1));
    EXPECT_EQ(light->GetLightPosition(), Vector(0, 0, 0, 1));
    Vector direction;
    float exponent = -1, cutoff = -1;
    light->GetSpot(direction, exponent, cutoff);
    EXPECT_EQ(cutoff, 180.0f);
}

TEST_F(SceneFactory, RenderTargetsWithAndWithoutATexture)
{
    IRenderTarget* bare = factory->CreateRenderTarget(64, 32);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->GetWidth(), 64);
    EXPECT_EQ(bare->GetHeight(), 32);
    EXPECT_TRUE(bare->GetTextures().empty());

    IRenderTarget* target = factory->CreateRenderTargetWithOption(512, 512, 3);
    ASSERT_NE(target, nullptr);
    EXPECT_NE(target, bare);
    ASSERT_EQ(target->GetTextures().size(), 1u);
    ITexture* texture = target->GetTextures().front();
    EXPECT_EQ(texture->GetFormat(), 3);
    EXPECT_EQ(texture->GetWidth(), 512);
    EXPECT_EQ(texture->GetHeight(), 512);
    target->Bind(IRenderTarget::DrawAll);
    EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    target->Unbind();

    ExpectNoGlErrors();
}

TEST_F(SceneFactory, TheFactoryReleasesWhatItMadeWithTheEngine)
{
    IMeshBuffer* mesh = factory->CreateMeshBuffer();
    const float point[3] = {0, 0, 0};
    const unsigned index = 0;
    mesh->SetVertices(point, 1, {IMeshBuffer::Position3}, GL_STATIC_DRAW_ARB, true);
    mesh->SetIndices(&index, 1, GL_STATIC_DRAW_ARB, true);
    factory->CreateRenderTargetWithOption(8, 8, 2);
    factory->CreateCamera();
    // TearDown destroys the engine: the sanitizer build reports anything not released.
}

}  // namespace
