// The unit quad's geometry.
#include "scene/UnitQuad.h"

#include <GL/glew.h>

#include "core/IResourceFactory.h"
#include "core/IMeshBuffer.h"

namespace {

// Position (3 floats), then texture coordinate (2 floats).
constexpr float kVertices[] = {
    1, 1, 0.5f, 1, 1,
    1, 0, 0.5f, 1, 0,
    0, 0, 0.5f, 0, 0,
    0, 1, 0.5f, 0, 1,
};
constexpr unsigned kIndices[] = {0, 1, 2, 3};

}  // namespace

void FillUnitQuad(IMeshBuffer* mesh)
{
    mesh->SetPrimitiveMode(GL_QUADS);
    mesh->SetVertices(kVertices, 4, {IMeshBuffer::Position3, IMeshBuffer::TexCoord2}, GL_STATIC_DRAW_ARB, true);
    mesh->SetIndices(kIndices, 4, GL_STATIC_DRAW_ARB, true);
}

IMeshBuffer* CreateUnitQuad(IResourceFactory* factory, IMaterial* material)
{
    IMeshBuffer* mesh = factory->CreateMeshBuffer();
    if (!mesh) return nullptr;
    FillUnitQuad(mesh);
    mesh->SetMaterial(material);
    return mesh;
}
