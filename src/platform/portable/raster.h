// Glyph images and putting pixels into bitmaps: greyscale antialiasing,
// blended with one coverage for all three channels, in GDI's levels.
#pragma once

#include "platform/gdi.h"
#include "platform/portable/bitmap.h"
#include "platform/portable/font.h"
#include "platform/portable/shaping.h"

namespace textraster::portable {

// The glyph's image as the font draws it (synthetic bold and italic, the
// upright turn, the escapement), made once per font. Null when the glyph
// has no outline to draw. The caller holds font.lock.
const GlyphImage* RenderGlyph(PortableFont& font, const PlacedGlyph& glyph);

// Fills [left, right) × [top, bottom), clipped to the bitmap.
void FillRect(PortableBitmap& bitmap, int left, int top, int right, int bottom, COLORREF color);

// Blends a glyph image whose top-left pixel lands at (x, y): its coverage in
// 17 levels, each channel moved from the background towards the colour along
// GDI's intensity curve for the level (see raster.cpp).
void BlendGlyph(PortableBitmap& bitmap, int x, int y, const GlyphImage& image, COLORREF color);

}  // namespace textraster::portable
