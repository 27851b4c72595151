#include "platform/portable/bidi_levels.h"

#include <algorithm>
#include <iterator>

#include "platform/portable/explicit_codes.h"
#include "platform/portable/kept_scratch.h"
#include "platform/portable/unicode_classes.h"

namespace textraster::portable {

bool BidiLevels(const FriBidiChar* text, size_t length, bool rtlReading, BidiScratch& scratch,
                std::vector<FriBidiLevel>& levels) {
    // Most lines measured are plainly left to right: no bidi types needed.
    if (!rtlReading && std::none_of(text, text + length, MayRaiseLevels)) {
        levels.assign(length, 0);
        return true;
    }
    const auto count = static_cast<FriBidiStrIndex>(length);
    scratch.types.resize(length);
    scratch.brackets.resize(length);
    fribidi_get_bidi_types(text, count, scratch.types.data());
    fribidi_get_bracket_types(text, count, scratch.types.data(), scratch.brackets.data());
    LineLevels(scratch.types.data(), scratch.brackets.data(), length, rtlReading, levels);
    return false;
}

void LineLevels(const FriBidiCharType* types, const FriBidiBracketType* brackets, size_t length, bool rtlReading,
                std::vector<FriBidiLevel>& levels) {
    if (!ImplicitLevels(types, brackets, length, rtlReading, levels))
        FriBidiLevels(types, brackets, length, rtlReading, levels);
}

namespace {

// One paragraph's levels from FriBidi, its explicit codes in the form
// FriBidi takes safely.
void ParagraphLevels(const FriBidiCharType* types, const FriBidiBracketType* brackets, size_t length, bool rtlReading,
                     FriBidiLevel* levels) {
    const auto count = static_cast<FriBidiStrIndex>(length);
    std::vector<FriBidiCharType> safe;
    if (SafeExplicitCodes(types, length, rtlReading, safe)) types = safe.data();
    FriBidiParType direction = rtlReading ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
    if (fribidi_get_par_embedding_levels_ex(types, brackets, count, &direction, levels) &&
        !fribidi_reorder_line(FRIBIDI_FLAGS_DEFAULT, types, count, 0, direction, levels, nullptr, nullptr))
        std::fill(levels, levels + length, rtlReading ? 1 : 0);
}

}  // namespace

void FriBidiLevels(const FriBidiCharType* types, const FriBidiBracketType* brackets, size_t length, bool rtlReading,
                   std::vector<FriBidiLevel>& levels) {
    // A paragraph separator ends a paragraph, and the explicit codes open in
    // it, and takes the paragraph's level. FriBidi takes one paragraph a call:
    // given a separator while an isolate is open, it merges runs across the
    // isolate and follows freed memory. So each paragraph goes alone, without
    // its separator.
    levels.assign(length, rtlReading ? 1 : 0);
    for (size_t start = 0; start < length;) {
        const size_t end = size_t(std::find(types + start, types + length, FRIBIDI_TYPE_BS) - types);
        if (end > start)
            ParagraphLevels(types + start, brackets + start, end - start, rtlReading, levels.data() + start);
        start = end + 1;
    }
}

size_t PairBrackets(const FriBidiCharType* types, const FriBidiBracketType* brackets, size_t length,
                    std::vector<std::pair<size_t, size_t>>& pairs) {
    struct Open {
        FriBidiBracketType id;
        size_t at;
    };
    thread_local std::vector<Open> open;
    const ReleasedIfLong<Open> releaseOpen(open);
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
    const ReleasedIfLong<FriBidiCharType> releaseResolved(resolved);
    resolved.assign(types, types + length);
    FriBidiCharType* weak = resolved.data();  // the types as the rules resolve them
    const FriBidiCharType start = rtlReading ? FRIBIDI_TYPE_RTL : FRIBIDI_TYPE_LTR;
    // W1: a mark takes the type of what it is on.
    for (size_t x = 1; x < length; ++x)
        if (weak[x] == FRIBIDI_TYPE_NSM) weak[x] = weak[x - 1];
    // W2: a European number after Arabic letters is an Arabic number. (W3:
    // Arabic letters count as right to left like any other, below; after
    // W2 no European number follows them for W7 to see.)
    FriBidiCharType strong = start;
    for (size_t x = 0; x < length; ++x) {
        if (weak[x] == FRIBIDI_TYPE_LTR || weak[x] == FRIBIDI_TYPE_RTL || weak[x] == FRIBIDI_TYPE_AL)
            strong = weak[x];
        else if (weak[x] == FRIBIDI_TYPE_EN && strong == FRIBIDI_TYPE_AL)
            weak[x] = FRIBIDI_TYPE_AN;
    }
    // W4: one separator between two numbers of a kind joins them.
    for (size_t x = 1; x + 1 < length; ++x) {
        const FriBidiCharType before = weak[x - 1];
        if (before != weak[x + 1]) continue;
        if ((weak[x] == FRIBIDI_TYPE_ES && before == FRIBIDI_TYPE_EN) ||
            (weak[x] == FRIBIDI_TYPE_CS && (before == FRIBIDI_TYPE_EN || before == FRIBIDI_TYPE_AN)))
            weak[x] = before;
    }
    // W5: terminators next to a European number belong to it. (W6: other
    // separators and terminators are neutrals, below.)
    ForEachSequence(weak, length, FriBidiCharType(FRIBIDI_TYPE_ET), [&](size_t x, size_t end) {
        if ((x > 0 && weak[x - 1] == FRIBIDI_TYPE_EN) || (end < length && weak[end] == FRIBIDI_TYPE_EN))
            std::fill(weak + x, weak + end, FRIBIDI_TYPE_EN);
    });
    // W7: a European number after left-to-right letters is left to right.
    strong = start;
    for (size_t x = 0; x < length; ++x) {
        switch (weak[x]) {
            case FRIBIDI_TYPE_LTR: strong = weak[x], tracked[x] = 0; break;
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
    // These rules follow what this FriBidi does, down to its quirks (the
    // pairing of brackets after marks, its nesting limit), as the random
    // comparison in tests/portable/bidi_levels_test.cpp checks. Another
    // FriBidi may differ: with one, FriBidi answers every line until the
    // comparison has been run against it and kImplicitLevelsChecked widened.
    if (!kImplicitLevelsChecked) return false;
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
    const ReleasedIfLong<std::pair<size_t, size_t>> releasePairs(pairs);
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

}  // namespace textraster::portable
