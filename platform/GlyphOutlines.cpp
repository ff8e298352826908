// Glyph outlines through FreeType, flattened to polylines in em units; FontFinder finds the face.
#include "platform/GlyphOutlines.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

#include "platform/FontFinder.h"
#include "platform/Log.h"
#include "platform/Text.h"

namespace {

// Curves are cut into chords deviating at most this far from them, in em units: finer than a
// pixel for a caption a whole screen wide.
constexpr float kFlatness = 0.0015f;
constexpr int kMostChordsPerCurve = 24;
// Synthetic bold widens each stem by this share of the em; synthetic italic leans 12 degrees.
constexpr float kEmboldenShare = 1.0f / 28;
constexpr double kItalicSlant = 0.2126;

// One library for every face; the last face to go takes it along.
std::shared_ptr<FT_LibraryRec_> Library()
{
    static std::weak_ptr<FT_LibraryRec_> shared;
    std::shared_ptr<FT_LibraryRec_> library = shared.lock();
    if (library) return library;
    FT_Library made = nullptr;
    if (FT_Init_FreeType(&made) != 0) return nullptr;
    library.reset(made, FT_Done_FreeType);
    shared = library;
    return library;
}

// Collects the outline's contours as polylines while FreeType walks it.
struct Flattener {
    std::vector<GlyphContour> contours;
    float scale;  // font units to em
    GlyphPoint pen{0, 0};

    GlyphPoint Em(const FT_Vector* v) const { return {v->x * scale, v->y * scale}; }
    void Add(GlyphPoint p)
    {
        GlyphContour& contour = contours.back();
        if (contour.empty() || contour.back().x != p.x || contour.back().y != p.y) contour.push_back(p);
        pen = p;
    }
    static int Chords(float deviation)
    {
        return std::clamp(static_cast<int>(std::ceil(std::sqrt(deviation / kFlatness))), 1, kMostChordsPerCurve);
    }

    static int MoveTo(const FT_Vector* to, void* user)
    {
        auto* self = static_cast<Flattener*>(user);
        self->contours.emplace_back();
        self->Add(self->Em(to));
        return 0;
    }
    static int LineTo(const FT_Vector* to, void* user)
    {
        auto* self = static_cast<Flattener*>(user);
        self->Add(self->Em(to));
        return 0;
    }
    static int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user)
    {
        auto* self = static_cast<Flattener*>(user);
        const GlyphPoint a = self->pen, c = self->Em(control), b = self->Em(to);
        const int n = Chords(0.25f * std::hypot(a.x - 2 * c.x + b.x, a.y - 2 * c.y + b.y));
        for (int i = 1; i <= n; ++i) {
            const float t = static_cast<float>(i) / n, s = 1 - t;
            self->Add({s * s * a.x + 2 * s * t * c.x + t * t * b.x, s * s * a.y + 2 * s * t * c.y + t * t * b.y});
        }
        return 0;
    }
    static int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
    {
        auto* self = static_cast<Flattener*>(user);
        const GlyphPoint a = self->pen, c = self->Em(control1), d = self->Em(control2), b = self->Em(to);
        const float bend = std::max(std::hypot(a.x - 2 * c.x + d.x, a.y - 2 * c.y + d.y),
                                    std::hypot(c.x - 2 * d.x + b.x, c.y - 2 * d.y + b.y));
        const int n = Chords(0.75f * bend);
        for (int i = 1; i <= n; ++i) {
            const float t = static_cast<float>(i) / n, s = 1 - t;
            const float w0 = s * s * s, w1 = 3 * s * s * t, w2 = 3 * s * t * t, w3 = t * t * t;
            self->Add({w0 * a.x + w1 * c.x + w2 * d.x + w3 * b.x, w0 * a.y + w1 * c.y + w2 * d.y + w3 * b.y});
        }
        return 0;
    }
};

}  // namespace

struct GlyphOutlines::Face {
    std::shared_ptr<FT_LibraryRec_> library;
    FT_Face face = nullptr;
    // Symbol fonts map their glyphs to U+F000 + the 8-bit code instead of to Unicode.
    bool symbol = false;
    ~Face()
    {
        if (face) FT_Done_Face(face);
    }
};

