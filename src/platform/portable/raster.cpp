#include "platform/portable/raster.h"

#include FT_OUTLINE_H

#include <algorithm>
#include <cstring>

#include "platform/portable/colour_glyph.h"

namespace textraster::portable {
namespace {

// The slant of a synthesised italic (a quarter of the height), and the
// weight a synthesised bold adds (a 24th of the em): what GDI uses.
constexpr FT_Fixed kItalicShear = 0x4000;
constexpr int kBoldDivisor = 24;

void Turn(FT_Outline& outline, FT_Fixed xx, FT_Fixed xy, FT_Fixed yx, FT_Fixed yy) {
    FT_Matrix matrix{xx, xy, yx, yy};
    FT_Outline_Transform(&outline, &matrix);
}

// Quarter turns counter-clockwise, in FreeType's y-up coordinates: one
// stands a glyph upright, three are a font's turn (see font.cpp).
void TurnQuarters(FT_Outline& outline, int quarters) {
    constexpr FT_Fixed one = 0x10000;
    if (quarters == 1) Turn(outline, 0, -one, one, 0);
    if (quarters == 3) Turn(outline, 0, one, -one, 0);
}

FT_Pos RoundToPixel(FT_Pos v) {
    return (v + 32) & ~FT_Pos(63);
}

// An upright glyph of a vertical line is turned a quarter counter-clockwise
// against the line, so that the line's own turn stands it up again, and
// centred in its cell: its advance along the line, the cell's height across.
void StandUpright(FT_Outline& outline, const SizedFont& font, FT_Pos advance) {
    TurnQuarters(outline, 1);
    const FT_Pos ascent = FT_Pos(font.metrics.tmAscent) * 64;
    const FT_Pos descent = FT_Pos(font.metrics.tmDescent) * 64;
    FT_Outline_Translate(&outline, RoundToPixel((advance - descent + ascent) / 2),
                         RoundToPixel((ascent - descent - advance) / 2));
}

GlyphImage Render(SizedFont& font, const PlacedGlyph& glyph) {
    GlyphImage image;
    FT_Face face = font.face;
    const FT_Int32 flags = FT_LOAD_NO_BITMAP | FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH |
                           (font.aliased ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Glyph(face, glyph.glyph, flags) && FT_Load_Glyph(face, glyph.glyph, flags | FT_LOAD_NO_HINTING))
        return image;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return image;
    FT_Outline& outline = slot->outline;
    if (font.fakeBold) FT_Outline_Embolden(&outline, FT_MulDiv(font.ppem, 64, kBoldDivisor));
    if (font.fakeItalic) Turn(outline, 0x10000, kItalicShear, 0, 0x10000);
    if (glyph.upright) StandUpright(outline, font, slot->advance.x);
    TurnQuarters(outline, font.quarterTurns);

    FT_BBox box;
    FT_Outline_Get_CBox(&outline, &box);
    const long width = (((box.xMax + 63) & ~63) - (box.xMin & ~63)) >> 6;
    const long rows = (((box.yMax + 63) & ~63) - (box.yMin & ~63)) >> 6;
    if (width <= 0 || rows <= 0 || width * rows > kMaxGlyphPixels) return image;
    if (FT_Render_Glyph(slot, font.aliased ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL)) return image;

    const FT_Bitmap& bitmap = slot->bitmap;
    const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    if (!mono && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return image;
    image.left = slot->bitmap_left;
    image.top = slot->bitmap_top;
    image.width = static_cast<int>(bitmap.width);
    image.rows = static_cast<int>(bitmap.rows);
    image.coverage.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.rows));
    for (int row = 0; row < image.rows; ++row) {
        const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        unsigned char* target = &image.coverage[static_cast<size_t>(row) * static_cast<size_t>(image.width)];
        for (int column = 0; column < image.width; ++column)
            target[column] = mono ? ((source[column >> 3] >> (7 - (column & 7))) & 1 ? 255 : 0) : source[column];
    }
    return image;
}

// A DIB pixel (0x00RRGGBB) from a COLORREF (0x00BBGGRR).
uint32_t PixelOf(COLORREF color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

// A monochrome bitmap keeps only black and white.
uint32_t Quantise(const PortableBitmap& bitmap, uint32_t pixel) {
    if (bitmap.bitsPixel != 1) return pixel;
    const uint32_t luma = ((pixel >> 16) & 0xFF) * 30 + ((pixel >> 8) & 0xFF) * 59 + (pixel & 0xFF) * 11;
    return luma >= 128 * 100 ? 0xFFFFFF : 0;
}

// GDI antialiases text in 17 levels of coverage and draws them along a curve
// rather than linearly, so that edges come out heavier than their coverage:
// these are the levels' intensities for white text on black (about
// 77 × level^0.43). Level 1 is not drawn at all; level 16 is the text colour.
constexpr int kTopLevel = ColourLevels::kTopLevel;
constexpr int kLevelIntensity[kTopLevel + 1] = {0,   77,  104, 124, 140, 154, 167, 178, 189,
                                                199, 208, 217, 225, 233, 240, 248, 255};

// The key of a blend in a picture's own colours: no text colour has a top byte.
constexpr uint32_t kOwnColours = 0xFF000000;

int CoverageLevel(int coverage) {
    return coverage * (kTopLevel + 1) / 256;
}

// What one level of a text channel value gives over a black and over a white
// background: the curve scaled to the text value, and its mirror image.
ColourLevels::Ends EndsOf(int level, int text) {
    const int mirrored = kLevelIntensity[kTopLevel - level];
    return {kLevelIntensity[level] * text / 255, mirrored + (255 - mirrored) * text / 255};
}

// A background between black and the text value lands on the straight line
// from the over-black result to the text value; one between the text value
// and white on the line from there to the over-white result.
int BlendChannel(int background, int text, const ColourLevels::Ends& ends) {
    if (background == text) return text;
    if (background > text) return text + (background - text) * (ends.overWhite - text) / (255 - text);
    return text - (text - background) * (text - ends.overBlack) / text;
}

uint32_t BlendLevel(uint32_t background, uint32_t color, const ColourLevels::Ends (&ends)[3]) {
    uint32_t out = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const int shift = 8 * channel;
        const int bg = static_cast<int>((background >> shift) & 0xFF);
        const int fg = static_cast<int>((color >> shift) & 0xFF);
        out |= static_cast<uint32_t>(BlendChannel(bg, fg, ends[channel])) << shift;
    }
    return out;
}

// Whole blocks of 16 pixels first, a loop the compiler turns into vector code.
void FillPixels(uint32_t* __restrict out, size_t count, uint32_t pixel) {
    constexpr size_t kBlock = 16;
    size_t i = 0;
    for (; i + kBlock <= count; i += kBlock)
        for (size_t k = 0; k < kBlock; ++k) out[i + k] = pixel;
    for (; i < count; ++i) out[i] = pixel;
}

}  // namespace

