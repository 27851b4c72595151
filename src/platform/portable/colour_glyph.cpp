#include "platform/portable/colour_glyph.h"

#include FT_COLOR_H

#include <algorithm>
#include <cmath>

#include "platform/portable/raster.h"

namespace textraster::portable {
namespace {

// Strikes hold pictures of some 100 pixels a side (Noto Color Emoji: 136 x
// 128); one of more than this many pixels is not drawn, which bounds what
// scaling it takes (16 bytes a pixel of the picture's rows across the
// output's width).
constexpr long kMaxPicturePixels = 1L << 20;

// A glyph's pixels as FreeType gives them: premultiplied 0xAARRGGBB, rows
// top-down, placed as a GlyphImage is.
struct Picture {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    bool colour = false;  // else only the opacities count: a grey strike drawn in the text's colour
    std::vector<uint32_t> pixels;
};

bool Capture(const FT_GlyphSlot slot, Picture& picture) {
    const FT_Bitmap& bitmap = slot->bitmap;
    const long pixels = long(bitmap.width) * long(bitmap.rows);
    if (slot->format != FT_GLYPH_FORMAT_BITMAP || pixels <= 0 || pixels > kMaxPicturePixels) return false;
    const bool bgra = bitmap.pixel_mode == FT_PIXEL_MODE_BGRA;
    if (!bgra && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.pixel_mode != FT_PIXEL_MODE_MONO) return false;
    picture.left = slot->bitmap_left;
    picture.top = slot->bitmap_top;
    picture.width = int(bitmap.width);
    picture.rows = int(bitmap.rows);
    picture.colour = bgra;
    picture.pixels.resize(size_t(pixels));
    for (int row = 0; row < picture.rows; ++row) {
        const unsigned char* source = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
        uint32_t* target = &picture.pixels[size_t(row) * size_t(picture.width)];
        for (int column = 0; column < picture.width; ++column) {
            if (bgra) {
                const unsigned char* p = source + 4 * column;
                target[column] = uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            } else {
                const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
                const uint32_t opacity =
                    mono ? ((source[column >> 3] >> (7 - (column & 7))) & 1) * 255 : source[column];
                target[column] = opacity << 24;
            }
        }
    }
    return true;
}

// The glyph from the font's colour strike, at the strike's size. A face that
// also has outlines is set back to the em afterwards.
bool LoadFromStrike(SizedFont& font, uint32_t glyph, Picture& picture, double& scale) {
    FT_Face face = font.face;
    const bool scalable = FT_IS_SCALABLE(face);
    if (scalable && FT_Select_Size(face, font.strike)) return false;
    const bool loaded = FT_Load_Glyph(face, glyph, FT_LOAD_COLOR) == 0 && Capture(face->glyph, picture);
    if (scalable) FT_Set_Pixel_Sizes(face, 0, FT_UInt(font.ppem));
    // A scalable face draws a glyph its strike lacks from the outline.
    if (!loaded || (scalable && !picture.colour)) return false;
    scale = double(font.ppem) * 64 / double(face->available_sizes[font.strike].y_ppem);
    return true;
}

// A glyph of COLR layers, painted by FreeType at the em.
bool LoadLayers(SizedFont& font, uint32_t glyph, Picture& picture) {
    FT_Face face = font.face;
    FT_LayerIterator layers{};
    FT_UInt layerGlyph = 0, layerColour = 0;
    if (!FT_Get_Color_Glyph_Layer(face, glyph, &layerGlyph, &layerColour, &layers)) return false;
    if (FT_Load_Glyph(face, glyph, FT_LOAD_COLOR) || FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL)) return false;
    return Capture(face->glyph, picture) && picture.colour;
}

// Which source pixels make up one pixel of an axis scaled by some factor,
// and by how much: a tent as wide as a source pixel when enlarging
// (bilinear), as wide as an output pixel when reducing (every source pixel
// counted), so that neither step nor shimmer shows. Pixels beyond the
// picture are transparent and count with their weights.
struct Taps {
    int first = 0;
    std::vector<float> weights;
};

Taps TapsAt(double centre, double scale, int size) {
    const double radius = std::max(1.0, 1.0 / scale);
    Taps taps;
    const int from = int(std::ceil(centre - radius - 0.5)), to = int(std::floor(centre + radius - 0.5));
    double total = 0;
    taps.first = std::max(from, 0);
    for (int i = from; i <= to; ++i) {
        const double weight = std::max(0.0, 1.0 - std::abs(i + 0.5 - centre) / radius);
        total += weight;
        if (i >= 0 && i < size) taps.weights.push_back(float(weight));
    }
    if (total > 0)
        for (float& weight : taps.weights) weight = float(weight / total);
    return taps;
}

// The picture scaled by `scale` into `image`, on the whole pixels of the
// glyph's origin, so that every glyph sits on the baseline at its place.
bool Scale(const Picture& picture, double scale, GlyphImage& image) {
    const int left = int(std::floor(picture.left * scale)),
              right = int(std::ceil((picture.left + picture.width) * scale));
    const int top = int(std::ceil(picture.top * scale)), bottom = int(std::floor((picture.top - picture.rows) * scale));
    const int width = right - left, rows = top - bottom;
    // Four bytes of colour a pixel beyond an outline's one of coverage.
    if (width <= 0 || rows <= 0 || long(width) * rows > kMaxGlyphPixels / 4) return false;
    std::vector<Taps> across(static_cast<size_t>(width)), down(static_cast<size_t>(rows));
    for (int x = 0; x < width; ++x)
        across[size_t(x)] = TapsAt((left + x + 0.5) / scale - picture.left, scale, picture.width);
    for (int y = 0; y < rows; ++y) down[size_t(y)] = TapsAt(picture.top - (top - y - 0.5) / scale, scale, picture.rows);

    // Across first, every source row into the new width; then down.
    std::vector<float> wide(size_t(picture.rows) * size_t(width) * 4);
    for (int row = 0; row < picture.rows; ++row)
        for (int x = 0; x < width; ++x) {
            float* out = &wide[(size_t(row) * size_t(width) + size_t(x)) * 4];
            const Taps& taps = across[size_t(x)];
            for (size_t k = 0; k < taps.weights.size(); ++k) {
                const uint32_t p = picture.pixels[size_t(row) * size_t(picture.width) + size_t(taps.first) + k];
                for (int channel = 0; channel < 4; ++channel)
                    out[channel] += taps.weights[k] * float((p >> (8 * channel)) & 0xFF);
            }
        }
    image.left = left;
    image.top = top;
    image.width = width;
    image.rows = rows;
    image.coverage.assign(size_t(width) * size_t(rows), 0);
    image.colours.assign(picture.colour ? image.coverage.size() : 0, 0);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < width; ++x) {
            float sum[4] = {0, 0, 0, 0};
            const Taps& taps = down[size_t(y)];
            for (size_t k = 0; k < taps.weights.size(); ++k) {
                const float* in = &wide[((size_t(taps.first) + k) * size_t(width) + size_t(x)) * 4];
                for (int channel = 0; channel < 4; ++channel) sum[channel] += taps.weights[k] * in[channel];
            }
            const size_t at = size_t(y) * size_t(width) + size_t(x);
            const uint32_t opacity = uint32_t(std::lround(std::clamp(sum[3], 0.0f, 255.0f)));
            image.coverage[at] = static_cast<unsigned char>(opacity);
            if (!picture.colour) continue;
            uint32_t pixel = opacity << 24;
            // Premultiplied: no channel above the opacity.
            for (int channel = 0; channel < 3; ++channel)
                pixel |= std::min(opacity, uint32_t(std::lround(std::max(sum[channel], 0.0f)))) << (8 * channel);
            image.colours[at] = pixel;
        }
    return true;
}

