// Shaping: an item of a line through HarfBuzz, with advances in whole
// pixels as GDI places glyphs.
#pragma once

#include <fribidi.h>
#include <hb.h>

#include <cstdint>

#include "platform/portable/itemization.h"
#include "platform/portable/sized_font.h"

namespace textraster::portable {

// Shapes `item` of `text` into `buffer`, in its script and the direction of
// its level, with the whole text as context (letters join across items).
// Pair kerning and standard ligatures stay off, as GDI applies neither. With
// `concatFlags` HarfBuzz also marks the glyphs whose shaping depends on the
// text across the start of their cluster (HB_GLYPH_FLAG_UNSAFE_TO_CONCAT).
// The caller holds font.lock.
void ShapeItem(SizedFont& font, const FriBidiChar* text, size_t length, const Item& item, hb_buffer_t* buffer,
               bool concatFlags = false);

// A shaped glyph's advance in whole pixels, as GDI lays it out.
int GlyphAdvance(const SizedFont& font, const hb_glyph_position_t& position);

// Whether shaping a run of that script looks at the characters around it
// (letters that join across runs); known not to for the scripts listed.
bool ShapingSeesContext(hb_script_t script);

// Characters that stand upright in a vertical line of an "@" face: the
// full-width scripts and symbols of East Asia.
bool StandsUpright(char32_t c);

}  // namespace textraster::portable
