// Pieces of text chosen for their effect on their neighbours when shaped
// and reordered: joining, marks, ligature and fraction contexts, digits and
// separators between scripts, brackets, explicit and implicit direction
// marks, surrogates (one of them alone), tabs and paragraph separators;
// and scripts that reorder and combine inside a word (Devanagari, Thai,
// Khmer) or that the faces used lack, so that they come from other faces;
// and emoji sequences, which the colour face draws as one picture.
// Random texts made of them check prefix extents in the tests and in their
// fuzz target.
#pragma once

#include <string_view>

namespace textraster::test {

// Packed, not a piece a line.
// clang-format off
inline constexpr std::u16string_view kTrickyPieces[] = {
    u"a", u"f", u"i", u"e", u"W", u"A", u" ", u" ", u"1", u"2", u"/", u"\u2044", u"(", u")", u"[", u"]", u"\"", u".",
    u",", u"-", u"\u05D0", u"\u05E9", u"\u05DC", u"\u05B0", u"\u0627", u"\u0628", u"\u0644", u"\u0645", u"\u064B",
    u"\u0640", u"\u0661", u"\u06F1", u"\u200D", u"\u200C", u"\u200E", u"\u200F", u"\u202B", u"\u202C", u"\u2067",
    u"\u2069", u"\u0301", u"\u00E9", u"\uFE0F", u"\u4E2D", u"\u3042", u"\u3002", u"\U00020000", u"\U0001F600",
    u"\xD800", u"\t", u"\u00A0", u"\u001C", u"ffi", u"\u05D1\u05D2", u"\u0644\u0627", u"\u0628\u0628\u0628",
    u"\u0915\u094D\u0937", u"\u093F", u"\u0930", u"\u0E01", u"\u0E34", u"\u1780\u17D2\u1798", u"\uAC00",
    u"\U0001D11E", u"\u2B50", u"\U0001F44D\U0001F3FD", u"\U0001F1E9\U0001F1EA", u"\U0001F3C3\u200D\u2640\uFE0F",
    u"\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F", u"\u2764",
};
// clang-format on

}  // namespace textraster::test
