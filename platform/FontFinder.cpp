// Fonts through fontconfig: its rules pick the face, as for every other program on the desktop.
#include "platform/FontFinder.h"

#include <fontconfig/fontconfig.h>

namespace FontFinder {

const char* const kFallbackFamily = "DejaVu Sans";

bool Find(const std::string& family, bool bold, bool italic, FontMatch& match)
{
    if (!FcInit()) return false;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!found) return false;

    FcChar8* text = nullptr;
    if (FcPatternGetString(found, FC_FILE, 0, &text) == FcResultMatch) match.file = reinterpret_cast<char*>(text);
    // A face may carry several family names (localised or grouped); any one names it.
    for (int i = 0; FcPatternGetString(found, FC_FAMILY, i, &text) == FcResultMatch; ++i) {
        if (i == 0) match.family = reinterpret_cast<char*>(text);
        if (FcStrCmpIgnoreCase(text, reinterpret_cast<const FcChar8*>(family.c_str())) == 0) {
            match.familyFound = true;
            match.family = reinterpret_cast<char*>(text);
        }
    }
    int value = 0;
    if (FcPatternGetInteger(found, FC_INDEX, 0, &value) == FcResultMatch) match.index = value;
    if (FcPatternGetInteger(found, FC_WEIGHT, 0, &value) == FcResultMatch) match.bold = value >= FC_WEIGHT_DEMIBOLD;
    if (FcPatternGetInteger(found, FC_SLANT, 0, &value) == FcResultMatch) match.italic = value != FC_SLANT_ROMAN;
    FcPatternDestroy(found);
    return !match.file.empty();
}

}  // namespace FontFinder
