// Billboards batched into one dynamic quad mesh: BeforeTransform rewrites every corner from the camera's
// right and up vectors through the mapped vertex buffer, Geometry draws the mesh once.
#pragma once

#include <vector>

#include "core/IBillboardBatch.h"
#include "scene/k_Renderable.h"

class IBillboard;
class IMeshBuffer;

class k_BillboardBatch : public IBillboardBatch, public k_Renderable {
public:
    // capacity below 1 is taken as 1, so the mesh always has a vertex buffer to map. Throws a
    // wide message when the factory cannot make the mesh.
    k_BillboardBatch(IEngine* engine, int capacity, IMaterial* material);

    void SetMaterial(IMaterial* material) override;
    IMaterial* GetMaterial() override;

    // A billboard joins the batch (no world is set, it is not drawn on its own); anything else
    // becomes an ordinary child.
    void AddChild(IRenderable* child) override;
    void DrawStage(Stage stage) override;

    int GetCapacity() const { return m_capacity; }
    IMeshBuffer* GetMesh() { return m_mesh; }

private:
    void Grow(int quads);
    void WriteCorners(float* vertices);

    std::vector<IBillboard*> m_billboards;  // not owned
    int m_capacity = 0;
    IMeshBuffer* m_mesh = nullptr;          // owned by the resource factory
};
