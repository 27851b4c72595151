// Setting a line: its items shaped and put in visual order, as a line is
// drawn; the line a font object drew last; and the memory the stages of
// setting a line use on every call.
#pragma once

#include <fribidi.h>
#include <hb.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/portable/bidi_levels.h"
#include "platform/portable/font_fallback.h"
#include "platform/portable/itemization.h"
#include "platform/portable/shaping.h"

namespace textraster::portable {

// Memory the steps of setting a line need on each call, kept by each thread
// from call to call: a long line's shaping buffer alone is larger than what
// the C library keeps for reuse.
struct ShapingScratch {
    ShapingScratch();
    ~ShapingScratch();
    ShapingScratch(const ShapingScratch&) = delete;
    ShapingScratch& operator=(const ShapingScratch&) = delete;

    hb_buffer_t* buffer;
    BidiScratch bidi;
    std::vector<FriBidiLevel> levels;
    ItemizedLine line;
};
ShapingScratch& ThreadScratch();

struct PlacedGlyph {
    uint32_t glyph;
    int x;         // pixels along the line from its start
    int y;         // pixels above the baseline
    bool upright;  // stands upright in vertical setting
    uint8_t font;  // of the line's FallbackFonts
};

// Glyphs in visual order, left to right along the line.
struct ShapedText {
    std::vector<PlacedGlyph> glyphs;
    int advance = 0;  // the line's length in pixels
};

// Sets `text`: reordered for display with a right-to-left base direction
// when `rtlReading`, else left-to-right (right-to-left letters are reordered
// either way, as GDI does); each item shaped in its own script and font.
// Takes the fonts' locks while it uses them.
ShapedText ShapeText(FallbackFonts& fonts, std::u16string_view text, bool rtlReading);

// The line a font object set last: a text is drawn twice, on the colour and
// on the opacity surface, with the same font.
class LastShapedLine {
   public:
    // ShapeText(fonts, text, rtlReading), set again only for another text.
    const ShapedText& Shape(FallbackFonts& fonts, std::u16string_view text, bool rtlReading);

   private:
    std::u16string text_;
    bool rtlReading_ = false;
    bool valid_ = false;
    ShapedText shaped_;
};

}  // namespace textraster::portable
