// Conversions between the wide strings used for file and resource names and UTF-8.
#pragma once

#include <string>

namespace Text {

// A byte that is not part of well-formed UTF-8 becomes U+DC80..U+DCFF on the way in and the same
// byte on the way out, so any name the system allows survives a round trip unchanged.
std::string ToUtf8(const wchar_t* text);
inline std::string ToUtf8(const std::wstring& text) { return ToUtf8(text.c_str()); }
std::wstring FromUtf8(const std::string& text);

// Bytes for people to read: valid UTF-8 as it is; control bytes and bytes that are not UTF-8 as
// \xNN, C1 controls and the marks and overrides that reorder text as \uNNNN, so two different
// names never look alike and a line never drives the terminal.
std::string Shown(const std::string& bytes);

}  // namespace Text
