#include "platform/portable/shaping.h"

#include <fribidi.h>

#include <algorithm>
#include <memory>

#include "platform/portable/utf.h"

namespace textraster::portable {
namespace {

struct LevelRun {
    size_t start;
    size_t end;
    FriBidiLevel level;
};

// Embedding levels after the bidi algorithm, with the line rules applied
// (trailing white space takes the paragraph's level).
std::vector<FriBidiLevel> BidiLevels(const std::vector<FriBidiChar>& text, bool rtlReading) {
    const auto length = static_cast<FriBidiStrIndex>(text.size());
    std::vector<FriBidiCharType> types(text.size());
    std::vector<FriBidiBracketType> brackets(text.size());
    std::vector<FriBidiLevel> levels(text.size(), rtlReading ? 1 : 0);
    fribidi_get_bidi_types(text.data(), length, types.data());
    fribidi_get_bracket_types(text.data(), length, types.data(), brackets.data());
    FriBidiParType direction = rtlReading ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
    if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), length, &direction, levels.data()) &&
        !fribidi_reorder_line(FRIBIDI_FLAGS_DEFAULT, types.data(), length, 0, direction, levels.data(), nullptr,
                              nullptr))
        std::fill(levels.begin(), levels.end(), rtlReading ? 1 : 0);
    return levels;
}

// Runs of one level, in visual order (rule L2: from the highest level down
// to the lowest odd one, reverse every sequence at that level or above).
std::vector<LevelRun> VisualRuns(const std::vector<FriBidiLevel>& levels) {
    std::vector<LevelRun> runs;
    for (size_t i = 0; i < levels.size();) {
        size_t end = i;
        while (end < levels.size() && levels[end] == levels[i]) ++end;
        runs.push_back({i, end, levels[i]});
        i = end;
    }
    if (runs.empty()) return runs;
    int highest = 0, lowestOdd = FRIBIDI_BIDI_MAX_EXPLICIT_LEVEL + 2;
    for (const LevelRun& run : runs) {
        highest = std::max<int>(highest, run.level);
        if (run.level % 2) lowestOdd = std::min<int>(lowestOdd, run.level);
    }
    for (int level = highest; level >= lowestOdd && level > 0; --level)
        for (auto it = runs.begin(); it != runs.end();) {
            if (it->level < level) {
                ++it;
                continue;
            }
            auto end = std::find_if(it, runs.end(), [level](const LevelRun& run) { return run.level < level; });
            std::reverse(it, end);
            it = end;
        }
    return runs;
}

hb_feature_t Feature(const char* tag, uint32_t value, unsigned start, unsigned end) {
    return hb_feature_t{hb_tag_from_string(tag, 4), value, start, end};
}

// Pixels from 26.6 fixed point: advances round up as GDI's do, offsets to the nearest.
int CeilPixels(hb_position_t v) {
    return (v + 63) >> 6;
}
int RoundPixels(hb_position_t v) {
    return (v + 32) >> 6;
}

void ShapeRun(PortableFont& font, const std::vector<FriBidiChar>& text, const LevelRun& run, ShapedText& out) {
    // Destroyed on every way out, running out of memory included.
    const std::unique_ptr<hb_buffer_t, decltype(&hb_buffer_destroy)> owned(hb_buffer_create(), hb_buffer_destroy);
    hb_buffer_t* buffer = owned.get();
    // The whole text goes in as context, so that letters join across runs.
    hb_buffer_add_codepoints(buffer, text.data(), static_cast<int>(text.size()), static_cast<unsigned>(run.start),
                             static_cast<int>(run.end - run.start));
    hb_buffer_set_direction(buffer, run.level % 2 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_guess_segment_properties(buffer);

    std::vector<hb_feature_t> features = {Feature("kern", 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END),
                                          Feature("liga", 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END),
                                          Feature("clig", 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END)};
    // Upright characters of an "@" face take their vertical forms.
    if (font.sideways)
        for (size_t i = run.start; i < run.end; ++i)
            if (StandsUpright(text[i]))
                features.push_back(Feature("vert", 1, static_cast<unsigned>(i), static_cast<unsigned>(i + 1)));
    hb_shape(font.shaper, buffer, features.data(), static_cast<unsigned>(features.size()));

    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
    for (unsigned i = 0; i < count; ++i) {
        int advance = CeilPixels(positions[i].x_advance);
        if (font.fullWidth > 0 && advance == font.fullWidth) advance = font.doubleHalfWidth;
        // Emboldening widens each spacing glyph by a pixel.
        if (font.fakeBold && advance > 0) ++advance;
        const bool upright = font.sideways && StandsUpright(text[infos[i].cluster]);
        out.glyphs.push_back({infos[i].codepoint, out.advance + RoundPixels(positions[i].x_offset),
                              RoundPixels(positions[i].y_offset), upright});
        out.advance += advance;
    }
}

}  // namespace

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

ShapedText ShapeText(PortableFont& font, std::u16string_view text, bool rtlReading) {
    ShapedText out;
    std::vector<FriBidiChar> codePoints;
    codePoints.reserve(text.size());
    for (size_t i = 0; i < text.size();) codePoints.push_back(NextCodePoint(text, i));
    for (const LevelRun& run : VisualRuns(BidiLevels(codePoints, rtlReading))) ShapeRun(font, codePoints, run, out);
    return out;
}

}  // namespace textraster::portable
