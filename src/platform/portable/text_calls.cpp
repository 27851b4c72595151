// Measuring and drawing a run of text on a device context. Like the
// platform's own, these fail when memory runs out; they never throw.
#include <cstdint>
#include <mutex>
#include <new>
#include <vector>

#include "platform/portable/dc.h"
#include "platform/portable/line_setting.h"
#include "platform/portable/raster.h"

using namespace textraster::portable;

namespace {

struct Point {
    int x;
    int y;
};

// Where a point of the line lands: `along` pixels along the line from the
// reference, `down` pixels below it before the font's turn; a turn goes
// counter-clockwise on screen, so three quarters (an escapement of 2700)
// set the line downwards. Fonts take no other turn (see font.cpp).
Point Place(int x, int y, int quarters, int along, int down) {
    if (quarters == 3) return {x - down, y + along};
    return {x + along, y + down};
}

bool ValidText(LPCWSTR text, int count) {
    return count >= 0 && (count == 0 || text);
}

// The font selected into a context, locked; null (and nothing locked) when
// the context has none or the text cannot be measured.
PortableFont* MeasuringFont(HDC handle, LPCWSTR text, int count, std::unique_lock<std::mutex>& guard) {
    PortableDc* dc = Find<PortableDc>(handle);
    PortableFont* font = dc ? CurrentFont(*dc) : nullptr;
    if (!font || !ValidText(text, count)) return nullptr;
    guard = std::unique_lock<std::mutex>(font->lock);
    return font;
}

}  // namespace

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size) try {
    std::unique_lock<std::mutex> guard;
    PortableFont* font = size ? MeasuringFont(dc, text, count, guard) : nullptr;
    if (!font) return FALSE;
    CallScratch scratch(static_cast<size_t>(count));
    size->cx = font->extents.Extent(font->fonts, text, static_cast<size_t>(count), scratch.get());
    size->cy = font->sized->metrics.tmHeight;
    return TRUE;
} catch (const std::bad_alloc&) {
    return FALSE;  // no memory to shape the run: a failure, as the platform reports it
}

// The extents of the prefixes are those of each prefix measured alone. With
// `fit`, measuring stops after the first prefix longer than `maxExtent`; the
// partial extents after it are left as they were, which the platform allows.
BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT partialExtents,
                           SIZE* size) try {
    std::unique_lock<std::mutex> guard;
    PortableFont* font = size ? MeasuringFont(dc, text, count, guard) : nullptr;
    if (!font) return FALSE;
    const size_t units = static_cast<size_t>(count);
    CallScratch scratch(units);
    size->cx = font->extents.Extent(font->fonts, text, units, scratch.get());
    size->cy = font->sized->metrics.tmHeight;
    if (!fit && !partialExtents) return TRUE;
    std::vector<int> prefixes;
    if (!partialExtents) prefixes.resize(units);
    int* extents = partialExtents ? partialExtents : prefixes.data();
    const size_t measured =
        font->extents.PrefixExtents(font->fonts, text, units, fit ? maxExtent : INT32_MAX, extents, scratch.get());
    if (fit) *fit = static_cast<INT>(measured > 0 && extents[measured - 1] > maxExtent ? measured - 1 : measured);
    return TRUE;
} catch (const std::bad_alloc&) {
    return FALSE;
}

BOOL TextOutW(HDC handle, int x, int y, LPCWSTR text, int count) try {
    PortableDc* dc = Find<PortableDc>(handle);
    PortableFont* font = dc ? CurrentFont(*dc) : nullptr;
    if (!font || !ValidText(text, count)) return FALSE;
    if (count == 0 || !dc->bitmap) return TRUE;  // nothing to draw, or only the screen to draw on
    SizedFont& sized = *font->sized;
    std::lock_guard<std::mutex> fontGuard(font->lock);
    try {
        const UINT align = dc->textAlign;
        CallScratch scratch(static_cast<size_t>(count));
        const ShapedText& line = font->drawn.Shape(font->fonts, std::u16string_view(text, static_cast<size_t>(count)),
                                                   (align & TA_RTLREADING) != 0, scratch.get());

        // The reference point is the line's left end, centre or right end, at
        // the cell's top (the library sets no other vertical flag): the
        // selected font's, which fallback glyphs share.
        const int start = (align & TA_CENTER) == TA_CENTER ? -line.advance / 2 : (align & TA_RIGHT) ? -line.advance : 0;
        const TEXTMETRICW& tm = sized.metrics;
        const int baseline = tm.tmAscent;
        const int quarters = sized.quarterTurns;

        const bool opaque = dc->backMode == OPAQUE;
        if (opaque) {
            const Point a = Place(x, y, quarters, start, baseline - tm.tmAscent);
            const Point b = Place(x, y, quarters, start + line.advance, baseline + tm.tmDescent);
            FillRect(*dc->bitmap, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y),
                     dc->backColor);
        }
        GlyphBlender blender(*dc->bitmap, dc->textColor, opaque ? FillPixel(*dc->bitmap, dc->backColor) : 0,
                             dc->opacitySurface);
        // Each glyph under its own font's lock, one lock at a time.
        std::unique_lock<std::mutex> glyphFont;
        for (const PlacedGlyph& glyph : line.glyphs) {
            SizedFont& drawing = font->fonts.Font(glyph.font);
            if (glyphFont.mutex() != &drawing.lock) {
                if (glyphFont) glyphFont.unlock();
                glyphFont = std::unique_lock<std::mutex>(drawing.lock);
            }
            const GlyphImage* image = RenderGlyph(drawing, glyph);
            if (!image) continue;
            const Point origin = Place(x, y, quarters, start + glyph.x, baseline - glyph.y);
            blender.Blend(drawing, origin.x + image->left, origin.y - image->top, *image);
        }
    } catch (const std::bad_alloc&) {
        return FALSE;  // no memory to shape the run or keep its glyphs
    }
    return TRUE;
} catch (const std::bad_alloc&) {
    return FALSE;  // what was drawn stays drawn
}
