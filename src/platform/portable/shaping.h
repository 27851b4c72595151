// Setting a text on one line: bidirectional reordering (FriBidi) and
// shaping (HarfBuzz), with positions in whole pixels as GDI places glyphs.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/portable/font.h"

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
ShapedText ShapeText(PortableFont& font, std::u16string_view text, bool rtlReading);

// Characters that stand upright in a vertical line of an "@" face: the
// full-width scripts and symbols of East Asia.
bool StandsUpright(char32_t c);

}  // namespace textraster::portable
