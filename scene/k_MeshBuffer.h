// The mesh buffer: interleaved vertices and 32-bit indices in GL buffer objects, drawn through
// the material's pass for the current world.
#pragma once

#include <memory>
#include <vector>

#include "core/IMeshBuffer.h"
#include "scene/k_Renderable.h"

struct MaterialPass;

class k_MeshBuffer : public k_Renderable, public IMeshBuffer {
public:
    explicit k_MeshBuffer(IEngine* engine) : k_Renderable(engine) {}
    ~k_MeshBuffer() override;

    unsigned GetPrimitiveMode() override { return m_primitiveMode; }
    void SetPrimitiveMode(unsigned mode) override { m_primitiveMode = mode; }
    void SetIndices(const unsigned* data, int count, unsigned usage, bool copy) override;
    const unsigned* GetIndices() override { return m_indexData; }
    int GetIndexCount() override { return m_indexCount; }
    void SetVertices(const void* data, int count, const std::vector<int>& layout, unsigned usage,
                     bool copy) override;
    const void* GetVertices() override { return m_vertexData; }
    int GetVertexCount() override { return m_vertexCount; }
    const std::vector<int>& GetVertexLayout() override { return m_layout; }
    void SetMaterial(IMaterial* material) override;
    IMaterial* GetMaterial() override { return m_material; }
    void SetDrawCount(int count) override;
    int GetDrawCount() override { return m_drawCount; }
    void* LockVertices(unsigned access) override;
    void* LockIndices(unsigned access) override;
    void UnlockVertices() override;
    void UnlockIndices() override;

    // Geometry: applies the material and draws with its pass for the current world.
    void DrawStage(Stage stage) override;
    // Binds the arrays of the layout (generic attributes located in the pass's program), issues
    // the one glDrawElements and unbinds everything again. pass may be null.
    virtual void Draw(MaterialPass* pass);

    // Bytes per vertex, and the GL buffer names (0 while there is none).
    int GetStride() const { return m_stride; }
    unsigned GetVertexBuffer() const { return m_vertexBuffer; }
    unsigned GetIndexBuffer() const { return m_indexBuffer; }

private:
    void CreateMissingBuffers();
    void BindElements(MaterialPass* pass);
    void UnbindElements(MaterialPass* pass);

    int m_vertexCount = 0;
    int m_indexCount = 0;
    int m_drawCount = 0;
    const unsigned* m_indexData = nullptr;
    const unsigned char* m_vertexData = nullptr;
    std::unique_ptr<unsigned[]> m_ownedIndices;
    std::unique_ptr<unsigned char[]> m_ownedVertices;
    std::vector<int> m_layout;
    std::vector<int> m_offsets;
    unsigned m_primitiveMode = 0x0004;  // GL_TRIANGLES
    unsigned m_vertexUsage = 0;
    unsigned m_indexUsage = 0;
    size_t m_vertexBytes = 0;
    int m_stride = 0;
    IMaterial* m_material = nullptr;
    unsigned m_vertexBuffer = 0;
    unsigned m_indexBuffer = 0;
    bool m_verticesLocked = false;
    bool m_indicesLocked = false;
};