ColourLevels::ColourLevels(uint32_t pixel) {
    for (int level = 0; level <= kTopLevel; ++level)
        for (int channel = 0; channel < 3; ++channel)
            ends[level][channel] = EndsOf(level, static_cast<int>((pixel >> (8 * channel)) & 0xFF));
}

uint32_t BlendCoverage(uint32_t background, uint32_t pixel, const ColourLevels& levels, unsigned char coverage) {
    const int level = CoverageLevel(coverage);
    if (level <= 1) return background;  // GDI leaves the lowest level undrawn
    return level == kTopLevel ? pixel : BlendLevel(background, pixel, levels.ends[level]);
}

const GlyphImage* RenderGlyph(SizedFont& font, const PlacedGlyph& glyph) {
    const uint32_t key = glyph.glyph << 1 | (glyph.upright ? 1 : 0);
    auto found = font.glyphs.find(key);
    if (found == font.glyphs.end()) {
        GlyphImage image;
        if (!RenderColourGlyph(font, glyph, image)) image = Render(font, glyph);
        if (font.glyphBytes + image.Bytes() > kGlyphCacheBytes) {
            font.glyphs.clear();
            font.glyphBytes = 0;
        }
        font.glyphBytes += image.Bytes();
        found = font.glyphs.emplace(key, std::move(image)).first;
    }
    return found->second.coverage.empty() ? nullptr : &found->second;
}

uint32_t FillPixel(const PortableBitmap& bitmap, COLORREF color) {
    return Quantise(bitmap, PixelOf(color));
}

void FillRect(PortableBitmap& bitmap, int left, int top, int right, int bottom, COLORREF color) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, bitmap.width);
    bottom = std::min(bottom, bitmap.height);
    const uint32_t pixel = FillPixel(bitmap, color);
    if (left >= right) return;
    bitmap.Prepare(top, bottom, left, right);
    for (int y = top; y < bottom; ++y) FillPixels(bitmap.Row(y) + left, static_cast<size_t>(right - left), pixel);
}

GlyphBlender::GlyphBlender(PortableBitmap& bitmap, COLORREF color, uint32_t usualBackground, bool coverageOnly)
    : bitmap_(bitmap),
      pixel_(PixelOf(color)),
      levels_(pixel_),
      usualBackground_(usualBackground),
      coverageOnly_(coverageOnly) {}

