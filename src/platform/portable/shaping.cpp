#include "platform/portable/shaping.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "text/utf.h"

namespace textraster::portable {
namespace {

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

}  // namespace

ShapingScratch::ShapingScratch() : buffer(hb_buffer_create()) {}
ShapingScratch::~ShapingScratch() {
    hb_buffer_destroy(buffer);
}

ShapingScratch& ThreadScratch() {
    thread_local ShapingScratch scratch;
    return scratch;
}

void AppendCodePoints(std::u16string_view text, CodePoints& out) {
    for (size_t i = 0; i < text.size();) out.push_back(NextCodePoint(text, i));
}

void BidiLevels(const FriBidiChar* text, size_t length, bool rtlReading, BidiScratch& scratch,
                std::vector<FriBidiLevel>& levels) {
    const auto count = static_cast<FriBidiStrIndex>(length);
    scratch.types.resize(length);
    scratch.brackets.resize(length);
    fribidi_get_bidi_types(text, count, scratch.types.data());
    fribidi_get_bracket_types(text, count, scratch.types.data(), scratch.brackets.data());
    LineLevels(scratch.types.data(), scratch.brackets.data(), length, rtlReading, levels);
}

void LineLevels(const FriBidiCharType* types, const FriBidiBracketType* brackets, size_t length, bool rtlReading,
                std::vector<FriBidiLevel>& levels) {
    if (!ImplicitLevels(types, brackets, length, rtlReading, levels))
        FriBidiLevels(types, brackets, length, rtlReading, levels);
}

void FriBidiLevels(const FriBidiCharType* types, const FriBidiBracketType* brackets, size_t length, bool rtlReading,
                   std::vector<FriBidiLevel>& levels) {
    const auto count = static_cast<FriBidiStrIndex>(length);
    levels.assign(length, rtlReading ? 1 : 0);
    FriBidiParType direction = rtlReading ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
    if (fribidi_get_par_embedding_levels_ex(types, brackets, count, &direction, levels.data()) &&
        !fribidi_reorder_line(FRIBIDI_FLAGS_DEFAULT, types, count, 0, direction, levels.data(), nullptr, nullptr))
        std::fill(levels.begin(), levels.end(), rtlReading ? 1 : 0);
}

void ShapeRun(SizedFont& font, const FriBidiChar* text, size_t length, const LevelRun& run, hb_script_t script,
              hb_buffer_t* buffer, bool concatFlags) {
    hb_buffer_clear_contents(buffer);
    hb_buffer_set_flags(buffer, concatFlags ? HB_BUFFER_FLAG_PRODUCE_UNSAFE_TO_CONCAT : HB_BUFFER_FLAG_DEFAULT);
    hb_buffer_add_codepoints(buffer, text, static_cast<int>(length), static_cast<unsigned>(run.start),
                             static_cast<int>(run.end - run.start));
    hb_buffer_set_direction(buffer, run.level % 2 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_set_script(buffer, script);
    hb_buffer_guess_segment_properties(buffer);

    constexpr size_t kCommon = 3;
    hb_feature_t common[kCommon] = {Feature("kern", 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END),
                                    Feature("liga", 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END),
                                    Feature("clig", 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END)};
    if (!font.sideways) {
        hb_shape(font.shaper, buffer, common, kCommon);
        return;
    }
    // Upright characters of an "@" face take their vertical forms.
    std::vector<hb_feature_t> features(common, common + kCommon);
    for (size_t i = run.start; i < run.end; ++i)
        if (StandsUpright(text[i]))
            features.push_back(Feature("vert", 1, static_cast<unsigned>(i), static_cast<unsigned>(i + 1)));
    hb_shape(font.shaper, buffer, features.data(), static_cast<unsigned>(features.size()));
}

int GlyphAdvance(const SizedFont& font, const hb_glyph_position_t& position) {
    int advance = CeilPixels(position.x_advance);
    if (font.fullWidth > 0 && advance == font.fullWidth) advance = font.doubleHalfWidth;
    // Emboldening widens each spacing glyph by a pixel.
    if (font.fakeBold && advance > 0) ++advance;
    return advance;
}

size_t PairBrackets(const FriBidiCharType* types, const FriBidiBracketType* brackets, size_t length,
                    std::vector<std::pair<size_t, size_t>>& pairs) {
    struct Open {
        FriBidiBracketType id;
        size_t at;
    };
    thread_local std::vector<Open> open;
    open.clear();
    pairs.clear();
    // FriBidi gives marks the type of what precedes them by joining them to
    // it, and joins what follows them too when it has that type: a bracket
    // after marks that follow another neutral becomes part of that neutral
    // and pairs with nothing. Boundary neutrals (joiners and the like) do
    // not count, as FriBidi has set them aside by then.
    FriBidiCharType before = FRIBIDI_TYPE_SENTINEL;  // of the last character before the marks
    bool afterMarks = false;
    for (size_t x = 0; x < length; ++x) {
        const FriBidiCharType type = types[x];
        if (type == FRIBIDI_TYPE_BN) continue;
        if (type == FRIBIDI_TYPE_NSM) {
            afterMarks = true;
            continue;
        }
        const bool joined = afterMarks && before == FRIBIDI_TYPE_ON && type == FRIBIDI_TYPE_ON;
        before = type;
        afterMarks = false;
        const FriBidiBracketType bracket = brackets[x];
        if (bracket == FRIBIDI_NO_BRACKET || joined) continue;
        if (FRIBIDI_IS_BRACKET_OPEN(bracket)) {
            if (open.size() == FRIBIDI_BIDI_MAX_NESTED_BRACKET_PAIRS) return x;
            open.push_back({FRIBIDI_BRACKET_ID(bracket), x});
            continue;
        }
        const auto match = std::find_if(open.rbegin(), open.rend(),
                                        [&](const Open& o) { return o.id == FRIBIDI_BRACKET_ID(bracket); });
        if (match == open.rend()) continue;
        pairs.emplace_back(match->at, x);
        open.erase(std::next(match).base(), open.end());
    }
    return length;
}

namespace {

// What ImplicitLevels tracks per code point: a direction, 0 left to right or
// 1 right to left; a neutral not yet resolved; or a number, which counts as
// right to left among neutrals and takes levels of its own.
constexpr FriBidiLevel kNeutral = 2;
constexpr FriBidiLevel kNumber = 3;

FriBidiLevel Direction(FriBidiLevel tracked) {
    return tracked == kNumber ? 1 : tracked;
}

// Calls `take(x, end)` for each longest sequence [x, end) of `value` in
// `values`, in order.
template <typename T, typename Take>
void ForEachSequence(const T* values, size_t length, T value, Take take) {
    for (size_t x = 0; x < length;) {
        if (values[x] != value) {
            ++x;
            continue;
        }
        size_t end = x;
        while (end < length && values[end] == value) ++end;
        take(x, end);
        x = end;
    }
}

// The weak rules W1-W7 for text that holds numbers or marks (on letters or
// numbers only), from the bidi types to what ImplicitLevels tracks.
void ResolveWeakTypes(const FriBidiCharType* types, size_t length, bool rtlReading, FriBidiLevel* tracked) {
    thread_local std::vector<FriBidiCharType> resolved;
    resolved.assign(types, types + length);
    FriBidiCharType* t = resolved.data();
    const FriBidiCharType start = rtlReading ? FRIBIDI_TYPE_RTL : FRIBIDI_TYPE_LTR;
    // W1: a mark takes the type of what it is on.
    for (size_t x = 1; x < length; ++x)
        if (t[x] == FRIBIDI_TYPE_NSM) t[x] = t[x - 1];
    // W2: a European number after Arabic letters is an Arabic number. (W3:
    // Arabic letters count as right to left like any other, below; after
    // W2 no European number follows them for W7 to see.)
    FriBidiCharType strong = start;
    for (size_t x = 0; x < length; ++x) {
        if (t[x] == FRIBIDI_TYPE_LTR || t[x] == FRIBIDI_TYPE_RTL || t[x] == FRIBIDI_TYPE_AL)
            strong = t[x];
        else if (t[x] == FRIBIDI_TYPE_EN && strong == FRIBIDI_TYPE_AL)
            t[x] = FRIBIDI_TYPE_AN;
    }
    // W4: one separator between two numbers of a kind joins them.
    for (size_t x = 1; x + 1 < length; ++x) {
        const FriBidiCharType before = t[x - 1];
        if (before != t[x + 1]) continue;
        if ((t[x] == FRIBIDI_TYPE_ES && before == FRIBIDI_TYPE_EN) ||
            (t[x] == FRIBIDI_TYPE_CS && (before == FRIBIDI_TYPE_EN || before == FRIBIDI_TYPE_AN)))
            t[x] = before;
    }
    // W5: terminators next to a European number belong to it. (W6: other
    // separators and terminators are neutrals, below.)
    ForEachSequence(t, length, FriBidiCharType(FRIBIDI_TYPE_ET), [&](size_t x, size_t end) {
        if ((x > 0 && t[x - 1] == FRIBIDI_TYPE_EN) || (end < length && t[end] == FRIBIDI_TYPE_EN))
            std::fill(t + x, t + end, FRIBIDI_TYPE_EN);
    });
    // W7: a European number after left-to-right letters is left to right.
    strong = start;
    for (size_t x = 0; x < length; ++x) {
        switch (t[x]) {
            case FRIBIDI_TYPE_LTR: strong = t[x], tracked[x] = 0; break;
            case FRIBIDI_TYPE_RTL:
            case FRIBIDI_TYPE_AL: strong = FRIBIDI_TYPE_RTL, tracked[x] = 1; break;
            case FRIBIDI_TYPE_EN: tracked[x] = strong == FRIBIDI_TYPE_LTR ? 0 : kNumber; break;
            case FRIBIDI_TYPE_AN: tracked[x] = kNumber; break;
            default: tracked[x] = kNeutral;
        }
    }
}

}  // namespace

bool ImplicitLevels(const FriBidiCharType* types, const FriBidiBracketType* brackets, size_t length, bool rtlReading,
                    std::vector<FriBidiLevel>& levels) {
    // The paragraph's direction, which the line's start and end count as.
    const FriBidiLevel paragraph = rtlReading ? 1 : 0;
    levels.resize(length);
    bool weak = false;
    for (size_t x = 0; x < length; ++x) {
        switch (types[x]) {
            case FRIBIDI_TYPE_LTR: levels[x] = 0; break;
            case FRIBIDI_TYPE_RTL:
            case FRIBIDI_TYPE_AL: levels[x] = 1; break;
            // Without numbers, separators and terminators are neutrals.
            case FRIBIDI_TYPE_WS:
            case FRIBIDI_TYPE_ON:
            case FRIBIDI_TYPE_CS:
            case FRIBIDI_TYPE_ES:
            case FRIBIDI_TYPE_ET: levels[x] = kNeutral; break;
            case FRIBIDI_TYPE_EN:
            case FRIBIDI_TYPE_AN: weak = true; break;
            // Marks on letters, numbers or marks on them only; a mark after a
            // neutral or a bracket, or at the line's start, is left to FriBidi.
            case FRIBIDI_TYPE_NSM:
                if (x == 0) return false;
                switch (types[x - 1]) {
                    case FRIBIDI_TYPE_LTR:
                    case FRIBIDI_TYPE_RTL:
                    case FRIBIDI_TYPE_AL:
                    case FRIBIDI_TYPE_EN:
                    case FRIBIDI_TYPE_AN:
                    case FRIBIDI_TYPE_NSM: weak = true; break;
                    default: return false;
                }
                break;
            default: return false;
        }
    }
    if (weak) ResolveWeakTypes(types, length, rtlReading, levels.data());

    // Bracket pairs, in the order of their opening brackets.
    thread_local std::vector<std::pair<size_t, size_t>> pairs;
    if (PairBrackets(types, brackets, length, pairs) < length) return false;
    std::sort(pairs.begin(), pairs.end());
    // N0: a pair around a letter of the paragraph's direction takes it;
    // around letters of the other direction only, the other direction if
    // the letter before the pair has it too, else the paragraph's; around
    // none, it stays neutral.
    for (const auto& [first, last] : pairs) {
        bool same = false, other = false;
        for (size_t x = first + 1; x < last; ++x) {
            const FriBidiLevel direction = Direction(levels[x]);
            same |= direction == paragraph, other |= direction == 1 - paragraph;
        }
        if (!same && !other) continue;
        FriBidiLevel direction = paragraph;
        if (!same) {
            size_t x = first;
            while (x > 0 && levels[x - 1] == kNeutral) --x;
            if (x > 0 && Direction(levels[x - 1]) != paragraph) direction = 1 - paragraph;
        }
        levels[first] = levels[last] = direction;
    }
    // N1, N2: neutrals between code points of one direction take it, others
    // the paragraph's.
    ForEachSequence(levels.data(), length, kNeutral, [&](size_t x, size_t end) {
        const FriBidiLevel before = x > 0 ? Direction(levels[x - 1]) : paragraph;
        const FriBidiLevel after = end < length ? Direction(levels[end]) : paragraph;
        std::fill(levels.begin() + ptrdiff_t(x), levels.begin() + ptrdiff_t(end), before == after ? before : paragraph);
    });
    // I1, I2: numbers sit two levels above a left-to-right paragraph and one
    // above a right-to-left one, as left-to-right letters and neutrals do
    // there.
    if (weak || rtlReading)
        for (FriBidiLevel& level : levels) level = level == kNumber ? 2 : rtlReading ? (level == 0 ? 2 : 1) : level;
    return true;
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

ShapedText ShapeText(SizedFont& font, std::u16string_view text, bool rtlReading) {
    ShapedText out;
    ShapingScratch& scratch = ThreadScratch();
    CodePoints& codePoints = scratch.codePoints;
    codePoints.clear();
    AppendCodePoints(text, codePoints);
    BidiLevels(codePoints.data(), codePoints.size(), rtlReading, scratch.bidi, scratch.levels);
    hb_buffer_t* buffer = scratch.buffer;
    for (const LevelRun& run : VisualRuns(scratch.levels)) {
        ShapeRun(font, codePoints.data(), codePoints.size(), run, HB_SCRIPT_INVALID, buffer);
        unsigned count = 0;
        const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
        const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
        for (unsigned i = 0; i < count; ++i) {
            const bool upright = font.sideways && StandsUpright(codePoints[infos[i].cluster]);
            out.glyphs.push_back({infos[i].codepoint, out.advance + RoundPixels(positions[i].x_offset),
                                  RoundPixels(positions[i].y_offset), upright});
            out.advance += GlyphAdvance(font, positions[i]);
        }
    }
    return out;
}

const ShapedText& LastShapedLine::Shape(SizedFont& font, std::u16string_view text, bool rtlReading) {
    if (!valid_ || rtlReading != rtlReading_ || text != text_) {
        valid_ = false;
        shaped_ = ShapeText(font, text, rtlReading);
        text_.assign(text);
        rtlReading_ = rtlReading;
        valid_ = true;
    }
    return shaped_;
}

}  // namespace textraster::portable
