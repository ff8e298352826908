// UTF-8 <-> wide conversion by hand, so the result never depends on the process locale.
#include "platform/Text.h"

namespace Text {

namespace {

// A stray byte b >= 0x80 is carried as U+DC00 + b: a lone surrogate, never a character of its own.
constexpr unsigned long kEscapeBase = 0xDC00;
constexpr unsigned long kEscapedFirst = kEscapeBase + 0x80;
constexpr unsigned long kEscapedLast = kEscapeBase + 0xFF;

wchar_t Escaped(unsigned char byte) { return static_cast<wchar_t>(kEscapeBase + byte); }

}  // namespace

std::string ToUtf8(const wchar_t* text)
{
    std::string out;
    for (; text && *text; ++text) {
        unsigned long c = static_cast<unsigned long>(*text);
        if (c >= kEscapedFirst && c <= kEscapedLast) {
            out += static_cast<char>(c - kEscapeBase);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;  // other lone surrogate halves
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
            out += Escaped(lead);
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
        out += ok ? static_cast<wchar_t>(c) : Escaped(lead);
        i += ok ? extra + 1 : 1;
    }
    return out;
}

std::string Shown(const std::string& bytes)
{
    static const char kHex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(bytes.size());
    for (const wchar_t c : FromUtf8(bytes)) {
        const unsigned long code = static_cast<unsigned long>(c);
        const bool stray = code >= kEscapedFirst && code <= kEscapedLast;
        if (stray || (code < 0x20 && c != L'\t') || code == 0x7F) {
            const unsigned byte = stray ? unsigned(code - kEscapeBase) : unsigned(code);
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 15];
        } else {
            const wchar_t one[2] = {c, 0};
            shown += ToUtf8(one);
        }
    }
    return shown;
}

}  // namespace Text
