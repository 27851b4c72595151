// Bidi levels of a line: the embedding level of every code point after the
// bidi algorithm with the line rules, and the runs of one level in visual
// order. FriBidi answers in general; lines under the implicit rules alone
// (the common case of every line layout measures) are worked out directly,
// which a random comparison with FriBidi holds to its answers.
#pragma once

#include <fribidi.h>

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace textraster::portable {

using CodePoints = std::vector<FriBidiChar>;

// Scratch memory for BidiLevels, reused from call to call: the bidi types
// and brackets of the line's code points, as BidiLevels leaves them.
struct BidiScratch {
    std::vector<FriBidiCharType> types;
    std::vector<FriBidiBracketType> brackets;
};

// Embedding levels of `text` after the bidi algorithm, with the line rules
// applied (trailing white space takes the paragraph's level). True when the
// text is plainly left to right: a left-to-right paragraph without a code
// point that could take another level (every level 0, in every prefix too);
// the scratch's bidi types are then left unset.
bool BidiLevels(const FriBidiChar* text, size_t length, bool rtlReading, BidiScratch& scratch,
                std::vector<FriBidiLevel>& levels);

// BidiLevels for text whose bidi types and brackets are known already.
void LineLevels(const FriBidiCharType* types, const FriBidiBracketType* brackets, size_t length, bool rtlReading,
                std::vector<FriBidiLevel>& levels);

// LineLevels' answer from FriBidi itself, given the explicit codes in the
// form it takes safely (explicit_codes.h).
void FriBidiLevels(const FriBidiCharType* types, const FriBidiBracketType* brackets, size_t length, bool rtlReading,
                   std::vector<FriBidiLevel>& levels);

// The bracket pairs FriBidi makes in a line of these bidi and bracket types
// (an opening bracket's place, then its closing one's), in the order of their
// closing brackets; and how far it pairs them: up to the opening bracket that
// would nest deeper than it goes, after which it pairs none (`length` when no
// bracket does).
size_t PairBrackets(const FriBidiCharType* types, const FriBidiBracketType* brackets, size_t length,
                    std::vector<std::pair<size_t, size_t>>& pairs);

// The levels FriBidi gives a line of `length` code points of these bidi
// types and brackets (a right-to-left paragraph with `rtlReading`) when
// only the implicit rules apply: letters of either direction, numbers,
// separators, neutrals and brackets, and marks on letters or numbers (no
// tabs, explicit embeddings or isolates, no mark after a neutral). Worked
// out directly, without FriBidi's set-up, which costs more than the rest of
// measuring the short runs line layout asks about. False, with `levels`
// undefined, for any other text, and for every text with a FriBidi other
// than the one these rules were checked against. LineLevels takes this way
// first.
// The FriBidi the short cut was checked against (see bidi_levels.cpp).
constexpr bool kImplicitLevelsChecked =
    FRIBIDI_MAJOR_VERSION == 1 && FRIBIDI_MINOR_VERSION == 0 && FRIBIDI_MICRO_VERSION >= 8;
bool ImplicitLevels(const FriBidiCharType* types, const FriBidiBracketType* brackets, size_t length, bool rtlReading,
                    std::vector<FriBidiLevel>& levels);

// Puts segments of a line (anything with a `level`), given in logical order,
// into visual order: from the highest level down to the lowest odd one,
// every sequence of segments at that level or above is reversed.
template <typename Segment>
void ReorderVisually(std::vector<Segment>& segments) {
    int highest = 0, lowestOdd = FRIBIDI_BIDI_MAX_EXPLICIT_LEVEL + 2;
    for (const Segment& segment : segments) {
        highest = std::max<int>(highest, segment.level);
        if (segment.level % 2) lowestOdd = std::min<int>(lowestOdd, segment.level);
    }
    for (int level = highest; level >= lowestOdd && level > 0; --level)
        for (auto it = segments.begin(); it != segments.end();) {
            if (it->level < level) {
                ++it;
                continue;
            }
            auto end = std::find_if(it, segments.end(), [level](const Segment& s) { return s.level < level; });
            std::reverse(it, end);
            it = end;
        }
}

}  // namespace textraster::portable
