// The mesh buffer: buffer upkeep, mapping, and the interleaved draw through a material pass.
#include "scene/k_MeshBuffer.h"

#include <GL/glew.h>
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/IMaterial.h"
#include "core/IShaderProgram.h"
#include "core/MaterialPass.h"

namespace {

enum class Binding { None, Vertex, Normal, Colour, TexCoord, Attribute };

struct ElementFormat {
    int bytes;
    Binding binding;
    int components;
    GLenum type;
    const char* attribute;
};

// Indexed by the vertex element code.
constexpr ElementFormat kElements[] = {
    {8, Binding::Vertex, 2, GL_FLOAT, nullptr},
    {12, Binding::Vertex, 3, GL_FLOAT, nullptr},
    {16, Binding::Vertex, 4, GL_FLOAT, nullptr},
    {12, Binding::Normal, 3, GL_FLOAT, nullptr},
    {3, Binding::Colour, 3, GL_UNSIGNED_BYTE, nullptr},
    {4, Binding::Colour, 4, GL_UNSIGNED_BYTE, nullptr},
    {12, Binding::Colour, 3, GL_FLOAT, nullptr},
    {16, Binding::Colour, 4, GL_FLOAT, nullptr},
    {8, Binding::TexCoord, 2, GL_FLOAT, nullptr},
    {12, Binding::TexCoord, 3, GL_FLOAT, nullptr},
    {16, Binding::TexCoord, 4, GL_FLOAT, nullptr},
    {12, Binding::Attribute, 3, GL_FLOAT, "Tangent"},
    {16, Binding::Attribute, 4, GL_FLOAT, "Tangent"},
    {16, Binding::Attribute, 4, GL_FLOAT, "BlendIndices"},
    {16, Binding::Attribute, 4, GL_FLOAT, "BlendWeights"},
};
constexpr ElementFormat kUnknownElement = {1, Binding::None, 0, 0, nullptr};

const ElementFormat& Element(int code)
{
    if (code < 0 || code >= static_cast<int>(sizeof kElements / sizeof kElements[0])) return kUnknownElement;
    return kElements[code];
}

// Buffer offsets travel through the pointer arguments of the array calls.
const void* Offset(int bytes) { return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(bytes)); }

// -1 when the pass has no program or its program does not use the attribute.
GLint AttributeLocation(MaterialPass* pass, const char* name)
{
    if (!pass || !pass->program) return -1;
    return pass->program->GetAttributeLocation(name);
}

}  // namespace

k_MeshBuffer::~k_MeshBuffer()
{
    if (m_vertexBuffer) glDeleteBuffersARB(1, &m_vertexBuffer);
    if (m_indexBuffer) glDeleteBuffersARB(1, &m_indexBuffer);
}

void k_MeshBuffer::SetIndices(const unsigned* data, int count, unsigned usage, bool copy)
{
    // data may be this mesh's own copy (GetIndices): it is freed only after it was read.
    const std::unique_ptr<unsigned[]> previous = std::move(m_ownedIndices);
    m_indexData = nullptr;
    if (m_indexBuffer) glDeleteBuffersARB(1, &m_indexBuffer);
    m_indexBuffer = 0;
    m_indicesLocked = false;

    if (count < 0) count = 0;
    m_indexUsage = usage;
    m_indexCount = m_drawCount = count;
    if (copy) {
        m_ownedIndices = std::make_unique<unsigned[]>(static_cast<size_t>(count));  // zeroed
        if (data && count) std::memcpy(m_ownedIndices.get(), data, static_cast<size_t>(count) * sizeof(unsigned));
        m_indexData = m_ownedIndices.get();
    } else {
        m_indexData = data;
    }
    CreateMissingBuffers();
}

void k_MeshBuffer::SetVertices(const void* data, int count, const std::vector<int>& layout, unsigned usage,
                               bool copy)
{
    // data and layout may be this mesh's own (GetVertices, GetVertexLayout): the old copy is
    // freed only after it was read, and the layout is assigned, never emptied first.
    const std::unique_ptr<unsigned char[]> previous = std::move(m_ownedVertices);
    m_vertexData = nullptr;
    m_offsets.clear();
    m_vertexBytes = m_stride = 0;
    if (m_vertexBuffer) glDeleteBuffersARB(1, &m_vertexBuffer);
    m_vertexBuffer = 0;
    m_verticesLocked = false;

    if (count < 0) count = 0;
    m_vertexUsage = usage;
    m_vertexCount = count;
    m_layout = layout;
    for (int code : m_layout) {
        m_offsets.push_back(m_stride);
        m_stride += Element(code).bytes;
    }
    m_vertexBytes = static_cast<size_t>(count) * static_cast<size_t>(m_stride);  // above 2 GiB in int
    if (copy) {
        m_ownedVertices = std::make_unique<unsigned char[]>(m_vertexBytes);  // zeroed
        if (data && m_vertexBytes) std::memcpy(m_ownedVertices.get(), data, m_vertexBytes);
        m_vertexData = m_ownedVertices.get();
    } else {
        m_vertexData = static_cast<const unsigned char*>(data);
    }
    CreateMissingBuffers();
}

void k_MeshBuffer::SetMaterial(IMaterial* material)
{
    m_material = material;
    CreateMissingBuffers();
}

