// The primitive topology keywords of material files.
#include "core/PrimitiveTopology.h"

#include <GL/glew.h>

unsigned int ParsePrimitiveTopology(const std::string& keyword)
{
    static const struct {
        const char* keyword;
        GLenum mode;
    } table[] = {
        {"Triangle", GL_TRIANGLES}, {"TriangleStrip", GL_TRIANGLE_STRIP}, {"Line", GL_LINES},
        {"LineStrip", GL_LINE_STRIP}, {"LineLoop", GL_LINE_LOOP},       {"Quad", GL_QUADS},
        {"Point", GL_POINTS},
    };
    for (const auto& row : table)
        if (keyword == row.keyword) return row.mode;
    throw L"Invalid value passed to r_PrimitiveTopology::Parse!";
}
