// Glyphs in colours of their own (emoji): a strike's colour bitmaps
// (CBDT/CBLC, sbix) scaled to the font's em, and COLR layers as FreeType
// paints them; standing upright in vertical lines, turned as the font's
// other glyphs are.
#pragma once

#include "platform/portable/line_setting.h"
#include "platform/portable/sized_font.h"

namespace textraster::portable {

// Draws `glyph` into `image` in its own colours, and says whether it has
// them; a glyph without (a letter of a colour font) is drawn from its
// outline. The caller holds font.lock.
bool RenderColourGlyph(SizedFont& font, const PlacedGlyph& glyph, GlyphImage& image);

}  // namespace textraster::portable
