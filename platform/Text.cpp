// UTF-8 <-> wide conversion by hand, so the result never depends on the process locale.
#include "platform/Text.h"

namespace Text {

std::string ToUtf8(const wchar_t* text)
{
    std::string out;
    for (; text && *text; ++text) {
        unsigned long c = static_cast<unsigned long>(*text);
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;  // lone surrogate halves
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x110000) {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += "\xEF\xBF\xBD";
        }
    }
    return out;
}

std::wstring FromUtf8(const std::string& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xC0 ? -1 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF8 ? 3 : -1;
        if (extra < 0 || i + extra >= text.size()) {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        unsigned long c = extra ? lead & (0x3F >> extra) : lead;
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            ok = ok && (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are refused: an overlong "/" or "."
        // must not turn into a real one after a name has been checked in its encoded form.
        static const unsigned long shortest[] = {0, 0x80, 0x800, 0x10000};
        ok = ok && c >= shortest[extra] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        out += ok ? static_cast<wchar_t>(c) : L'\xFFFD';
        i += ok ? extra + 1 : 1;
    }
    return out;
}

}  // namespace Text
