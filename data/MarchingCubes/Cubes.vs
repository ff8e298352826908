#version 150 compatibility
// Marching cubes: each point is the lowest corner of one cell, in box coordinates; the geometry
// stage builds the cell's triangles from it.

void main()
{
    gl_Position = gl_Vertex;
}
