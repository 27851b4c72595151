// The classes of characters the stages of setting a line ask about, each
// answered in one place: marks and what clings to its base, what Arabic
// joining looks through, and what can give a character a bidi level other
// than 0. (Surrogates are in text/utf.h.)
#pragma once

#include <fribidi.h>
#include <hb.h>

namespace textraster::portable {

// Spacing, enclosing and non-spacing marks.
inline bool IsMark(char32_t c) {
    switch (hb_unicode_general_category(hb_unicode_funcs_get_default(), c)) {
        case HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK:
        case HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK:
        case HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK: return true;
        default: return false;
    }
}

// The variation selectors of both blocks.
inline bool IsVariationSelector(char32_t c) {
    return (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF);
}

// Characters that belong with the one before them: marks, joiners,
// variation selectors. They stay in its font, and HarfBuzz attaches them to
// it.
inline bool ClingsToPrevious(char32_t c) {
    constexpr char32_t kZeroWidthNonJoiner = 0x200C, kZeroWidthJoiner = 0x200D;
    return IsMark(c) || c == kZeroWidthNonJoiner || c == kZeroWidthJoiner || IsVariationSelector(c);
}

// A character that Arabic joining does not look through: letters, digits,
// punctuation, symbols and spaces (joining type U, D, R, L or C, never T,
// which marks and format characters have).
inline bool DecidesJoining(char32_t c) {
    switch (hb_unicode_general_category(hb_unicode_funcs_get_default(), c)) {
        case HB_UNICODE_GENERAL_CATEGORY_CONTROL:
        case HB_UNICODE_GENERAL_CATEGORY_FORMAT:
        case HB_UNICODE_GENERAL_CATEGORY_UNASSIGNED:
        case HB_UNICODE_GENERAL_CATEGORY_PRIVATE_USE:
        case HB_UNICODE_GENERAL_CATEGORY_SURROGATE: return false;
        default: return !IsMark(c);
    }
}

// Explicit embeddings, overrides and isolates, and paragraph separators:
// the codes past the bidi algorithm's implicit rules.
inline bool IsExplicitCode(FriBidiCharType type) {
    return FRIBIDI_IS_EXPLICIT(type) || FRIBIDI_IS_ISOLATE(type) || type == FRIBIDI_TYPE_BS;
}

// Bidi types that can give a character of a left-to-right paragraph a level
// other than 0. Without them every character of every prefix is at level 0.
inline bool RaisesLevels(FriBidiCharType type) {
    return type == FRIBIDI_TYPE_RTL || type == FRIBIDI_TYPE_AL || type == FRIBIDI_TYPE_AN || IsExplicitCode(type);
}

// RaisesLevels told from the code point alone, without its bidi type: true
// for every code point whose type raises levels (a test goes through them
// all), and for the rest of the blocks of right-to-left scripts.
inline bool MayRaiseLevels(char32_t c) {
    if (c < 0x0590) return c == 0x0A || c == 0x0D || (c >= 0x1C && c <= 0x1E) || c == 0x85;
    return c <= 0x08FF || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x2029 ||
           (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF) || (c >= 0x10800 && c <= 0x10FFF) ||
           (c >= 0x1E800 && c <= 0x1EFFF);
}

}  // namespace textraster::portable
