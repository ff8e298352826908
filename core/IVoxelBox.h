// An iso-surface of a scalar field sampled on an X x Y x Z grid over the box from -1 to 1 on every
// axis, extracted on the GPU by marching cubes. Sample (x, y, z) stands at (2x/X - 1, 2y/Y - 1,
// 2z/Z - 1) and is stored at index x + X * (y + Y * z).
#pragma once

class IVoxelBox {
public:
    virtual ~IVoxelBox() = default;

    virtual void GetDimensions(int* x, int* y, int* z) = 0;
    // The surface lies where the field equals the level; the side below it is the inside.
    virtual void SetIsoLevel(float level) = 0;
    virtual float GetIsoLevel() = 0;
    // X * Y * Z floats to fill completely (they do not hold the previous field). Throws
    // L"Voxel Box is already locked!" when locked.
    virtual float* Lock() = 0;
    // Uploads what was written. Throws L"Voxel Box is already unlocked!" when not locked.
    virtual void Unlock() = 0;

protected:
    IVoxelBox() = default;
    IVoxelBox(const IVoxelBox&) = delete;
    IVoxelBox& operator=(const IVoxelBox&) = delete;
};