// Not below 0 either: a negative count is a GL error on every draw.
void k_MeshBuffer::SetDrawCount(int count) { m_drawCount = std::clamp(count, 0, m_indexCount); }

void k_MeshBuffer::CreateMissingBuffers()
{
    if (m_vertexData && !m_vertexBuffer && !m_layout.empty()) {
        glGenBuffersARB(1, &m_vertexBuffer);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_vertexBuffer);
        glBufferDataARB(GL_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(m_vertexBytes), m_vertexData, m_vertexUsage);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    }
    if (m_indexData && !m_indexBuffer) {
        glGenBuffersARB(1, &m_indexBuffer);
        glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, m_indexBuffer);
        glBufferDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(m_indexCount) * sizeof(unsigned),
                        m_indexData, m_indexUsage);
        glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    }
}

void* k_MeshBuffer::LockVertices(unsigned access)
{
    // Mapping a mapped buffer fails in GL and would lose track of the mapping still open.
    if (m_verticesLocked || !m_vertexData || !m_vertexBuffer || m_vertexUsage != GL_DYNAMIC_DRAW_ARB) return nullptr;
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_vertexBuffer);
    void* mapped = glMapBufferARB(GL_ARRAY_BUFFER_ARB, access);
    // The mapping outlives the binding; leaving the buffer bound would turn later client-side
    // array pointers into offsets.
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    m_verticesLocked = mapped != nullptr;
    return mapped;
}

void* k_MeshBuffer::LockIndices(unsigned access)
{
    if (m_indicesLocked || !m_indexData || !m_indexBuffer || m_indexUsage != GL_DYNAMIC_DRAW_ARB) return nullptr;
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, m_indexBuffer);
    void* mapped = glMapBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, access);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    m_indicesLocked = mapped != nullptr;
    return mapped;
}

void k_MeshBuffer::UnlockVertices()
{
    // Unmapping a buffer that is not mapped is a GL error.
    if (!m_vertexData || !m_vertexBuffer || !m_verticesLocked) return;
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_vertexBuffer);
    glUnmapBufferARB(GL_ARRAY_BUFFER_ARB);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    m_verticesLocked = false;
    CreateMissingBuffers();
}

void k_MeshBuffer::UnlockIndices()
{
    if (!m_indexData || !m_indexBuffer || !m_indicesLocked) return;
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, m_indexBuffer);
    glUnmapBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    m_indicesLocked = false;
    CreateMissingBuffers();
}

void k_MeshBuffer::DrawStage(Stage stage)
{
    if (stage != Geometry || !m_material || !m_vertexData || m_layout.empty()) return;
    if (m_material->Apply()) Draw(m_material->FindPass(nullptr));
}

void k_MeshBuffer::Draw(MaterialPass* pass)
{
    // Without an index buffer the draw would read indices from client memory at address 0;
    // a mapped buffer cannot be drawn from.
    if (!m_vertexBuffer || !m_indexBuffer || m_verticesLocked || m_indicesLocked) return;
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_vertexBuffer);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, m_indexBuffer);
    BindElements(pass);
    glDrawElements(m_primitiveMode, m_drawCount, GL_UNSIGNED_INT, Offset(0));
    UnbindElements(pass);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
}

void k_MeshBuffer::BindElements(MaterialPass* pass)
{
    int unit = 0;
    for (size_t i = 0; i < m_layout.size(); ++i) {
        const ElementFormat& e = Element(m_layout[i]);
        const void* at = Offset(m_offsets[i]);
        switch (e.binding) {
        case Binding::Vertex:
            glEnableClientState(GL_VERTEX_ARRAY);
            glVertexPointer(e.components, e.type, m_stride, at);
            break;
        case Binding::Normal:
            glEnableClientState(GL_NORMAL_ARRAY);
            glNormalPointer(e.type, m_stride, at);
            break;
        case Binding::Colour:
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(e.components, e.type, m_stride, at);
            break;
        case Binding::TexCoord:
            glClientActiveTextureARB(GL_TEXTURE0_ARB + unit++);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(e.components, e.type, m_stride, at);
            break;
        case Binding::Attribute: {
            const GLint location = AttributeLocation(pass, e.attribute);
            if (location < 0) break;
            glEnableVertexAttribArrayARB(location);
            glVertexAttribPointerARB(location, e.components, e.type, GL_FALSE, m_stride, at);
            break;
        }
        case Binding::None:
            break;
        }
    }
}

void k_MeshBuffer::UnbindElements(MaterialPass* pass)
{
    int unit = 0;
    for (int code : m_layout) {
        const ElementFormat& e = Element(code);
        switch (e.binding) {
        case Binding::Vertex:
            glDisableClientState(GL_VERTEX_ARRAY);
            break;
        case Binding::Normal:
            glDisableClientState(GL_NORMAL_ARRAY);
            break;
        case Binding::Colour:
            glDisableClientState(GL_COLOR_ARRAY);
            break;
        case Binding::TexCoord:
            glClientActiveTextureARB(GL_TEXTURE0_ARB + unit++);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            break;
        case Binding::Attribute: {
            const GLint location = AttributeLocation(pass, e.attribute);
            if (location >= 0) glDisableVertexAttribArrayARB(location);
            break;
        }
        case Binding::None:
            break;
        }
    }
    // Later array users expect the first unit, as GL starts.
    if (unit > 0) glClientActiveTextureARB(GL_TEXTURE0_ARB);
}
