// The bones viewer's world: five tentacles in a ring, swaying with phase-shifted keyframes.
#include "viewer/k_BoneViewWorld.h"

#include <GL/glew.h>
#include <algorithm>
#include <cmath>
#include <string>

#include "core/IEngine.h"
#include "core/ITimeline.h"
#include "math/Quaternion.h"
#include "platform/Log.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "core/MaterialPass.h"
#include "core/IBone.h"
#include "core/ICamera.h"
#include "core/IMeshBuffer.h"
#include "core/IRenderable.h"
#include "core/ITransformationAnimation.h"

namespace {

constexpr int kTentacles = 5;
constexpr int kBones = 6;
constexpr float kBoneLength = 0.8f;
constexpr float kCycle = 4.0f;  // seconds of one sway, first key equal to the last
constexpr int kKeys = 9;
constexpr int kRings = 48;
constexpr int kSides = 16;

// A tube along y over the whole chain, thinning to the tip; each ring is bound to the bone it
// lies on, blended with the neighbouring bone over the half bone nearest each joint.
void BuildTube(IMeshBuffer* mesh)
{
    std::vector<float> vertices;
    std::vector<unsigned> indices;
    const float height = kBones * kBoneLength;
    for (int ring = 0; ring <= kRings; ++ring) {
        const float along = static_cast<float>(ring) / kRings;
        const float y = along * height;
        const float radius = 0.22f * (1 - along) + 0.015f + 0.03f * std::exp(-along * 12.0f);
        const float b = std::min(y / kBoneLength, kBones - 0.001f);
        const int bone = static_cast<int>(b);
        const float f = b - bone;
        int other = bone;
        float own = 1;
        if (f < 0.5f && bone > 0) {
            other = bone - 1;
            own = 0.5f + f;
        } else if (f >= 0.5f && bone < kBones - 1) {
            other = bone + 1;
            own = 1.5f - f;
        }
        for (int side = 0; side <= kSides; ++side) {
            const float a = 6.2831853f * side / kSides;
            const float nx = std::cos(a), nz = std::sin(a);
            const float vertex[] = {radius * nx, y, radius * nz, nx, 0.22f / height, nz,
                                    static_cast<float>(side) / kSides, along,
                                    static_cast<float>(bone), static_cast<float>(other), 0, 0,
                                    own, 1 - own, 0, 0};
            vertices.insert(vertices.end(), std::begin(vertex), std::end(vertex));
        }
    }
    for (int ring = 0; ring < kRings; ++ring)
        for (int side = 0; side < kSides; ++side) {
            const unsigned a = ring * (kSides + 1) + side, b = a + kSides + 1;
            for (unsigned index : {a, b, a + 1, a + 1, b, b + 1}) indices.push_back(index);
        }
    const std::vector<int> layout = {IMeshBuffer::Position3, IMeshBuffer::Normal3, IMeshBuffer::TexCoord2,
                                     IMeshBuffer::BlendIndices4, IMeshBuffer::BlendWeights4};
    mesh->SetVertices(vertices.data(), (kRings + 1) * (kSides + 1), layout, GL_STATIC_DRAW, true);
    mesh->SetIndices(indices.data(), static_cast<int>(indices.size()), GL_STATIC_DRAW, true);
}

}  // namespace

void k_BoneViewWorld::Initialize()
{
    IResourceFactory* factory = m_engine->GetResourceFactory();
    m_camera = factory->CreateCamera();
    SetCamera(m_camera);
    const float background[4] = {0.05f, 0.02f, 0.05f, 1};
    SetClearColor(background);
    for (int i = 0; i < kTentacles; ++i)
        if (IBone* root = BuildTentacle(i)) m_roots.push_back(root);
    if (m_roots.empty()) Log::Error() << "The bones viewer has no tentacle to show.";
    Update();
}

IBone* k_BoneViewWorld::BuildTentacle(int number)
{
    IResourceFactory* factory = m_engine->GetResourceFactory();
    // A material of its own per tentacle: the callback's argument, the skeleton, is per program.
    const std::wstring name = L"Viewer/Tentacle.mat#" + std::to_wstring(number);
    IMaterial* material = factory->LoadMaterial(name, L"Viewer/Tentacle.mat");
    IMeshBuffer* mesh = factory->CreateMeshBuffer();
    if (!material || material->GetPasses().empty() || !material->GetPasses()[0]->program || !mesh) return nullptr;

    const float scale[3] = {1, 1, 1};
    IBone* parent = nullptr;
    IBone* root = nullptr;
    const float phase = 1.25f * number;
    for (int k = 0; k < kBones; ++k) {
        // The root stands at the tentacle's base; every other bone one length above its parent.
        const float position[4] = {0, k == 0 ? 0.0f : kBoneLength, 0, 1};
        const std::wstring boneName = L"tentacle" + std::to_wstring(number) + L".bone" + std::to_wstring(k);
        IBone* bone = factory->CreateBone(boneName, k, position, scale, Quaternion(0, 0, 0, 1));
        ITransformationAnimation* sway = factory->GetTransformationAnimation(boneName);
        if (!bone || !sway) return nullptr;
        // Bends grow toward the tip, and each bone lags its parent, so a wave runs up the chain.
        const float reach = 10.0f + 5.0f * k;
        for (int key = 0; key < kKeys; ++key) {
            const float time = kCycle * key / (kKeys - 1);
            const float a = 6.2831853f * time / kCycle - 0.7f * k + phase;
            sway->AddKey(
                AnimationKey::Make(AnimationKey::Rotation, time, 0.6f * reach * std::cos(a), 0, reach * std::sin(a)));
        }
        sway->AddKey(AnimationKey::Make(AnimationKey::Translation, 0, position[0], position[1], position[2]));
        bone->SetAnimation(sway);
        bone->SetParent(parent);
        if (!root) root = bone;
        parent = bone;
    }

    material->GetPasses()[0]->program->AddShaderCallback(L"bones", root);
    mesh->SetMaterial(material);
    BuildTube(mesh);
    IRenderable* tube = dynamic_cast<IRenderable*>(mesh);
    const float around = 6.2831853f * number / kTentacles;
    tube->SetPosition(Vector::Point(1.5f * std::cos(around), -2.2f, 1.5f * std::sin(around)));
    tube->SetRotation(Quaternion::FromAxisAngle(Vector::Direction(0, 1, 0), -around * 57.29578f));
    AddRenderable(tube);
    return root;
}

void k_BoneViewWorld::Update()
{
    const double now = m_engine->GetTimeline()->GetTime();
    if (m_camera) {
        const float t = static_cast<float>(now), angle = 0.15f * t + 0.4f;
        m_camera->SetEye(Vector::Point(8.6f * std::sin(angle), 1.4f, 8.6f * std::cos(angle)));
        m_camera->SetTarget(Vector::Point(0, 0.1f, 0));
        m_camera->SetUp(Vector::Direction(0, 1, 0));
    }
    const float time = static_cast<float>(std::fmod(now, static_cast<double>(kCycle)));
    for (IBone* root : m_roots) {
        Matrix* palette = root->GetMatrixPalette();
        const int count = root->GetBoneCount();
        for (const auto& [index, bone] : root->GetBoneMap())
            if (index >= 0 && index < count) palette[index] = *bone->GetTransform(time, 0);
    }
}