// The image turned a quarter counter-clockwise about the glyph's origin.
void TurnQuarter(GlyphImage& image) {
    GlyphImage turned;
    turned.left = -image.top;
    turned.top = image.left + image.width;
    turned.width = image.rows;
    turned.rows = image.width;
    turned.coverage.resize(image.coverage.size());
    turned.colours.resize(image.colours.size());
    for (int row = 0; row < turned.rows; ++row)
        for (int column = 0; column < turned.width; ++column) {
            const size_t from = size_t(column) * size_t(image.width) + size_t(image.width - 1 - row);
            const size_t to = size_t(row) * size_t(turned.width) + size_t(column);
            turned.coverage[to] = image.coverage[from];
            if (!image.colours.empty()) turned.colours[to] = image.colours[from];
        }
    image = std::move(turned);
}

int RoundToPixel(long v64) {
    return int((v64 + 32) >> 6);
}

}  // namespace

bool RenderColourGlyph(SizedFont& font, const PlacedGlyph& glyph, GlyphImage& image) {
    if (!font.colour) return false;
    Picture picture;
    double scale = 1;
    if (!(font.strike >= 0 ? LoadFromStrike(font, glyph.glyph, picture, scale)
                           : LoadLayers(font, glyph.glyph, picture)))
        return false;
    if (!Scale(picture, scale, image)) return false;
    // A picture stands upright in a vertical line: turned against the line,
    // whose turn stands it up again, and centred in its cell (its advance
    // along the line, the cell's height across), as upright letters are.
    if (glyph.upright || font.sideways) {
        const long advance = hb_font_get_glyph_h_advance(font.shaper, glyph.glyph);
        const long ascent = long(font.metrics.tmAscent) * 64, descent = long(font.metrics.tmDescent) * 64;
        TurnQuarter(image);
        image.left += RoundToPixel((advance - descent + ascent) / 2);
        image.top += RoundToPixel((ascent - descent - advance) / 2);
    }
    for (int turn = 0; turn < font.quarterTurns; ++turn) TurnQuarter(image);
    return true;
}

}  // namespace textraster::portable
