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

// UTF-16's surrogates: a high one followed by a low one is one code point
// from U+10000 up; alone, either is a unit that is no character.
constexpr bool IsHighSurrogate(char32_t u) {
    return u >= 0xD800 && u < 0xDC00;
}
constexpr bool IsLowSurrogate(char32_t u) {
    return u >= 0xDC00 && u < 0xE000;
}
constexpr bool IsSurrogate(char32_t u) {
    return u >= 0xD800 && u < 0xE000;
}
constexpr char32_t FromSurrogates(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// The code point starting at unit i of `text`, with i moved past it; a
// surrogate that is not part of a pair is U+FFFD.
inline char32_t NextCodePoint(TextView text, size_t& i) {
    const char32_t c = char16_t(text[i++]);
    if (IsHighSurrogate(c) && i < text.size() && IsLowSurrogate(char16_t(text[i])))
        return FromSurrogates(c, char16_t(text[i++]));
    return IsSurrogate(c) ? 0xFFFD : c;
}

// Appends a code point (not a surrogate, at most U+10FFFF) as UTF-16: one
// unit below U+10000, else a pair.
void AppendUtf16(std::basic_string<TextChar>& out, char32_t cp);

// UTF-16 to UTF-8, a surrogate that is not part of a pair as U+FFFD.
std::string Utf16ToUtf8(TextView text);

}  // namespace textraster
