// Setting a text on one line: bidirectional reordering (FriBidi) and
// shaping (HarfBuzz), with positions in whole pixels as GDI places glyphs.
#pragma once

#include <fribidi.h>
#include <hb.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/portable/sized_font.h"

namespace textraster::portable {

struct PlacedGlyph {
    uint32_t glyph;
    int x;         // pixels along the line from its start
    int y;         // pixels above the baseline
    bool upright;  // stands upright in vertical setting
};

// Glyphs in visual order, left to right along the line.
struct ShapedText {
    std::vector<PlacedGlyph> glyphs;
    int advance = 0;  // the line's length in pixels
};

// Sets `text` with `font`: reordered for display with a right-to-left base
// direction when `rtlReading`, else left-to-right (right-to-left letters are
// reordered either way, as GDI does); each directional run shaped without
// pair kerning or standard ligatures, which GDI does not apply either. The
// caller holds font.lock.
ShapedText ShapeText(SizedFont& font, std::u16string_view text, bool rtlReading);

// The line a font object set last: a text is drawn twice, on the colour and
// on the opacity surface, with the same font.
class LastShapedLine {
   public:
    // ShapeText(font, text, rtlReading), set again only for another text.
    const ShapedText& Shape(SizedFont& font, std::u16string_view text, bool rtlReading);

   private:
    std::u16string text_;
    bool rtlReading_ = false;
    bool valid_ = false;
    ShapedText shaped_;
};

// Characters that stand upright in a vertical line of an "@" face: the
// full-width scripts and symbols of East Asia.
bool StandsUpright(char32_t c);

// The steps of ShapeText, for measuring the prefixes of a run the same way.

using CodePoints = std::vector<FriBidiChar>;

// UTF-16 as code points; a surrogate that is not part of a pair is U+FFFD.
void AppendCodePoints(std::u16string_view text, CodePoints& out);

// Scratch memory for BidiLevels, reused from call to call.
struct BidiScratch {
    std::vector<FriBidiCharType> types;
    std::vector<FriBidiBracketType> brackets;
};

// Memory the steps below need on each call, kept by each thread from call to
// call: a long line's shaping buffer alone is larger than what the C library
// keeps for reuse.
struct ShapingScratch {
    ShapingScratch();
    ~ShapingScratch();
    ShapingScratch(const ShapingScratch&) = delete;
    ShapingScratch& operator=(const ShapingScratch&) = delete;

    hb_buffer_t* buffer;
    BidiScratch bidi;
    std::vector<FriBidiLevel> levels;
    CodePoints codePoints;
};
ShapingScratch& ThreadScratch();

// Embedding levels of `text` after the bidi algorithm, with the line rules
// applied (trailing white space takes the paragraph's level).
void BidiLevels(const FriBidiChar* text, size_t length, bool rtlReading, BidiScratch& scratch,
                std::vector<FriBidiLevel>& levels);

// BidiLevels for text whose bidi types and brackets are known already.
void LineLevels(const FriBidiCharType* types, const FriBidiBracketType* brackets, size_t length, bool rtlReading,
                std::vector<FriBidiLevel>& levels);

// LineLevels' answer from FriBidi itself.
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
// undefined, for any other text. LineLevels takes this way first.
bool ImplicitLevels(const FriBidiCharType* types, const FriBidiBracketType* brackets, size_t length, bool rtlReading,
                    std::vector<FriBidiLevel>& levels);

// Characters [start, end) of one embedding level.
struct LevelRun {
    size_t start;
    size_t end;
    FriBidiLevel level;
};

// Shapes text[run.start, run.end) into `buffer`, with the whole text as
// context (letters join across runs). `script` is the run's script, or
// HB_SCRIPT_INVALID to take it from the run's own characters. With
// `concatFlags` HarfBuzz also marks the glyphs whose shaping depends on the
// text across the start of their cluster (HB_GLYPH_FLAG_UNSAFE_TO_CONCAT).
void ShapeRun(SizedFont& font, const FriBidiChar* text, size_t length, const LevelRun& run, hb_script_t script,
              hb_buffer_t* buffer, bool concatFlags = false);

// A shaped glyph's advance in whole pixels, as GDI lays it out.
int GlyphAdvance(const SizedFont& font, const hb_glyph_position_t& position);

// Whether a character of this script gives a run its script: ShapeRun,
// asked to guess, takes the script of the first such character.
inline bool OwnScript(hb_script_t script) {
    return script != HB_SCRIPT_COMMON && script != HB_SCRIPT_INHERITED && script != HB_SCRIPT_UNKNOWN;
}

// Whether shaping a run of that script looks at the characters around it
// (letters that join across runs); known not to for the scripts listed.
bool ShapingSeesContext(hb_script_t script);

}  // namespace textraster::portable
