// Glyph images and putting pixels into bitmaps: greyscale antialiasing,
// blended with one coverage for all three channels.
#pragma once

#include "platform/gdi.h"
#include "platform/portable/bitmap.h"
#include "platform/portable/sized_font.h"
#include "platform/portable/shaping.h"

namespace textraster::portable {

// The glyph's image as the font draws it (synthetic bold and italic, the
// upright turn, the escapement), made once per font. Null when the glyph
// has no outline to draw. The caller holds font.lock.
const GlyphImage* RenderGlyph(SizedFont& font, const PlacedGlyph& glyph);

// Fills [left, right) × [top, bottom), clipped to the bitmap.
void FillRect(PortableBitmap& bitmap, int left, int top, int right, int bottom, COLORREF color);

// Blends a glyph image whose top-left pixel lands at (x, y):
// out = background + (colour − background) × coverage / 255 per channel.
void BlendGlyph(PortableBitmap& bitmap, int x, int y, const GlyphImage& image, COLORREF color);

}  // namespace textraster::portable
