// The topology keywords of geometry shaders in material files.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include "core/PrimitiveTopology.h"

namespace {

TEST(PrimitiveTopology, KeywordsMapToGlModes)
{
    const struct { const char* keyword; unsigned mode; } cases[] = {
        {"Triangle", GL_TRIANGLES}, {"TriangleStrip", GL_TRIANGLE_STRIP}, {"Line", GL_LINES},
        {"LineStrip", GL_LINE_STRIP}, {"LineLoop", GL_LINE_LOOP},       {"Quad", GL_QUADS},
        {"Point", GL_POINTS},
    };
    for (const auto& c : cases) EXPECT_EQ(ParsePrimitiveTopology(c.keyword), c.mode) << c.keyword;
}

TEST(PrimitiveTopology, AnyOtherWordThrowsTheMessage)
{
    for (const char* word : {"quad", "Triangles", "", " Point", "Point "}) {
        try {
            ParsePrimitiveTopology(word);
            ADD_FAILURE() << "no error for '" << word << "'";
        } catch (const wchar_t* message) {
            EXPECT_EQ(std::wstring(message), L"Invalid value passed to r_PrimitiveTopology::Parse!");
        }
    }
}

}  // namespace
