// Typesetter: fontconfig lookup, FreeType glyph rendering and line layout for the pictures.
#include "Typesetter.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "GposKerning.h"
#include "platform/Text.h"

namespace {

struct FontSpec {
    Face face;
    const char* family;
    int weight;  // fontconfig weight
    int slant;   // fontconfig slant
    const char* package;
};

const FontSpec kFonts[] = {
    {Face::Serif, "EB Garamond 12", FC_WEIGHT_REGULAR, FC_SLANT_ROMAN, "fonts-ebgaramond"},
    {Face::SerifItalic, "EB Garamond 12", FC_WEIGHT_REGULAR, FC_SLANT_ITALIC, "fonts-ebgaramond"},
    {Face::Sans, "Cantarell", FC_WEIGHT_REGULAR, FC_SLANT_ROMAN, "fonts-cantarell"},
    {Face::SansBold, "Cantarell", FC_WEIGHT_BOLD, FC_SLANT_ROMAN, "fonts-cantarell"},
    {Face::SansHeavy, "Cantarell", FC_WEIGHT_EXTRABOLD, FC_SLANT_ROMAN, "fonts-cantarell"},
};

std::string Describe(const FontSpec& spec)
{
    char text[160];
    std::snprintf(text, sizeof text, "'%s' (weight %d, slant %d) from the Debian package %s", spec.family, spec.weight,
                  spec.slant, spec.package);
    return text;
}

// Exact family, weight and slant; of several files the smallest path wins so every run picks the same one.
std::string FindFontFile(const FontSpec& spec, int& faceIndex)
{
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(spec.family));
    FcPatternAddInteger(pattern, FC_WEIGHT, spec.weight);
    FcPatternAddInteger(pattern, FC_SLANT, spec.slant);
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    std::string best;
    for (int i = 0; set && i < set->nfont; ++i) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
            continue;
        FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
        const std::string path = reinterpret_cast<const char*>(file);
        if (best.empty() || path < best) {
            best = path;
            faceIndex = index;
        }
    }
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return best;
}

}  // namespace

struct Typesetter::Font {
    FT_Face face = nullptr;
    std::string name;
    GposKerning kerning{{}};
    float capHeight = 0.7f;  // em
    float xHeight = 0.45f;   // em
};

Typesetter::Typesetter()
{
    if (!FcInit())
        throw std::runtime_error("fontconfig could not be initialised");
    try {
        OpenFonts();
    } catch (...) {
        Release();
        throw;
    }
}

Typesetter::~Typesetter()
{
    Release();
}

void Typesetter::OpenFonts()
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        throw std::runtime_error("FreeType could not be initialised");
    m_library = library;

    for (const FontSpec& spec : kFonts) {
        int index = 0;
        const std::string file = FindFontFile(spec, index);
        if (file.empty())
            throw std::runtime_error("font not found: " + Describe(spec));
        m_fonts.push_back(std::make_unique<Font>());
        Font& font = *m_fonts.back();
        font.name = file;
        if (FT_New_Face(library, file.c_str(), index, &font.face) != 0)
            throw std::runtime_error("font cannot be opened: " + file);

        FT_ULong length = 0;
        const FT_ULong gposTag = FT_MAKE_TAG('G', 'P', 'O', 'S');
        if (FT_Load_Sfnt_Table(font.face, gposTag, 0, nullptr, &length) == 0 && length > 0) {
            std::vector<std::uint8_t> table(length);
            if (FT_Load_Sfnt_Table(font.face, gposTag, 0, table.data(), &length) == 0)
                font.kerning = GposKerning(std::move(table));
        }
        const float units = float(font.face->units_per_EM);
        if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(font.face, FT_SFNT_OS2));
            os2 && os2->version >= 2 && os2->sCapHeight > 0) {
            font.capHeight = float(os2->sCapHeight) / units;
            font.xHeight = float(os2->sxHeight) / units;
        }
    }
}

void Typesetter::Release()
{
    for (const std::unique_ptr<Font>& font : m_fonts)
        if (font->face)
            FT_Done_Face(font->face);
    m_fonts.clear();
    if (m_library)
        FT_Done_FreeType(m_library);
    m_library = nullptr;
    FcFini();
}

std::vector<Typesetter::Glyph> Typesetter::Layout(const TextStyle& style, const std::string& utf8, float& width)
{
    Font& font = *m_fonts[size_t(style.face)];
    const float scale = style.size / float(font.face->units_per_EM);
    std::vector<Glyph> glyphs;
    float pen = 0.0f;
    unsigned previous = 0;
    for (const char32_t code : Text::FromUtf8(utf8)) {
        const unsigned index = FT_Get_Char_Index(font.face, code);
        if (index == 0) {
            char text[64];
            std::snprintf(text, sizeof text, "no glyph for U+%04X in ", unsigned(code));
            throw std::runtime_error(text + font.name);
        }
        if (!glyphs.empty()) {
            int kern = font.kerning.Adjust(previous, index);
            FT_Vector legacy{0, 0};
            if (font.kerning.Empty() && FT_HAS_KERNING(font.face) &&
                FT_Get_Kerning(font.face, previous, index, FT_KERNING_UNSCALED, &legacy) == 0)
                kern = int(legacy.x);
            pen += float(kern) * scale + style.tracking * style.size;
        }
        if (FT_Load_Glyph(font.face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0)
            throw std::runtime_error("glyph cannot be loaded from " + font.name);
        glyphs.push_back({index, pen});
        pen += float(font.face->glyph->advance.x) * scale;
        previous = index;
    }
    width = pen;
    return glyphs;
}

float Typesetter::Measure(const TextStyle& style, const std::string& utf8)
{
    float width = 0.0f;
    Layout(style, utf8, width);
    return width;
}

float Typesetter::Draw(Canvas& canvas, const TextStyle& style, const std::string& utf8, float x, float baseline,
                       const Paint& paint)
{
    float width = 0.0f;
    const std::vector<Glyph> glyphs = Layout(style, utf8, width);
    FT_Face face = m_fonts[size_t(style.face)]->face;
    FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(style.size * 64.0f)), 72, 72);
    const int row0 = int(std::lround(baseline));
    for (const Glyph& glyph : glyphs) {
        const float at = x + glyph.x;
        const float whole = std::floor(at);
        if (FT_Load_Glyph(face, glyph.index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
            face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
            continue;
        // Shifting the outline by the fractional pen position keeps spacing exact without hinting.
        FT_Outline_Translate(&face->glyph->outline, FT_Pos(std::lround((at - whole) * 64.0f)), 0);
        if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
            continue;
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        const int left = int(whole) + face->glyph->bitmap_left;
        const int top = row0 - face->glyph->bitmap_top;
        for (unsigned r = 0; r < bitmap.rows; ++r) {
            const Colour colour = paint.At(float(top + int(r)));
            const unsigned char* line = bitmap.buffer + std::ptrdiff_t(r) * bitmap.pitch;
            for (unsigned c = 0; c < bitmap.width; ++c)
                if (line[c])
                    canvas.Blend(left + int(c), top + int(r), float(line[c]) / 255.0f, colour);
        }
    }
    return x + width;
}

float Typesetter::CapHeight(const TextStyle& style) const
{
    return m_fonts[size_t(style.face)]->capHeight * style.size;
}

float Typesetter::XHeight(const TextStyle& style) const
{
    return m_fonts[size_t(style.face)]->xHeight * style.size;
}
