// Setting a line: its items shaped and put in visual order, as a line is
// drawn; the line a font object drew last; and the memory the stages of
// setting a line use on every call.
#pragma once

#include <fribidi.h>
#include <hb.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/portable/bidi_levels.h"
#include "platform/portable/font_fallback.h"
#include "platform/portable/itemization.h"
#include "platform/portable/kept_scratch.h"
#include "platform/portable/shaping.h"

namespace textraster::portable {

// Memory the stages of setting a line need on every call, kept by a thread
// for its next one (see kept_scratch.h). The text calls take their thread's
// and pass it to the stages that use it (ShapeText, RunExtents).
class LineScratch {
   public:
    LineScratch();
    ~LineScratch();
    LineScratch(const LineScratch&) = delete;
    LineScratch& operator=(const LineScratch&) = delete;

    hb_buffer_t* buffer;               // shaping an item
    BidiScratch bidi;                  // the bidi levels' types and brackets
    std::vector<FriBidiLevel> levels;  // a prefix's own levels (RunExtents)
    ItemizedLine line;                 // the line being set (ShapeText)
    ItemizedLine fresh;                // a prefix set on its own (RunExtents)

    // A text call on `units` code units has used it.
    void Used(size_t units) { longest_ = std::max(longest_, units); }
    // Releases all of it (HarfBuzz's buffer starts anew) if a text call
    // since the last release was on more than kKeptScratchUnits units. A
    // font object lives for one call of the library, and releases its
    // thread's scratch when it goes: the text calls of one library call
    // (the same long line measured and drawn) reuse the memory.
    void ReleaseIfLong();
    // The bytes its arrays hold (HarfBuzz does not tell its buffer's).
    size_t ArrayBytes() const;

   private:
    size_t longest_ = 0;
};

// The calling thread's scratch.
LineScratch& ThreadLineScratch();

// The calling thread's scratch for one text call on `units` code units,
// told it was used when the call ends, however it ends.
class CallScratch {
   public:
    explicit CallScratch(size_t units) : units_(units) {}
    ~CallScratch() { scratch_.Used(units_); }
    CallScratch(const CallScratch&) = delete;
    CallScratch& operator=(const CallScratch&) = delete;
    LineScratch& get() { return scratch_; }

   private:
    LineScratch& scratch_ = ThreadLineScratch();
    size_t units_;
};

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
ShapedText ShapeText(FallbackFonts& fonts, std::u16string_view text, bool rtlReading,
                     LineScratch& scratch = ThreadLineScratch());

// The line a font object set last: a text is drawn twice, on the colour and
// on the opacity surface, with the same font.
class LastShapedLine {
   public:
    // ShapeText(fonts, text, rtlReading, scratch), set again only for another text.
    const ShapedText& Shape(FallbackFonts& fonts, std::u16string_view text, bool rtlReading, LineScratch& scratch);

   private:
    std::u16string text_;
    bool rtlReading_ = false;
    bool valid_ = false;
    ShapedText shaped_;
};

}  // namespace textraster::portable
