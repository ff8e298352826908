// Conversions between the wide strings used for file and resource names and UTF-8.
#pragma once

#include <string>

namespace Text {

std::string ToUtf8(const wchar_t* text);
inline std::string ToUtf8(const std::wstring& text) { return ToUtf8(text.c_str()); }
std::wstring FromUtf8(const std::string& text);

}  // namespace Text
