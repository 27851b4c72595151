// Glyph images and putting pixels into bitmaps: greyscale antialiasing,
// blended with one coverage for all three channels, in GDI's levels.
#pragma once

#include "platform/gdi.h"
#include "platform/portable/bitmap.h"
#include "platform/portable/line_setting.h"
#include "platform/portable/sized_font.h"

namespace textraster::portable {

// A font keeps its glyph images, with their blends, up to this many bytes,
// then starts afresh. Fonts are kept process-wide (a bounded few, see
// kKeptSizedFonts), so this bounds what all of them hold.
constexpr size_t kGlyphCacheBytes = size_t(16) << 20;
// A glyph image larger than this many pixels is not drawn (a font far too
// large for any surface).
constexpr long kMaxGlyphPixels = 1L << 26;

// The glyph's image as the font draws it (synthetic bold and italic, the
// upright turn, the escapement), in its own colours where it has them
// (colour_glyph.h), made once per font. Null when the glyph has nothing to
// draw. The caller holds font.lock.
const GlyphImage* RenderGlyph(SizedFont& font, const PlacedGlyph& glyph);

// Fills [left, right) × [top, bottom), clipped to the bitmap.
void FillRect(PortableBitmap& bitmap, int left, int top, int right, int bottom, COLORREF color);

// The pixel FillRect writes for a colour.
uint32_t FillPixel(const PortableBitmap& bitmap, COLORREF color);

// What one text colour gives at each of GDI's 17 coverage levels, per
// channel, over a black and over a white background (see raster.cpp).
struct ColourLevels {
    static constexpr int kTopLevel = 16;
    struct Ends {
        int overBlack;
        int overWhite;
    };
    explicit ColourLevels(uint32_t pixel);
    Ends ends[kTopLevel + 1][3];
};

// One pixel of text of colour `pixel` (a DIB pixel) with `coverage` over
// `background`: unchanged at the lowest level, the colour at the top one.
uint32_t BlendCoverage(uint32_t background, uint32_t pixel, const ColourLevels& levels, unsigned char coverage);

// Blends glyph images of one colour into a bitmap: the coverage in GDI's 17
// levels, each channel moved from the background towards the colour along
// GDI's intensity curve for the level. A glyph in colours of its own is laid
// over the background by its opacities, in its colours, or, on a surface
// that draws opacities (`coverageOnly`), in the one colour: both surfaces of
// a text then blend by the same amounts, pixel for pixel.
// Nearly every pixel lies on one background (the cells' fill, or the empty
// surface), so the blends over it are worked out once, for every coverage.
// Each glyph image keeps its blend over that background (see GlyphImage):
// rows of the surface that hold only the background take it as it is.
class GlyphBlender {
   public:
    GlyphBlender(PortableBitmap& bitmap, COLORREF color, uint32_t usualBackground, bool coverageOnly);
    // Blends an image of `font` whose top-left pixel lands at (x, y). The
    // caller holds font.lock.
    void Blend(SizedFont& font, int x, int y, const GlyphImage& image);

   private:
    const std::vector<uint32_t>& OverUsual(SizedFont& font, const GlyphImage& image);
    uint32_t BlendOverUsual(unsigned char coverage);
    uint32_t BlendOver(uint32_t background, unsigned char coverage) const;
    // Pixel i of the image over `background`.
    uint32_t PixelOver(uint32_t background, const GlyphImage& image, size_t i) const;
    uint32_t PixelOverUsual(const GlyphImage& image, size_t i);

    PortableBitmap& bitmap_;
    const uint32_t pixel_;
    const ColourLevels levels_;
    const uint32_t usualBackground_;
    const bool coverageOnly_;
    // The blends over the usual background by coverage, worked out when first needed.
    bool tableReady_ = false;
    uint32_t overUsual_[256];
    // A row of the usual background, to tell rows that hold nothing else.
    std::vector<uint32_t> usualRow_;
    // A blend the font has no room to keep.
    std::vector<uint32_t> unkept_;
};

}  // namespace textraster::portable
