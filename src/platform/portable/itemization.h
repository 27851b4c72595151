// Cutting a line into items: runs of code points of one bidi level, one
// script and one font, each shaped by HarfBuzz as a whole.
#pragma once

#include <fribidi.h>
#include <hb.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/portable/bidi_levels.h"
#include "platform/portable/font_fallback.h"
#include "platform/portable/unicode_classes.h"

namespace textraster::portable {

// Code points [start, end) of a line, of one level, script and font (an
// index into the line's FallbackFonts).
struct Item {
    size_t start;
    size_t end;
    FriBidiLevel level;
    hb_script_t script;
    uint8_t font;
};

// A line as setting it needs it: its code points and, for each, the level,
// script and font it is set in; and its items in logical order.
struct ItemizedLine {
    CodePoints codePoints;
    bool leftToRight = true;  // plainly left to right (see BidiLevels): every level 0, in every prefix
    std::vector<FriBidiLevel> levels;
    std::vector<hb_script_t> scripts;
    std::vector<uint8_t> fonts;
    std::vector<Item> items;
};

// Analyses `text` (a paragraph of that direction) into `line`. Unless the
// line is plainly left to right, the bidi types and brackets of its code
// points are left in `bidi`.
void ItemizeLine(FallbackFonts& fonts, std::u16string_view text, bool rtlReading, BidiScratch& bidi,
                 ItemizedLine& line);

// HarfBuzz attaches each mark by walking back over the marks before it on
// the same base, so a pile of m marks costs m² to shape; and the HarfBuzz of
// Debian 12 aborts the process when a mark lies more than 32,767 glyphs
// after its base. No writing system stacks more than a few dozen (Unicode's
// stream-safe form allows 30 in a row): a longer pile is cut into items of
// this many, each shaped on its own.
constexpr size_t kMaxPile = 64;

// Where piles are cut: fed the line's code points in order, says before
// which one a new item starts because the pile it joins is full. The
// places follow from the code points alone, whatever else cuts items
// there, so that a prefix of a line has the line's pile cuts up to its end.
class PileCuts {
   public:
    bool CutBefore(FriBidiChar c) {
        pile_ = ClingsToPrevious(c) ? pile_ + 1 : 0;
        if (pile_ <= kMaxPile) return false;
        pile_ = 1;  // the first of the next item's pile
        return true;
    }

   private:
    size_t pile_ = 0;  // code points attaching to one base so far
};

// The items of code points [0, length) with these levels, scripts and fonts:
// a new item wherever one of them changes, and where PileCuts says.
void CutItems(const FriBidiChar* codePoints, const FriBidiLevel* levels, const hb_script_t* scripts,
              const uint8_t* fonts, size_t length, std::vector<Item>& items);

}  // namespace textraster::portable
