// Outline text: the font cache, the extruded glyph geometry in display lists, and drawing.
#include "scene/k_Text.h"

#include <GL/glew.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/ContourTessellator.h"
#include "platform/GlyphOutlines.h"
#include "core/IMaterial.h"

namespace {

// Codes 0..254 get lists; 255 is reserved with them but left empty, so it draws nothing.
constexpr int kListCount = 256;
constexpr int kGlyphCount = 255;
// Side-wall normals are smoothed across corners flatter than this (cosine of 30 degrees), so
// curves look round and corners stay sharp.
constexpr float kSmoothCorner = 0.866f;

struct Normal {
    float x, y;
};

Normal Normalised(float x, float y)
{
    const float length = std::hypot(x, y);
    return length > 0 ? Normal{x / length, y / length} : Normal{0, 0};
}

// A bar across the glyph cell, running counter-clockwise like an outer contour.
GlyphContour Bar(const GlyphBar& bar, float advance)
{
    const float top = bar.bottom + bar.height;
    return {{0, bar.bottom}, {advance, bar.bottom}, {advance, top}, {0, top}};
}

// The walls between z = 0 and z = -depth along one contour. Filled area lies left of each
// edge, so the outward normal is the edge direction turned clockwise.
void EmitWalls(const GlyphContour& contour, float depth)
{
    const size_t n = contour.size();
    std::vector<Normal> edge(n);
    for (size_t i = 0; i < n; ++i) {
        const GlyphPoint& a = contour[i];
        const GlyphPoint& b = contour[(i + 1) % n];
        edge[i] = Normalised(b.y - a.y, a.x - b.x);
    }
    for (size_t i = 0; i < n; ++i) {
        const size_t next = (i + 1) % n;
        const Normal previous = edge[(i + n - 1) % n], own = edge[i], following = edge[next];
        const Normal start = previous.x * own.x + previous.y * own.y > kSmoothCorner
                                 ? Normalised(previous.x + own.x, previous.y + own.y)
                                 : own;
        const Normal end = own.x * following.x + own.y * following.y > kSmoothCorner
                               ? Normalised(own.x + following.x, own.y + following.y)
                               : own;
        const GlyphPoint& a = contour[i];
        const GlyphPoint& b = contour[next];
        // Clockwise seen from outside, as the demo winds its front faces.
        glNormal3f(start.x, start.y, 0);
        glVertex3f(a.x, a.y, 0);
        glNormal3f(end.x, end.y, 0);
        glVertex3f(b.x, b.y, 0);
        glVertex3f(b.x, b.y, -depth);
        glNormal3f(start.x, start.y, 0);
        glVertex3f(a.x, a.y, 0);
        glNormal3f(end.x, end.y, 0);
        glVertex3f(b.x, b.y, -depth);
        glNormal3f(start.x, start.y, 0);
        glVertex3f(a.x, a.y, -depth);
    }
}

// One glyph's list: front cap at z = 0, back cap at z = -depth, the walls between, and the
// advance as a translation, so a run of lists lays the text out by itself.
void CompileGlyph(GLuint list, const Glyph& glyph, float depth)
{
    const std::vector<GlyphPoint> caps = TessellateContours(glyph.contours);
    glNewList(list, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    // The tessellator winds counter-clockwise seen from +z: reversed for the front cap, so both
    // caps are clockwise seen from outside.
    glNormal3f(0, 0, 1);
    for (size_t i = 0; i < caps.size(); i += 3)
        for (size_t k : {i + 2, i + 1, i}) glVertex3f(caps[k].x, caps[k].y, 0);
    if (depth != 0) {
        glNormal3f(0, 0, -1);
        for (const GlyphPoint& p : caps) glVertex3f(p.x, p.y, -depth);
        for (const GlyphContour& contour : glyph.contours) EmitWalls(contour, depth);
    }
    glEnd();
    glTranslatef(glyph.advance, 0, 0);
    glEndList();
}

}  // namespace

struct k_Text::Font {
    int size;
    float depth;
    int style;
    GLuint listBase;
    std::wstring faceName;
    std::unique_ptr<GlyphOutlines> outlines;
    std::array<float, kListCount> advances{};  // em units; 255 has none

    ~Font() { glDeleteLists(listBase, kListCount); }
};

std::vector<std::unique_ptr<k_Text::Font>>& k_Text::FontCache()
{
    static std::vector<std::unique_ptr<Font>> cache;
    return cache;
}

k_Text::k_Text(IEngine* engine, const std::string& text, const std::wstring& faceName, int size, float depth,
               int style)
    : k_Renderable(engine), m_text(text), m_faceName(faceName), m_size(size), m_depth(depth), m_style(style)
{
    for (const std::unique_ptr<Font>& font : FontCache())
        if (font->depth == depth && font->style == style && font->faceName == faceName && font->size == size) {
            m_font = font.get();
            m_listBase = font->listBase;
            return;
        }

    std::unique_ptr<GlyphOutlines> outlines = GlyphOutlines::Open(faceName, style & Bold, style & Italic);
    if (!outlines) throw L"Cannot create font!";
    const GLuint base = glGenLists(kListCount);
    if (base == 0) throw L"Cannot create display lists for the font!";

    auto font = std::make_unique<Font>();
    font->size = size;
    font->depth = depth;
    font->style = style;
    font->listBase = base;
    font->faceName = faceName;
    for (int code = 0; code < kGlyphCount; ++code) {
        // The 8-bit code page is Latin-1: each byte is its own Unicode code point.
        Glyph glyph = outlines->Outline(static_cast<unsigned>(code));
        if (glyph.advance > 0) {
            if (style & Underline) glyph.contours.push_back(Bar(outlines->Underline(), glyph.advance));
            if (style & StrikeOut) glyph.contours.push_back(Bar(outlines->StrikeOut(), glyph.advance));
        }
        CompileGlyph(base + code, glyph, depth);
        font->advances[code] = glyph.advance;
    }
    font->outlines = std::move(outlines);
    m_font = font.get();
    m_listBase = base;
    FontCache().push_back(std::move(font));
}

int k_Text::GetTextWidth()
{
    float width = 0;
    for (unsigned char code : m_text) width += m_font->advances[code];
    return static_cast<int>(std::lround(width * m_size));
}

void k_Text::DrawStage(Stage stage)
{
    if (stage != Geometry || !m_material || !m_material->Apply()) return;
    glListBase(m_listBase);
    glCallLists(static_cast<GLsizei>(m_text.size()), GL_UNSIGNED_BYTE, m_text.data());
}

void k_Text::ReleaseFontCache() { FontCache().clear(); }