std::unique_ptr<GlyphOutlines> GlyphOutlines::Open(const std::wstring& family, bool bold, bool italic)
{
    const std::string name = Text::ToUtf8(family);
    FontMatch match;
    if (!FontFinder::Find(name, bold, italic, match)) {
        Log::Error() << "No font matches '" << name << "'";
        return nullptr;
    }
    if (!match.familyFound) {
        FontMatch fallback;
        if (FontFinder::Find(FontFinder::kFallbackFamily, bold, italic, fallback)) match = fallback;
        Log::Warning() << "Font '" << name << "' is not installed; using '" << match.family << "'";
    }

    auto face = std::make_unique<Face>();
    face->library = Library();
    if (!face->library || FT_New_Face(face->library.get(), match.file.c_str(), match.index, &face->face) != 0) {
        Log::Error() << "Cannot open font file " << match.file;
        return nullptr;
    }
    FT_Face ft = face->face;
    if (!FT_IS_SCALABLE(ft) || ft->units_per_EM == 0) {
        Log::Error() << "Font file " << match.file << " has no outlines";
        return nullptr;
    }
    if (FT_Select_Charmap(ft, FT_ENCODING_UNICODE) != 0) {
        if (FT_Select_Charmap(ft, FT_ENCODING_MS_SYMBOL) != 0) {
            Log::Error() << "Font file " << match.file << " maps no Unicode characters";
            return nullptr;
        }
        face->symbol = true;
    }

    std::unique_ptr<GlyphOutlines> outlines(new GlyphOutlines(std::move(face)));
    outlines->m_embolden = bold && !match.bold;
    outlines->m_shear = italic && !match.italic;
    const float em = static_cast<float>(ft->units_per_EM);
    if (ft->underline_thickness > 0)
        outlines->m_underline = {(ft->underline_position - ft->underline_thickness / 2.0f) / em,
                                 ft->underline_thickness / em};
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0)
        outlines->m_strikeOut = {(os2->yStrikeoutPosition - os2->yStrikeoutSize) / em, os2->yStrikeoutSize / em};
    return outlines;
}

GlyphOutlines::GlyphOutlines(std::unique_ptr<Face> face) : m_face(std::move(face)) {}

GlyphOutlines::~GlyphOutlines() = default;

Glyph GlyphOutlines::Outline(unsigned codePoint)
{
    Glyph glyph;
    FT_Face ft = m_face->face;
    const FT_UInt index = FT_Get_Char_Index(ft, m_face->symbol ? 0xF000u + codePoint : codePoint);
    if (index == 0) return glyph;
    if (FT_Load_Glyph(ft, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0 ||
        ft->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return glyph;

    FT_Outline& outline = ft->glyph->outline;
    FT_Pos advance = ft->glyph->advance.x;
    if (m_embolden) {
        const FT_Pos strength = static_cast<FT_Pos>(ft->units_per_EM * kEmboldenShare);
        FT_Outline_Embolden(&outline, strength);
        advance += strength;
    }
    if (m_shear) {
        FT_Matrix lean{0x10000, static_cast<FT_Fixed>(kItalicSlant * 0x10000), 0, 0x10000};
        FT_Outline_Transform(&outline, &lean);
    }
    const bool fillsRight = FT_Outline_Get_Orientation(&outline) == FT_ORIENTATION_TRUETYPE;

    Flattener flattener;
    flattener.scale = 1.0f / ft->units_per_EM;
    const FT_Outline_Funcs walk{Flattener::MoveTo, Flattener::LineTo, Flattener::ConicTo, Flattener::CubicTo, 0, 0};
    FT_Outline_Decompose(&outline, &walk, &flattener);

    for (GlyphContour& contour : flattener.contours) {
        // Decomposition closes each contour on its first point; the polyline closes implicitly.
        if (contour.size() > 1 && contour.front().x == contour.back().x && contour.front().y == contour.back().y)
            contour.pop_back();
        if (contour.size() < 3) continue;
        if (fillsRight) std::reverse(contour.begin(), contour.end());
        glyph.contours.push_back(std::move(contour));
    }
    glyph.advance = advance * flattener.scale;
    return glyph;
}
