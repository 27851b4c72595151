// The three fixed character classes of layout. They take one UTF-16 code unit
// (surrogate halves are classified on their own and belong to no class) and do
// not depend on the locale, the font or the request.
#pragma once

#include <cstdint>

namespace textraster {

constexpr char16_t kLineFeed = 0x000A;
constexpr char16_t kSpace = 0x0020;
constexpr char16_t kZeroWidthSpace = 0x200B;

// Tab, LF, CR, space, U+2000..U+200B and the ideographic space. LF is a member;
// callers that give LF a meaning of its own test for it first.
constexpr bool IsWhiteSpace(char16_t c) {
    return c == 0x0009 || c == 0x000A || c == 0x000D || c == 0x0020 || (c >= 0x2000 && c <= 0x200B) || c == 0x3000;
}

// A line may end just before such a character: white space, everything from
// CJK Radicals Supplement to Yi Radicals (punctuation included; there is no
// rule keeping closing punctuation with what precedes it), and U+FFFC.
constexpr bool CanBreakBefore(char16_t c) {
    return IsWhiteSpace(c) || (c >= 0x2E80 && c <= 0xA4CF) || c == 0xFFFC;
}

// U+2028 and U+2029 force a line break like LF, but are not white space.
constexpr bool IsLineOrParagraphSeparator(char16_t c) {
    return c == 0x2028 || c == 0x2029;
}

// Every character that ends a line by itself.
constexpr bool IsForcedBreak(char16_t c) {
    return c == kLineFeed || IsLineOrParagraphSeparator(c);
}

}  // namespace textraster
