// The voxel box: textures, the point list and the field upload. The surface itself is built by
// the shaders "MarchingCubes/Cubes.vs", ".gs" and ".ps" in the archive.
#include "scene/k_VoxelBox.h"

#include <GL/glew.h>
#include <vector>

#include "core/IEngine.h"
#include "core/IGraphics.h"
#include "core/IResourceFactory.h"
#include "core/IShader.h"
#include "core/IShaderProgram.h"
#include "scene/MarchingCubesTable.h"

namespace {

constexpr int kFieldUnit = 6;
constexpr int kTableUnit = 7;
// The integer alpha texture of the triangle table (EXT_texture_integer).
constexpr GLenum kAlpha16I = 0x8D8A;
constexpr GLenum kAlphaInteger = 0x8D97;
// One geometry invocation emits at most five triangles of three vertices each, each triangle
// its own strip: 15 vertices, 16 as the stage is declared.
constexpr int kMaxOutputVertices = 16;

// A new texture bound to unit (left active), filtered by filter and clamped at every edge.
GLuint BoundTexture(GLenum target, int unit, GLint filter)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(target, texture);
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, filter);
    for (const GLenum wrap : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_WRAP_R})
        glTexParameteri(target, wrap, GL_CLAMP_TO_EDGE);
    return texture;
}

}  // namespace

k_VoxelBox::k_VoxelBox(IEngine* engine, int x, int y, int z)
    : k_Renderable(engine), m_sizeX(x), m_sizeY(y), m_sizeZ(z)
{
    // Below two samples an axis has no cell; the bound keeps X * Y * Z and the grid in int range.
    const auto valid = [](int n) { return n >= 2 && n <= 1024; };
    if (!valid(x) || !valid(y) || !valid(z)) throw L"Voxel Box sizes must lie between 2 and 1024!";
    if (static_cast<long long>(x) * y * z > 64ll * 1024 * 1024) throw L"Voxel Box is too large!";

    IResourceFactory* factory = engine->GetResourceFactory();
    IShader* vertex = factory->LoadShader(L"MarchingCubesVS", IShader::Vertex, L"MarchingCubes/Cubes.vs");
    IShader* geometry = factory->LoadShader(L"MarchingCubesGS", IShader::Geometry, L"MarchingCubes/Cubes.gs");
    IShader* pixel = factory->LoadShader(L"MarchingCubesPS", IShader::Pixel, L"MarchingCubes/Cubes.ps");
    if (!vertex || !geometry || !pixel) throw L"Cannot load the marching cubes shaders!";
    geometry->SetGeometryParameters(GL_POINTS, GL_TRIANGLE_STRIP, kMaxOutputVertices);
    m_program = factory->CreateShaderProgram({vertex, geometry, pixel});
    if (!m_program) throw L"Cannot create the marching cubes shader program!";

    m_field = std::make_unique<float[]>(static_cast<size_t>(x) * y * z);
    CreateTriangleTable();
    CreateFieldTexture();
    FillInitialField();
    SetUniforms();
    CreatePointList();
    glActiveTexture(GL_TEXTURE0);
}

k_VoxelBox::~k_VoxelBox()
{
    if (m_pointList) glDeleteLists(m_pointList, 1);
    if (m_pointBuffer) glDeleteBuffers(1, &m_pointBuffer);
    if (m_triangleTable) glDeleteTextures(1, &m_triangleTable);
    if (m_fieldTexture) glDeleteTextures(1, &m_fieldTexture);
}

void k_VoxelBox::GetDimensions(int* x, int* y, int* z)
{
    if (x) *x = m_sizeX;
    if (y) *y = m_sizeY;
    if (z) *z = m_sizeZ;
}

float* k_VoxelBox::Lock()
{
    if (m_locked) throw L"Voxel Box is already locked!";
    m_locked = true;
    return m_field.get();
}

