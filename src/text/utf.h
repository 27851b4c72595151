// Conversions between UTF-8 (command lines, files, fontconfig, the C
// library) and the library's UTF-16 text. Decoding UTF-8 is strict and says
// where the input breaks; UTF-16 text is taken as hosts give it, where a
// surrogate that is not part of a pair is a character of its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "textraster.h"

namespace textraster {

using TextView = std::basic_string_view<TextChar>;

// A conversion's result: the text, or a message saying where the input is
// broken (and then no text).
struct Decoded {
    std::basic_string<TextChar> text;
    std::string error;  // empty on success
};

// Strict UTF-8: overlong forms, encoded surrogates, values above U+10FFFF,
// stray continuation bytes and cut sequences are refused, with the byte
// offset where the input breaks.
Decoded Utf8ToUtf16(std::string_view utf8);

// The bytes of a text file: UTF-16 (little- or big-endian) when it starts with
// the matching byte-order mark, else UTF-8 (with or without its mark). A lone
// surrogate in UTF-16 is refused as UTF-8 refuses an encoded one.
Decoded DecodeTextFile(const std::vector<uint8_t>& bytes);

// The code point starting at unit i of `text`, with i moved past it; a
// surrogate that is not part of a pair is U+FFFD.
inline char32_t NextCodePoint(TextView text, size_t& i) {
    const char32_t c = char16_t(text[i++]);
    if (c >= 0xD800 && c < 0xDC00 && i < text.size() && text[i] >= 0xDC00 && text[i] < 0xE000)
        return 0x10000 + ((c - 0xD800) << 10) + (char32_t(char16_t(text[i++])) - 0xDC00);
    return c >= 0xD800 && c < 0xE000 ? 0xFFFD : c;
}

// UTF-16 to UTF-8, a surrogate that is not part of a pair as U+FFFD.
std::string Utf16ToUtf8(TextView text);

}  // namespace textraster
