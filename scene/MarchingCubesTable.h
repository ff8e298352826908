// The standard marching-cubes triangle table, shared by the voxel box's integer texture and the
// tests. Corners of a cell: 0 (0, 0, 0), 1 (1, 0, 0), 2 (1, 1, 0), 3 (0, 1, 0), 4 (0, 0, 1),
// 5 (1, 0, 1), 6 (1, 1, 1), 7 (0, 1, 1). Edges: 0 0-1, 1 1-2, 2 2-3, 3 3-0, 4 4-5, 5 5-6, 6 6-7,
// 7 7-4, 8 0-4, 9 1-5, 10 2-6, 11 3-7. A cell's configuration has bit i set when corner i lies
// below the iso level; its triangles wind counter-clockwise seen from the corners below it.
#pragma once

// 256 configurations; each row holds up to five triangles as edge indices, padded with -1.
extern const int kMarchingCubesTriangles[256][16];
