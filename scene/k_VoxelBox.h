// The marching-cubes voxel box: the field as a 3-D float texture (unit 6), the triangle table as
// an integer texture (unit 7), one point per cell in a buffer and a display list that draws them
// through the geometry-shader program.
#pragma once

#include <memory>

#include "core/IVoxelBox.h"
#include "scene/k_Renderable.h"

class IShaderProgram;

class k_VoxelBox : public IVoxelBox, public k_Renderable {
public:
    // Each size at least 2 (a cell needs two samples per axis); throws a wide message otherwise
    // or when the marching-cubes program cannot be made.
    k_VoxelBox(IEngine* engine, int x, int y, int z);
    ~k_VoxelBox() override;

    void GetDimensions(int* x, int* y, int* z) override;
    void SetIsoLevel(float level) override { m_isoLevel = level; }
    float GetIsoLevel() override { return m_isoLevel; }
    float* Lock() override;
    void Unlock() override;

    // Geometry: the program, the iso level and the point list.
    void DrawStage(Stage stage) override;

    IShaderProgram* GetProgram() { return m_program; }
    // Points drawn per frame: one per cell between samples.
    int GetCellCount() const { return (m_sizeX - 1) * (m_sizeY - 1) * (m_sizeZ - 1); }

private:
    void CreateTriangleTable();
    void CreateFieldTexture();
    void FillInitialField();
    void SetUniforms();
    void CreatePointList();

    IShaderProgram* m_program = nullptr;  // owned by the resource factory
    int m_sizeX, m_sizeY, m_sizeZ;
    unsigned m_triangleTable = 0;
    unsigned m_fieldTexture = 0;
    unsigned m_pointBuffer = 0;
    unsigned m_pointList = 0;
    // Allocated once and handed out by every Lock: the field is rewritten every frame, and a
    // frame allocates nothing. Its contents are undefined between locks.
    std::unique_ptr<float[]> m_field;
    bool m_locked = false;
    float m_isoLevel = 0;
};
