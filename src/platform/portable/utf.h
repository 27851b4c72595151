// UTF-16 as the platform's API takes it, to UTF-32 and UTF-8 as FreeType,
// HarfBuzz, FriBidi, fontconfig and the C library take it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace textraster::portable {

// The code point starting at unit i, with i moved past it. A surrogate that
// is not part of a pair becomes U+FFFD.
inline char32_t NextCodePoint(std::u16string_view text, size_t& i) {
    char32_t c = text[i++];
    if (c >= 0xD800 && c < 0xDC00 && i < text.size() && text[i] >= 0xDC00 && text[i] < 0xE000)
        return 0x10000 + ((c - 0xD800) << 10) + (char32_t(text[i++]) - 0xDC00);
    return c >= 0xD800 && c < 0xE000 ? 0xFFFD : c;
}

inline std::string ToUtf8(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        char32_t c = NextCodePoint(text, i);
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

inline std::u16string FromUtf8(std::string_view text) {
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        char32_t c = extra == 3 ? lead & 0x07u : extra == 2 ? lead & 0x0Fu : extra == 1 ? lead & 0x1Fu : lead;
        ++i;
        for (int k = 0; k < extra && i < text.size(); ++k, ++i)
            c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3Fu);
        if (extra < 0) c = 0xFFFD;
        if (c >= 0x10000) {
            out += char16_t(0xD800 + ((c - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

// The length of a NUL-terminated UTF-16 string.
inline size_t Length(const char16_t* text) {
    size_t n = 0;
    while (text[n]) ++n;
    return n;
}

}  // namespace textraster::portable
