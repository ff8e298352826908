// The billboard viewer's world: sparks on the arms of a spiral, inner ones turning faster.
#include "viewer/k_BillboardViewWorld.h"

#include <cmath>

#include "core/IEngine.h"
#include "core/ITimeline.h"
#include "platform/Log.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IBillboard.h"
#include "core/IBillboardBatch.h"
#include "core/ICamera.h"
#include "core/IRenderable.h"

namespace {

constexpr int kSparks = 1200;
constexpr int kArms = 3;

// A fixed pseudo-random sequence in 0..1, so every run shows the same galaxy.
float Random(unsigned& state)
{
    state = state * 1664525u + 1013904223u;
    return static_cast<float>(state >> 8) / 16777216.0f;
}

}  // namespace

void k_BillboardViewWorld::Initialize()
{
    IResourceFactory* factory = m_engine->GetResourceFactory();
    m_camera = factory->CreateCamera();
    SetCamera(m_camera);
    const float background[4] = {0.01f, 0.01f, 0.03f, 1};
    SetClearColor(background);
    IMaterial* material = factory->LoadMaterial(L"Viewer/Sparks.mat", L"Viewer/Sparks.mat");
    IBillboardBatch* batch = factory->CreateBillboardBatch(64, material);
    if (!batch) {
        Log::Error() << "The billboard viewer has no batch to show.";
        return;
    }
    IRenderable* group = dynamic_cast<IRenderable*>(batch);
    unsigned state = 12345;
    m_sparks.reserve(kSparks);
    for (int i = 0; i < kSparks; ++i) {
        IBillboard* billboard = factory->CreateBillboard();
        if (!billboard) continue;
        billboard->SetMode(IBillboard::Full);
        IRenderable* renderable = dynamic_cast<IRenderable*>(billboard);
        // Most sparks crowd the arms; a few float in the halo between them.
        const float radius = 0.3f + 7.0f * std::pow(Random(state), 1.4f);
        const int arm = i % kArms;
        const float scatter = (Random(state) - 0.5f) * (i % 7 == 0 ? 3.0f : 0.55f);
        const float angle = arm * 6.2831853f / kArms + 0.55f * radius + scatter;
        const float height = (Random(state) - 0.5f) * 0.5f * std::exp(-0.25f * radius);
        const float size = 0.06f + 0.16f * Random(state) * Random(state) + 0.25f * std::exp(-radius);
        renderable->SetScale(Vector(size, size, size, 1));
        group->AddChild(renderable);
        m_sparks.push_back({renderable, radius, angle, height, 0.9f / (0.6f + radius)});
    }
    AddRenderable(group);
    Update();
}

void k_BillboardViewWorld::Update()
{
    const float t = static_cast<float>(m_engine->GetTimeline()->GetTime());
    if (m_camera) {
        const float angle = 0.08f * t + 0.6f;
        m_camera->SetEye(Vector::Point(9.5f * std::sin(angle), 4.8f + 0.8f * std::sin(0.2f * t), 9.5f * std::cos(angle)));
        m_camera->SetTarget(Vector::Point(0, -0.6f, 0));
        m_camera->SetUp(Vector::Direction(0, 1, 0));
    }
    for (const Spark& spark : m_sparks) {
        const float angle = spark.angle + spark.speed * t;
        const float bob = spark.height + 0.05f * std::sin(2.0f * t + spark.radius * 3.0f);
        spark.billboard->SetPosition(
            Vector::Point(spark.radius * std::cos(angle), bob, spark.radius * std::sin(angle)));
    }
}
