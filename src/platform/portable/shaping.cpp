#include "platform/portable/shaping.h"

namespace textraster::portable {
namespace {

hb_feature_t Feature(hb_tag_t tag, uint32_t value, unsigned start, unsigned end) {
    return hb_feature_t{tag, value, start, end};
}

// Advances in pixels from 26.6 fixed point, rounded up as GDI's are.
int CeilPixels(hb_position_t v) {
    return (v + 63) >> 6;
}

}  // namespace

void ShapeItem(SizedFont& font, const FriBidiChar* text, size_t length, const Item& item, hb_buffer_t* buffer,
               bool concatFlags) {
    hb_buffer_clear_contents(buffer);
    hb_buffer_set_flags(buffer, concatFlags ? HB_BUFFER_FLAG_PRODUCE_UNSAFE_TO_CONCAT : HB_BUFFER_FLAG_DEFAULT);
    hb_buffer_add_codepoints(buffer, text, static_cast<int>(length), static_cast<unsigned>(item.start),
                             static_cast<int>(item.end - item.start));
    hb_buffer_set_direction(buffer, item.level % 2 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    // A line without a script of its own is left to HarfBuzz's default.
    if (item.script != HB_SCRIPT_COMMON) hb_buffer_set_script(buffer, item.script);
    // The language is set, never left to HarfBuzz: it would take the
    // process's locale, read with setlocale (which races with a host that
    // changes it) and kept from the first call on, so that a font's forms
    // for one language (a Serbian б) would follow the host's locale. The
    // platform's own text calls draw each script's default forms whatever
    // the user's language, and so does "und" (undetermined), which no font
    // names: fonts take their default language system for it.
    static const hb_language_t undetermined = hb_language_from_string("und", -1);
    hb_buffer_set_language(buffer, undetermined);
    hb_buffer_guess_segment_properties(buffer);

    constexpr size_t kCommon = 3;
    static const hb_feature_t common[kCommon] = {
        Feature(HB_TAG('k', 'e', 'r', 'n'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END),
        Feature(HB_TAG('l', 'i', 'g', 'a'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END),
        Feature(HB_TAG('c', 'l', 'i', 'g'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END)};
    if (!font.sideways) {
        hb_shape(font.shaper, buffer, common, kCommon);
        return;
    }
    // Upright characters of an "@" face take their vertical forms.
    std::vector<hb_feature_t> features(common, common + kCommon);
    for (size_t i = item.start; i < item.end; ++i)
        if (StandsUpright(text[i]))
            features.push_back(
                Feature(HB_TAG('v', 'e', 'r', 't'), 1, static_cast<unsigned>(i), static_cast<unsigned>(i + 1)));
    hb_shape(font.shaper, buffer, features.data(), static_cast<unsigned>(features.size()));
}

int GlyphAdvance(const SizedFont& font, const hb_glyph_position_t& position) {
    int advance = CeilPixels(position.x_advance);
    if (font.fullWidth > 0 && advance == font.fullWidth) advance = font.doubleHalfWidth;
    // Emboldening widens each spacing glyph by a pixel.
    if (font.fakeBold && advance > 0) ++advance;
    return advance;
}

bool ShapingSeesContext(hb_script_t script) {
    switch (script) {
        // The shapers of these scripts take a run as it is: only the
        // joining of Arabic-like scripts reads the characters around it.
        case HB_SCRIPT_INVALID:
        case HB_SCRIPT_COMMON:
        case HB_SCRIPT_INHERITED:
        case HB_SCRIPT_UNKNOWN:
        case HB_SCRIPT_LATIN:
        case HB_SCRIPT_GREEK:
        case HB_SCRIPT_CYRILLIC:
        case HB_SCRIPT_ARMENIAN:
        case HB_SCRIPT_GEORGIAN:
        case HB_SCRIPT_HEBREW:
        case HB_SCRIPT_HAN:
        case HB_SCRIPT_HIRAGANA:
        case HB_SCRIPT_KATAKANA:
        case HB_SCRIPT_BOPOMOFO:
        case HB_SCRIPT_HANGUL: return false;
        default: return true;
    }
}

bool StandsUpright(char32_t c) {
    static const struct {
        char32_t first, last;
    } kRanges[] = {
        {0x1100, 0x11FF},    // Hangul Jamo
        {0x2E80, 0x2FFF},    // CJK and Kangxi radicals, ideographic description
        {0x3000, 0x303F},    // CJK symbols and punctuation
        {0x3040, 0x33FF},    // kana, bopomofo, Hangul compatibility Jamo, kanbun, enclosed CJK, compatibility
        {0x3400, 0x4DBF},    // CJK extension A
        {0x4E00, 0x9FFF},    // CJK unified ideographs
        {0xA000, 0xA4CF},    // Yi
        {0xA960, 0xA97F},    // Hangul Jamo extended A
        {0xAC00, 0xD7FF},    // Hangul syllables, Jamo extended B
        {0xF900, 0xFAFF},    // CJK compatibility ideographs
        {0xFE10, 0xFE1F},    // vertical forms
        {0xFE30, 0xFE4F},    // CJK compatibility forms
        {0xFF01, 0xFF60},    // full-width forms
        {0xFFE0, 0xFFE6},    // full-width signs
        {0x20000, 0x3FFFF},  // supplementary ideographic planes
    };
    for (const auto& range : kRanges)
        if (c >= range.first && c <= range.last) return true;
    return false;
}

}  // namespace textraster::portable
