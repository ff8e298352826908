// Fonts on Windows: no fontconfig, so every face in the Fonts folder is read once with FreeType
// and matched by its family name and style flags.
#include "platform/FontFinder.h"

#include <windows.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

#include "platform/Files.h"
#include "platform/Text.h"

namespace FontFinder {

// Windows ships Arial; the tests' prefix holds DejaVu.
const char* const kFallbackFamily = "Arial";

namespace {

// Styles that are the family's plain cut, not a width or weight variant ("Condensed", "Light").
const char* const kPlainStyles[] = {"Regular", "Book", "Normal", "Roman", "Bold", "Italic", "Oblique",
                                    "Bold Italic", "Bold Oblique"};

struct Face {
    FontMatch match;
    bool plain = false;
};

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return text;
}

std::string FontsFolder()
{
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    return Text::ToUtf8(windows) + "\\Fonts";
}

// Every outline face of the Fonts folder, read once per process.
const std::vector<Face>& Faces()
{
    static std::vector<Face> faces;
    static bool scanned = false;
    if (scanned) return faces;
    scanned = true;
    const std::string folder = FontsFolder();
    FT_Library library = nullptr;
    if (folder.empty() || FT_Init_FreeType(&library) != 0) return faces;
    for (const std::string& name : Files::ListRegular(folder)) {
        const std::string file = folder + "\\" + name;
        FT_Face ft = nullptr;
        FT_Long count = 1;
        for (FT_Long index = 0; index < count; ++index) {
            // FreeType opens by narrow name: a font file whose name is not ASCII is passed over.
            if (FT_New_Face(library, file.c_str(), index, &ft) != 0) break;
            count = ft->num_faces;
            if (FT_IS_SCALABLE(ft) && ft->family_name) {
                Face face;
                face.match.file = file;
                face.match.family = ft->family_name;
                face.match.index = static_cast<int>(index);
                face.match.bold = (ft->style_flags & FT_STYLE_FLAG_BOLD) != 0;
                face.match.italic = (ft->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
                for (const char* plain : kPlainStyles)
                    face.plain = face.plain || (ft->style_name && Upper(ft->style_name) == Upper(plain));
                faces.push_back(face);
            }
            FT_Done_Face(ft);
        }
    }
    FT_Done_FreeType(library);
    return faces;
}

// The family's face nearest the style: the style flags first, then a plain cut.
const Face* Best(const std::string& family, bool bold, bool italic)
{
    const Face* best = nullptr;
    int bestScore = -1;
    for (const Face& face : Faces()) {
        if (Upper(face.match.family) != Upper(family)) continue;
        const int score = (face.match.bold == bold) * 4 + (face.match.italic == italic) * 2 + face.plain;
        if (score > bestScore) best = &face, bestScore = score;
    }
    return best;
}

}  // namespace

bool Find(const std::string& family, bool bold, bool italic, FontMatch& match)
{
    const Face* face = Best(family, bold, italic);
    if (!face) face = Best(kFallbackFamily, bold, italic);
    if (!face && !Faces().empty()) face = &Faces().front();
    if (!face) return false;
    match = face->match;
    match.familyFound = Upper(match.family) == Upper(family);
    return true;
}

}  // namespace FontFinder
