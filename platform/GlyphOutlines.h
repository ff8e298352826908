// Glyph outlines of a system font: the face found by name (FontFinder), read with FreeType, each glyph flattened to closed polylines in em units (one unit per em, y up).
#pragma once

#include <memory>
#include <string>
#include <vector>

struct GlyphPoint {
    float x, y;
};

// One closed polyline; the last point does not repeat the first.
using GlyphContour = std::vector<GlyphPoint>;

// Outer contours run counter-clockwise and holes clockwise, whichever way the font stores them,
// so the filled side of every contour lies to its left.
struct Glyph {
    std::vector<GlyphContour> contours;
    float advance = 0;  // em units along +x
};

// Bars drawn across the glyph cell, em units: the bottom edge and the height.
struct GlyphBar {
    float bottom, height;
};

class GlyphOutlines {
public:
    // The face named family (exact family name), bold and italic as asked. A family the system
    // lacks falls back to FontFinder::kFallbackFamily with a warning; a style the family lacks is
    // synthesised (emboldened, sheared). Null, with the reason logged, when no face opens.
    static std::unique_ptr<GlyphOutlines> Open(const std::wstring& family, bool bold, bool italic);
    ~GlyphOutlines();

    GlyphOutlines(const GlyphOutlines&) = delete;
    GlyphOutlines& operator=(const GlyphOutlines&) = delete;

    // The glyph of a Unicode code point; an unmapped code point has no contours and advance 0.
    Glyph Outline(unsigned codePoint);
    GlyphBar Underline() const { return m_underline; }
    GlyphBar StrikeOut() const { return m_strikeOut; }

private:
    struct Face;
    explicit GlyphOutlines(std::unique_ptr<Face> face);

    std::unique_ptr<Face> m_face;
    GlyphBar m_underline{-0.1f, 0.05f};
    GlyphBar m_strikeOut{0.25f, 0.05f};
    bool m_embolden = false;
    bool m_shear = false;
};
