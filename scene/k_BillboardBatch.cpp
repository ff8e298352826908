// The billboard batch: growth by doubling, the corner rewrite and the single draw.
#include "scene/k_BillboardBatch.h"

#include <GL/glew.h>
#include <algorithm>
#include <numeric>

#include "core/IEngine.h"
#include "core/IResourceFactory.h"
#include "core/IBillboard.h"
#include "core/ICamera.h"
#include "core/IMeshBuffer.h"
#include "core/IWorld.h"

namespace {

// Position then texture coordinate: five floats, 20 bytes a vertex.
const std::vector<int> kLayout = {IMeshBuffer::Position3, IMeshBuffer::TexCoord2};

}  // namespace

k_BillboardBatch::k_BillboardBatch(IEngine* engine, int capacity, IMaterial* material) : k_Renderable(engine)
{
    m_mesh = engine->GetResourceFactory()->CreateMeshBuffer();
    if (!m_mesh) throw L"Cannot create the billboard batch's mesh!";
    m_mesh->SetPrimitiveMode(GL_QUADS);
    m_mesh->SetMaterial(material);
    Grow(std::max(capacity, 1));
}

void k_BillboardBatch::SetMaterial(IMaterial* material) { m_mesh->SetMaterial(material); }

IMaterial* k_BillboardBatch::GetMaterial() { return m_mesh->GetMaterial(); }

void k_BillboardBatch::Grow(int quads)
{
    m_capacity += quads;
    const int vertices = m_capacity * 4;
    m_mesh->SetVertices(nullptr, vertices, kLayout, GL_DYNAMIC_DRAW, true);
    std::vector<unsigned> indices(static_cast<size_t>(vertices));
    std::iota(indices.begin(), indices.end(), 0u);
    m_mesh->SetIndices(indices.data(), vertices, GL_STATIC_DRAW, true);
    m_mesh->SetDrawCount(4 * static_cast<int>(m_billboards.size()));
}

void k_BillboardBatch::AddChild(IRenderable* child)
{
    IBillboard* billboard = dynamic_cast<IBillboard*>(child);
    if (!billboard) {
        k_Renderable::AddChild(child);
        return;
    }
    m_billboards.push_back(billboard);
    const int count = static_cast<int>(m_billboards.size());
    if (count < m_capacity)
        m_mesh->SetDrawCount(4 * count);
    else
        Grow(m_capacity);
}

void k_BillboardBatch::DrawStage(Stage stage)
{
    if (stage == Geometry) {
        dynamic_cast<IRenderable*>(m_mesh)->Render();
        return;
    }
    if (stage != BeforeTransform || !m_world || !m_world->GetCamera()) return;
    // A mesh without a mappable buffer keeps its previous corners.
    float* vertices = static_cast<float*>(m_mesh->LockVertices(GL_WRITE_ONLY));
    if (!vertices) return;
    WriteCorners(vertices);
    m_mesh->UnlockVertices();
}

void k_BillboardBatch::WriteCorners(float* vertices)
{
    ICamera* camera = m_world->GetCamera();
    const Vector right = camera->GetRight();
    const Vector up = camera->GetUp();
    static const Vector kUpright = Vector::Direction(0, 1, 0);
    static const float kTexCoords[4][2] = {{1, 1}, {0, 1}, {0, 0}, {1, 0}};
    static const float kSigns[4][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}};
    for (IBillboard* billboard : m_billboards) {
        IRenderable* renderable = dynamic_cast<IRenderable*>(billboard);
        const Vector position = renderable->GetPosition();
        const Vector scale = renderable->GetScale();
        const Vector r = right * scale.x;
        const Vector u = billboard->GetMode() == IBillboard::Upright ? kUpright : up * scale.y;
        for (int corner = 0; corner < 4; ++corner) {
            const Vector p = position + r * kSigns[corner][0] + u * kSigns[corner][1];
            *vertices++ = p.x;
            *vertices++ = p.y;
            *vertices++ = p.z;
            *vertices++ = kTexCoords[corner][0];
            *vertices++ = kTexCoords[corner][1];
        }
    }
}
