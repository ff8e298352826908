// The GLU tessellator turned into a function from contours to a triangle list.
#include "platform/ContourTessellator.h"

#include <GL/glu.h>

#include <deque>

namespace {

#ifndef CALLBACK
#define CALLBACK
#endif

struct Collector {
    std::vector<GlyphPoint> triangles;
    // Points the tessellator makes where contours cross; a deque keeps their addresses.
    std::deque<GlyphPoint> made;
    bool failed = false;
};

void CALLBACK Vertex(void* vertex, void* user)
{
    static_cast<Collector*>(user)->triangles.push_back(*static_cast<GlyphPoint*>(vertex));
}

void CALLBACK Combine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* user)
{
    auto* collector = static_cast<Collector*>(user);
    collector->made.push_back({static_cast<float>(coords[0]), static_cast<float>(coords[1])});
    *out = &collector->made.back();
}

// Registering an edge-flag callback makes the tessellator emit plain triangles only.
void CALLBACK EdgeFlag(GLboolean, void*) {}

void CALLBACK Error(GLenum, void* user) { static_cast<Collector*>(user)->failed = true; }

using Callback = void(CALLBACK*)();

}  // namespace

std::vector<GlyphPoint> TessellateContours(const std::vector<GlyphContour>& contours)
{
    GLUtesselator* tessellator = gluNewTess();
    if (!tessellator) return {};
    Collector collector;
    gluTessCallback(tessellator, GLU_TESS_VERTEX_DATA, reinterpret_cast<Callback>(Vertex));
    gluTessCallback(tessellator, GLU_TESS_COMBINE_DATA, reinterpret_cast<Callback>(Combine));
    gluTessCallback(tessellator, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<Callback>(EdgeFlag));
    gluTessCallback(tessellator, GLU_TESS_ERROR_DATA, reinterpret_cast<Callback>(Error));
    gluTessProperty(tessellator, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    // With the normal given, triangles come out counter-clockwise around it.
    gluTessNormal(tessellator, 0, 0, 1);

    // gluTessVertex keeps the coordinate pointers until the polygon ends.
    std::vector<GLdouble> coordinates;
    size_t total = 0;
    for (const GlyphContour& contour : contours) total += contour.size();
    coordinates.reserve(3 * total);

    gluTessBeginPolygon(tessellator, &collector);
    for (const GlyphContour& contour : contours) {
        gluTessBeginContour(tessellator);
        for (const GlyphPoint& point : contour) {
            coordinates.insert(coordinates.end(), {point.x, point.y, 0.0});
            gluTessVertex(tessellator, &coordinates[coordinates.size() - 3],
                          const_cast<GlyphPoint*>(&point));
        }
        gluTessEndContour(tessellator);
    }
    gluTessEndPolygon(tessellator);
    gluDeleteTess(tessellator);

    if (collector.failed || collector.triangles.size() % 3 != 0) return {};
    return std::move(collector.triangles);
}
