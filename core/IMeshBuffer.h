// A general geometry container: an interleaved vertex array described by element codes, 32-bit
// indices, a primitive mode and a material, kept in GL buffer objects and drawn with one call.
// The implementation is also a renderable: cast to IRenderable to add it to a world or a parent.
#pragma once

#include <vector>

class IMaterial;

class IMeshBuffer {
public:
    // Vertex element codes, in the order of the data within a vertex. Any other code takes one
    // byte of the vertex and is not bound.
    enum VertexElement {
        Position2 = 0,      // 2 floats, vertex array
        Position3 = 1,      // 3 floats
        Position4 = 2,      // 4 floats
        Normal3 = 3,        // 3 floats, normal array
        ColourBytes3 = 4,   // 3 unsigned bytes, colour array
        ColourBytes4 = 5,   // 4 unsigned bytes
        Colour3 = 6,        // 3 floats
        Colour4 = 7,        // 4 floats
        TexCoord2 = 8,      // 2 floats; texture coordinate elements take units 0, 1, ... in order
        TexCoord3 = 9,      // 3 floats
        TexCoord4 = 10,     // 4 floats
        Tangent3 = 11,      // 3 floats, generic attribute "Tangent" of the pass's program
        Tangent4 = 12,      // 4 floats, "Tangent"
        BlendIndices4 = 13, // 4 floats, "BlendIndices"
        BlendWeights4 = 14, // 4 floats, "BlendWeights"
    };

    // Frees the arrays the mesh copied and deletes its GL buffers.
    virtual ~IMeshBuffer() = default;

    // Any glDrawElements mode; GL_TRIANGLES at first.
    virtual unsigned GetPrimitiveMode() = 0;
    virtual void SetPrimitiveMode(unsigned mode) = 0;

    // Replaces the indices and their GL buffer; the draw count becomes count. usage is a GL
    // buffer usage hint. With copy the mesh keeps its own copy; without, the caller keeps
    // data alive for the mesh's life.
    virtual void SetIndices(const unsigned* data, int count, unsigned usage, bool copy) = 0;
    // The CPU copy as given (a locked GPU buffer may hold newer values).
    virtual const unsigned* GetIndices() = 0;
    virtual int GetIndexCount() = 0;
    // Replaces the vertices and their GL buffer; layout lists the element codes of one vertex.
    // A copied mesh with null data gets zeroed room for count vertices.
    virtual void SetVertices(const void* data, int count, const std::vector<int>& layout, unsigned usage,
                             bool copy) = 0;
    virtual const void* GetVertices() = 0;
    virtual int GetVertexCount() = 0;
    virtual const std::vector<int>& GetVertexLayout() = 0;

    // Not owned. Without a material the mesh draws nothing.
    virtual void SetMaterial(IMaterial* material) = 0;
    virtual IMaterial* GetMaterial() = 0;
    // Draws only the first count indices; clamped to 0 .. the index count.
    virtual void SetDrawCount(int count) = 0;
    virtual int GetDrawCount() = 0;

    // Maps the GL buffer with a GL access mode; null unless the buffer exists, was given
    // GL_DYNAMIC_DRAW usage and is not locked already. Writes reach only the GPU copy. Unlock
    // after writing.
    virtual void* LockVertices(unsigned access) = 0;
    virtual void* LockIndices(unsigned access) = 0;
    // Does nothing unless the matching Lock succeeded.
    virtual void UnlockVertices() = 0;
    virtual void UnlockIndices() = 0;

protected:
    IMeshBuffer() = default;
    IMeshBuffer(const IMeshBuffer&) = delete;
    IMeshBuffer& operator=(const IMeshBuffer&) = delete;
};
