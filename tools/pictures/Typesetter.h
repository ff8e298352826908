// Typesetter: finds the caption faces through fontconfig and sets single lines of UTF-8 text
// with FreeType: unhinted outlines at sub-pixel positions, GPOS (or legacy) pair kerning, tracking.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

enum class Face {
    Serif,        // EB Garamond 12 Regular
    SerifItalic,  // EB Garamond 12 Italic
    Sans,         // Cantarell Regular
    SansBold,     // Cantarell Bold
    SansHeavy,    // Cantarell Extra Bold
};

struct TextStyle {
    Face face;
    float size;             // pixels per em
    float tracking = 0.0f;  // extra space after every letter but the last, in em
};

class Typesetter {
public:
    // Opens every face; throws std::runtime_error naming the missing font and its Debian package.
    Typesetter();
    ~Typesetter();
    Typesetter(const Typesetter&) = delete;
    Typesetter& operator=(const Typesetter&) = delete;

    // Width of the pen advance of the line, in pixels. Throws std::runtime_error when a
    // character has no glyph in the face.
    float Measure(const TextStyle& style, const std::string& utf8);
    // Draws the line with its pen starting at (x, baseline) (pixels, y down); returns the pen's end.
    float Draw(Canvas& canvas, const TextStyle& style, const std::string& utf8, float x, float baseline,
               const Paint& paint);
    // Height of capitals / lower-case x above the baseline, in pixels.
    float CapHeight(const TextStyle& style) const;
    float XHeight(const TextStyle& style) const;

private:
    struct Font;
    struct Glyph {
        unsigned index;
        float x;  // pen position, pixels from the line's start
    };

    void OpenFonts();
    void Release();
    std::vector<Glyph> Layout(const TextStyle& style, const std::string& utf8, float& width);

    FT_LibraryRec_* m_library = nullptr;
    std::vector<std::unique_ptr<Font>> m_fonts;  // indexed by Face
};
