// UTF-8 <-> wide conversion by hand, so the result never depends on the process locale. Wide
// strings are UTF-32 where wchar_t has 32 bits (Linux) and UTF-16 where it has 16 (Windows).
#include "platform/Text.h"

namespace Text {

namespace {

// A stray byte b >= 0x80 is carried as U+DC00 + b: a lone surrogate, never a character of its own.
constexpr char32_t kEscapeBase = 0xDC00;
constexpr char32_t kEscapedFirst = kEscapeBase + 0x80;
constexpr char32_t kEscapedLast = kEscapeBase + 0xFF;
constexpr char32_t kHighFirst = 0xD800, kHighLast = 0xDBFF, kLowFirst = 0xDC00, kLowLast = 0xDFFF;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char32_t kReplacement = 0xFFFD;
constexpr bool kUtf16 = sizeof(wchar_t) == 2;

bool IsEscape(char32_t c) { return c >= kEscapedFirst && c <= kEscapedLast; }

// The code points of a wide string: UTF-16 pairs joined; an escape stays an escape.
std::u32string CodePoints(const wchar_t* text)
{
    std::u32string points;
    for (; text && *text; ++text) {
        char32_t c = static_cast<char32_t>(*text) & (kUtf16 ? 0xFFFF : 0xFFFFFFFF);
        const char32_t next = text[1] ? static_cast<char32_t>(text[1]) & 0xFFFF : 0;
        if (kUtf16 && c >= kHighFirst && c <= kHighLast && next >= kLowFirst && next <= kLowLast) {
            c = kFirstSupplementary + ((c - kHighFirst) << 10) + (next - kLowFirst);
            ++text;
        }
        points += c;
    }
    return points;
}

// The code points of UTF-8 text; each byte that is not part of well-formed UTF-8 as an escape.
std::u32string Decode(const std::string& text)
{
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xC0 ? -1 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF8 ? 3 : -1;
        if (extra < 0 || i + extra >= text.size()) {
            out += kEscapeBase + lead;
            ++i;
            continue;
        }
        char32_t c = extra ? lead & (0x3F >> extra) : lead;
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            ok = ok && (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are refused: an overlong "/" or "."
        // must not turn into a real one after a name has been checked in its encoded form.
        static const char32_t shortest[] = {0, 0x80, 0x800, 0x10000};
        ok = ok && c >= shortest[extra] && c <= 0x10FFFF && (c < kHighFirst || c > kLowLast);
        out += ok ? c : kEscapeBase + lead;
        i += ok ? extra + 1 : 1;
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (IsEscape(c)) {
        out += static_cast<char>(c - kEscapeBase);
        return;
    }
    if (c >= kHighFirst && c <= kLowLast) c = kReplacement;  // other lone surrogate halves
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

}  // namespace

std::string ToUtf8(const wchar_t* text)
{
    std::string out;
    for (const char32_t c : CodePoints(text)) AppendUtf8(out, c);
    return out;
}

std::wstring FromUtf8(const std::string& text)
{
    std::wstring out;
    for (const char32_t c : Decode(text)) {
        if (kUtf16 && c >= kFirstSupplementary) {
            out += static_cast<wchar_t>(kHighFirst + ((c - kFirstSupplementary) >> 10));
            out += static_cast<wchar_t>(kLowFirst + ((c - kFirstSupplementary) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

namespace {

// C1 controls (terminals act on CSI U+009B, OSC U+009D and ST U+009C as on ESC sequences) and the
// marks, embeddings, overrides and isolates that reorder the text shown after them.
bool DrivesTheTerminal(char32_t code)
{
    return (code >= 0x80 && code <= 0x9F) || code == 0x061C || code == 0x200E || code == 0x200F ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

}  // namespace

std::string Shown(const std::string& bytes)
{
    static const char kHex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(bytes.size());
    for (const char32_t code : Decode(bytes)) {
        const bool stray = IsEscape(code);
        if (stray || (code < 0x20 && code != U'\t') || code == 0x7F) {
            const unsigned byte = stray ? unsigned(code - kEscapeBase) : unsigned(code);
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 15];
        } else if (DrivesTheTerminal(code)) {
            // As a code point, so that it never looks like the stray byte of the same value.
            shown += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) shown += kHex[(code >> shift) & 15];
        } else {
            AppendUtf8(shown, code);
        }
    }
    return shown;
}

}  // namespace Text
