// Characters the platform measures one by one, whatever surrounds them.
//
// A run of such characters has prefix extents that add up: the platform
// takes each character's own advance, so the extent of the first k
// characters measured alone is the k-th partial extent of the whole run, and
// one call can give every prefix's extent. That stops holding where the
// platform shapes in context (complex scripts, where a letter's form depends
// on its neighbours), reorders (right-to-left and bidi controls) or joins
// (combining marks, joiners, variation selectors, surrogate pairs), so the
// class is a short list of blocks known to hold none of those; everything
// else is measured prefix by prefix.
#pragma once

namespace textraster {

constexpr bool IsContextFree(char16_t c) {
    // Basic Latin and Latin-1 without the C0 and C1 controls and the soft
    // hyphen (drawn or not by context), Latin Extended-A and -B, IPA and the
    // spacing modifiers; combining diacritics (U+0300-036F) stay out.
    if (c < 0x0300) return (c >= 0x0020 && c < 0x007F) || (c >= 0x00A0 && c != 0x00AD);
    // Greek and Coptic; Cyrillic without its combining marks (U+0483-0489)
    // and the Cyrillic Supplement.
    if (c < 0x0530) return c >= 0x0370 && (c < 0x0483 || c > 0x0489);
    // Latin Extended Additional (precomposed, Vietnamese) and Greek Extended.
    if (c >= 0x1E00 && c < 0x2000) return true;
    // General Punctuation: the fixed-width spaces and the dashes, quotes and
    // marks, not the zero-width characters, joiners, bidi marks, embeddings,
    // isolates and invisible operators; then currency symbols.
    if (c >= 0x2000 && c < 0x20D0)
        return c <= 0x200A || (c >= 0x2010 && c <= 0x2027) || (c >= 0x2030 && c <= 0x205E) || (c >= 0x20A0);
    // CJK radicals, ideographic description, CJK symbols and punctuation
    // without the combining tone marks (U+302A-302F), hiragana without the
    // combining sound marks (U+3099-309A), katakana, bopomofo, and the CJK
    // blocks up to the end of the unified ideographs. Hangul (U+1100, U+3130,
    // U+AC00) is composed from jamo in context and stays out.
    if (c >= 0x2E80 && c < 0xA000)
        return (c < 0x302A || c > 0x302F) && c != 0x3099 && c != 0x309A && (c < 0x3130 || c >= 0x3190);
    // CJK compatibility ideographs; vertical and compatibility forms.
    if (c >= 0xF900 && c < 0xFB00) return true;
    if (c >= 0xFE10 && c < 0xFE20) return true;
    if (c >= 0xFE30 && c < 0xFE50) return true;
    // Halfwidth and fullwidth forms without the halfwidth Hangul.
    return c >= 0xFF01 && c <= 0xFFEE && (c < 0xFFA0 || c > 0xFFDC);
}

}  // namespace textraster
