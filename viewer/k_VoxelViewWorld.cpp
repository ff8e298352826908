// The voxel viewer's world: five metaballs on looping paths, summed into one field.
#include "viewer/k_VoxelViewWorld.h"

#include <cmath>

#include "core/IEngine.h"
#include "core/ITimeline.h"
#include "platform/Log.h"
#include "core/IResourceFactory.h"
#include "core/ICamera.h"
#include "core/IRenderable.h"
#include "core/IVoxelBox.h"

namespace {

constexpr int kSamples = 40;
constexpr int kBalls = 5;

}  // namespace

void k_VoxelViewWorld::Initialize()
{
    IResourceFactory* factory = m_engine->GetResourceFactory();
    m_camera = factory->CreateCamera();
    if (m_camera) m_camera->SetFieldOfView(45);
    SetCamera(m_camera);
    const float background[4] = {0.03f, 0.02f, 0.06f, 1};
    SetClearColor(background);
    m_box = factory->CreateVoxelBox(kSamples, kSamples, kSamples);
    if (!m_box) {
        Log::Error() << "The voxel viewer has no voxel box to show.";
        return;
    }
    IRenderable* box = dynamic_cast<IRenderable*>(m_box);
    box->SetScale(Vector(1.6f, 1.6f, 1.6f, 1));
    AddRenderable(box);
    Update();
}

void k_VoxelViewWorld::Update()
{
    const float t = static_cast<float>(m_engine->GetTimeline()->GetTime());
    if (m_camera) {
        const float angle = 0.25f * t;
        m_camera->SetEye(Vector::Point(3.9f * std::sin(angle), 1.2f + 0.5f * std::sin(0.3f * t), 3.9f * std::cos(angle)));
        m_camera->SetTarget(Vector::Point(0, 0, 0));
        m_camera->SetUp(Vector::Direction(0, 1, 0));
    }
    if (!m_box) return;

    // Each ball wanders on its own Lissajous path; its strength falls off with the squared distance.
    float centre[kBalls][3], strength[kBalls];
    for (int i = 0; i < kBalls; ++i) {
        const float phase = 1.3f * i, speed = 0.45f + 0.11f * i;
        centre[i][0] = 0.42f * std::sin(speed * t + phase);
        centre[i][1] = 0.38f * std::sin(0.8f * speed * t + 2.1f * phase);
        centre[i][2] = 0.40f * std::cos(1.1f * speed * t + phase);
        strength[i] = 0.045f + 0.02f * std::sin(0.7f * t + phase);
    }
    float* field = m_box->Lock();
    for (int z = 0; z < kSamples; ++z)
        for (int y = 0; y < kSamples; ++y)
            for (int x = 0; x < kSamples; ++x) {
                const float p[3] = {2.0f * x / kSamples - 1, 2.0f * y / kSamples - 1, 2.0f * z / kSamples - 1};
                float sum = 0;
                for (int i = 0; i < kBalls; ++i) {
                    const float dx = p[0] - centre[i][0], dy = p[1] - centre[i][1], dz = p[2] - centre[i][2];
                    sum += strength[i] / (dx * dx + dy * dy + dz * dz + 1e-4f);
                }
                // Inside where the balls add up to more than 1: below the iso level 0.
                *field++ = 1 - sum;
            }
    m_box->Unlock();
}