void k_VoxelBox::Unlock()
{
    if (!m_locked) throw L"Voxel Box is already unlocked!";
    glActiveTexture(GL_TEXTURE0 + kFieldUnit);
    glBindTexture(GL_TEXTURE_3D, m_fieldTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage3D(GL_TEXTURE_3D, 0, GL_ALPHA32F_ARB, m_sizeX, m_sizeY, m_sizeZ, 0, GL_ALPHA, GL_FLOAT, m_field.get());
    glActiveTexture(GL_TEXTURE0);
    m_locked = false;
}

// The textures are only ever sampled by the program, so their units are not enabled for fixed-
// function drawing: a 3-D texture left enabled there would tint everything drawn later.
void k_VoxelBox::CreateTriangleTable()
{
    m_triangleTable = BoundTexture(GL_TEXTURE_2D, kTableUnit, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, kAlpha16I, 16, 256, 0, kAlphaInteger, GL_INT, kMarchingCubesTriangles);
}

void k_VoxelBox::CreateFieldTexture()
{
    m_fieldTexture = BoundTexture(GL_TEXTURE_3D, kFieldUnit, GL_LINEAR);
}

void k_VoxelBox::FillInitialField()
{
    float* field = Lock();
    for (int z = 0; z < m_sizeZ; ++z)
        for (int y = 0; y < m_sizeY; ++y)
            for (int x = 0; x < m_sizeX; ++x) {
                const float fx = 2.0f * x / m_sizeX - 1, fy = 2.0f * y / m_sizeY - 1, fz = 2.0f * z / m_sizeZ - 1;
                *field++ = 16 * fx * fy * fz + 4 * fx * fx + 4 * fy * fy + 4 * fz * fz - 1;
            }
    Unlock();
}

void k_VoxelBox::SetUniforms()
{
    m_program->SetInt("dataFieldTex", kFieldUnit);
    m_program->SetInt("triTableTex", kTableUnit);
    const float step[4] = {1.0f / m_sizeX, 1.0f / m_sizeY, 1.0f / m_sizeZ, 1};
    m_program->SetVector("dataStep", step, 4);
    const float dx = 2.0f / m_sizeX, dy = 2.0f / m_sizeY, dz = 2.0f / m_sizeZ;
    const float decals[8][4] = {{0, 0, 0, 0},  {dx, 0, 0, 0},  {dx, dy, 0, 0},  {0, dy, 0, 0},
                                {0, 0, dz, 0}, {dx, 0, dz, 0}, {dx, dy, dz, 0}, {0, dy, dz, 0}};
    static const char* const kNames[8] = {"vertDecals[0]", "vertDecals[1]", "vertDecals[2]", "vertDecals[3]",
                                          "vertDecals[4]", "vertDecals[5]", "vertDecals[6]", "vertDecals[7]"};
    for (int i = 0; i < 8; ++i) m_program->SetVector(kNames[i], decals[i], 4);
    glUseProgram(0);
}

// The buffer holds the (X + 1)(Y + 1)(Z + 1) grid points, u fastest. A cell is processed by the
// point at its lowest corner, and only the cells between samples have all eight corners in the
// field: the list draws, for every row of fixed v and w below the last sample, the first X - 1
// points of that row. Every one of the (X - 1)(Y - 1)(Z - 1) cells is drawn once, none twice.
void k_VoxelBox::CreatePointList()
{
    const int px = m_sizeX + 1, py = m_sizeY + 1, pz = m_sizeZ + 1;
    // Positions from integer indices: summing 2/X steps drifts, and a last point just above 1
    // would drop from a "while u <= 1" loop.
    std::vector<float> points;
    points.reserve(static_cast<size_t>(px) * py * pz * 3);
    for (int w = 0; w < pz; ++w)
        for (int v = 0; v < py; ++v)
            for (int u = 0; u < px; ++u) {
                points.push_back(2.0f * u / m_sizeX - 1);
                points.push_back(2.0f * v / m_sizeY - 1);
                points.push_back(2.0f * w / m_sizeZ - 1);
            }
    glGenBuffers(1, &m_pointBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, m_pointBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(points.size() * sizeof(float)), points.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    std::vector<GLint> firsts;
    std::vector<GLsizei> counts;
    for (int w = 0; w < m_sizeZ - 1; ++w)
        for (int v = 0; v < m_sizeY - 1; ++v) {
            firsts.push_back(px * (v + py * w));
            counts.push_back(m_sizeX - 1);
        }

    m_pointList = glGenLists(1);
    glNewList(m_pointList, GL_COMPILE);
    glActiveTexture(GL_TEXTURE0 + kFieldUnit);
    glBindTexture(GL_TEXTURE_3D, m_fieldTexture);
    glActiveTexture(GL_TEXTURE0 + kTableUnit);
    glBindTexture(GL_TEXTURE_2D, m_triangleTable);
    glActiveTexture(GL_TEXTURE0);
    glBindBuffer(GL_ARRAY_BUFFER, m_pointBuffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glMultiDrawArrays(GL_POINTS, firsts.data(), counts.data(), static_cast<GLsizei>(firsts.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEndList();
}

void k_VoxelBox::DrawStage(Stage stage)
{
    if (stage != Geometry) return;
    m_program->Use();
    m_program->SetFloat("isolevel", m_isoLevel);
    // No material sets the state here. Where the field meets the box's faces the surface is open:
    // both sides must show.
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glCallList(m_pointList);
    m_engine->GetGraphics()->CheckErrors();
}
