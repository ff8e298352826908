// The terrain world.
#include "demo/k_TerrainWorld.h"

#include <GL/glew.h>
#include <cmath>
#include <vector>

#include "core/IEngine.h"
#include "core/ITimeline.h"
#include "core/IResourceFactory.h"
#include "core/ICamera.h"
#include "core/ILight.h"
#include "core/IMeshBuffer.h"
#include "core/IRenderTarget.h"

namespace {

constexpr float kSky[4] = {0.7f, 0.8f, 0.9f, 1.0f};
constexpr int kCells = 128;

// The flat grid at y = 1: per quad four corners (x, y, z, u, v); the shader gives it its heights.
void FillGrid(IMeshBuffer* mesh)
{
    std::vector<float> vertices;
    vertices.reserve(kCells * kCells * 4 * 5);
    const auto corner = [&vertices](int x, int z) {
        const float u = static_cast<float>(x + 64) / 129.0f;
        const float v = static_cast<float>(z + 64) / 129.0f;
        vertices.insert(vertices.end(), {static_cast<float>(x), 1.0f, static_cast<float>(z), u, v});
    };
    for (int r = 0; r < kCells; ++r) {
        for (int c = 0; c < kCells; ++c) {
            corner(c - 63, r - 64);
            corner(c - 63, r - 63);
            corner(c - 64, r - 63);
            corner(c - 64, r - 64);
        }
    }
    std::vector<unsigned> indices(kCells * kCells * 4);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<unsigned>(i);
    mesh->SetVertices(vertices.data(), static_cast<int>(indices.size()), {IMeshBuffer::Position3, IMeshBuffer::TexCoord2},
                      GL_STATIC_DRAW_ARB, true);
    mesh->SetIndices(indices.data(), static_cast<int>(indices.size()), GL_STATIC_DRAW_ARB, true);
}

}  // namespace

void k_TerrainWorld::Initialize()
{
    IResourceFactory* factory = m_engine->GetResourceFactory();
    m_light = factory->CreateLight();
    if (m_light) {
        m_light->SetAmbient(Colour(0.1f, 0.3f, 0.5f, 1.0f));
        m_light->SetLightPosition(Vector(-1000, 1000, -1000, 1));
        AddLight(m_light);
    }

    m_camera = factory->CreateCamera();
    SetCamera(m_camera);

    m_terraform = factory->LoadMaterial(L"Terrain/Terraform.mat", L"Terrain/Terraform.mat");
    m_terrain = factory->CreateMeshBuffer();
    IRenderable* terrain = dynamic_cast<IRenderable*>(m_terrain);
    if (m_terrain) {
        m_terrain->SetPrimitiveMode(GL_QUADS);
        m_terrain->SetMaterial(m_terraform);
        FillGrid(m_terrain);
    }

    m_first = std::make_unique<k_FirstRenderStep>(m_engine, terrain);
    m_second = std::make_unique<k_SecondRenderStep>(m_engine, m_first.get());
    m_third = std::make_unique<k_ThirdRenderStep>(m_engine, m_first.get(), m_second.get());
    m_fourth = std::make_unique<k_FourthRenderStep>(m_engine, terrain);
    AddRenderable(m_first.get());
    AddRenderable(m_second.get());
    AddRenderable(m_third.get());
    AddRenderable(m_fourth.get());
}

void k_TerrainWorld::ClearScene()
{
    IRenderTarget* target = GetRenderTarget();
    if (!target) return;
    target->Bind(IRenderTarget::DrawAll);  // no clear with the world's sky
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    target->Unbind();
}

void k_TerrainWorld::Update()
{
    const double t = m_engine->GetTimeline()->GetTime();
    const double b = t / 20;
    SetClearColor(kSky);
    const float k = static_cast<float>(0.75 + 0.5 * std::sin(b));
    if (m_light) m_light->SetDiffuse(Colour(1.3f * k, 1.1f * k, 0.6f * k, 1.0f * k));
    if (m_camera) {
        m_camera->SetEye(Vector(static_cast<float>(64 * std::sin(3 * b)), 0, static_cast<float>(64 * std::cos(5 * b)), 0));
        m_camera->SetTarget(Vector(0, 0, 0, 0));
        m_camera->SetUp(Vector(0, 1, 0, 0));
    }
}