uint32_t GlyphBlender::BlendOver(uint32_t background, unsigned char coverage) const {
    const uint32_t blended = BlendCoverage(background, pixel_, levels_, coverage);
    return blended == background ? background : Quantise(bitmap_, blended);
}

uint32_t GlyphBlender::BlendOverUsual(unsigned char coverage) {
    if (!tableReady_) {
        for (int c = 0; c < 256; ++c) overUsual_[c] = BlendOver(usualBackground_, static_cast<unsigned char>(c));
        tableReady_ = true;
    }
    return overUsual_[coverage];
}

uint32_t GlyphBlender::PixelOver(uint32_t background, const GlyphImage& image, size_t i) const {
    if (image.colours.empty()) return BlendOver(background, image.coverage[i]);
    const uint32_t opacity = image.coverage[i];
    if (opacity == 0) return background;
    // Straight over the background: the picture's own shading needs no
    // heavier edges.
    const uint32_t colours = coverageOnly_ ? pixel_ : image.colours[i];
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t bg = (background >> shift) & 0xFF, fg = (colours >> shift) & 0xFF;
        const uint32_t mixed =
            coverageOnly_ ? (bg * (255 - opacity) + fg * opacity + 127) / 255 : fg + (bg * (255 - opacity) + 127) / 255;
        out |= std::min(mixed, 255u) << shift;
    }
    return Quantise(bitmap_, out);
}

uint32_t GlyphBlender::PixelOverUsual(const GlyphImage& image, size_t i) {
    return image.colours.empty() ? BlendOverUsual(image.coverage[i]) : PixelOver(usualBackground_, image, i);
}

const std::vector<uint32_t>& GlyphBlender::OverUsual(SizedFont& font, const GlyphImage& image) {
    // A monochrome surface quantises the blend: it has its own. A picture in
    // its own colours is the same in every text colour.
    const uint32_t background = bitmap_.bitsPixel == 1 ? usualBackground_ | 0x01000000 : usualBackground_;
    const uint32_t color = image.colours.empty() || coverageOnly_ ? pixel_ : kOwnColours;
    for (const GlyphImage::Blend& blend : image.blends)
        if (blend.color == color && blend.background == background && !blend.pixels.empty()) return blend.pixels;
    GlyphImage::Blend& blend = image.blends[image.nextBlend];
    // A blend is kept only within the font's budget for glyph images (which
    // is checked when a glyph is added): else glyphs kept and drawn again in
    // other colours could take the font to nine times the budget. Beyond it,
    // the blend is made for this use alone.
    const size_t kept = blend.pixels.size() * sizeof(uint32_t);
    if (font.glyphBytes - kept + image.coverage.size() * sizeof(uint32_t) > kGlyphCacheBytes) {
        unkept_.resize(image.coverage.size());
        for (size_t i = 0; i < image.coverage.size(); ++i) unkept_[i] = PixelOverUsual(image, i);
        return unkept_;
    }
    image.nextBlend = (image.nextBlend + 1) % 2;
    font.glyphBytes -= kept;
    blend.color = color;
    blend.background = background;
    blend.pixels.resize(image.coverage.size());
    for (size_t i = 0; i < image.coverage.size(); ++i) blend.pixels[i] = PixelOverUsual(image, i);
    font.glyphBytes += blend.pixels.size() * sizeof(uint32_t);
    return blend.pixels;
}

void GlyphBlender::Blend(SizedFont& font, int x, int y, const GlyphImage& image) {
    const int firstRow = std::max(0, -y), lastRow = std::min(image.rows, bitmap_.height - y);
    const int firstColumn = std::max(0, -x), lastColumn = std::min(image.width, bitmap_.width - x);
    if (firstColumn >= lastColumn || firstRow >= lastRow) return;
    bitmap_.Prepare(y + firstRow, y + lastRow);
    const std::vector<uint32_t>& over = OverUsual(font, image);
    const size_t columns = static_cast<size_t>(lastColumn - firstColumn);
    if (usualRow_.size() < columns) usualRow_.resize(columns, usualBackground_);
    for (int row = firstRow; row < lastRow; ++row) {
        const size_t start = static_cast<size_t>(row) * static_cast<size_t>(image.width) + firstColumn;
        uint32_t* target = bitmap_.Row(y + row) + x + firstColumn;
        if (std::memcmp(target, usualRow_.data(), columns * sizeof(uint32_t)) == 0) {
            std::memcpy(target, &over[start], columns * sizeof(uint32_t));
            continue;
        }
        // Where an earlier glyph left its ink, pixel by pixel.
        for (size_t column = 0; column < columns; ++column) {
            const uint32_t background = target[column];
            if (background == usualBackground_)
                target[column] = over[start + column];
            else
                target[column] = PixelOver(background, image, start + column);
        }
    }
}

}  // namespace textraster::portable
