// Finds the file of an installed outline font by family and style. FontFinder.cpp asks
// fontconfig; FontFinder_win32.cpp reads the faces of the Windows Fonts folder.
#pragma once

#include <string>

struct FontMatch {
    std::string file, family;  // UTF-8
    int index = 0;             // the face within a collection file
    bool bold = false, italic = false;
    bool familyFound = false;  // false: the nearest face of another family
};

namespace FontFinder {

// The family used when the one asked for is not installed.
extern const char* const kFallbackFamily;

// The best installed face for the family and style; false when there is no face at all.
bool Find(const std::string& family, bool bold, bool italic, FontMatch& match);

}  // namespace FontFinder
