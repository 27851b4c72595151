#include "platform/portable/line_setting.h"

#include <mutex>

namespace textraster::portable {
namespace {

// Offsets in pixels from 26.6 fixed point, to the nearest.
int RoundPixels(hb_position_t v) {
    return (v + 32) >> 6;
}

}  // namespace

LineScratch::LineScratch() : buffer(hb_buffer_create()) {}
LineScratch::~LineScratch() {
    hb_buffer_destroy(buffer);
}

void LineScratch::ReleaseIfLong() {
    if (longest_ <= kKeptScratchUnits) return;
    longest_ = 0;
    // A failed hb_buffer_create gives HarfBuzz's empty buffer, which shapes
    // nothing but fails nothing either.
    hb_buffer_destroy(buffer);
    buffer = hb_buffer_create();
    bidi = BidiScratch();
    levels = std::vector<FriBidiLevel>();
    line = ItemizedLine();
    fresh = ItemizedLine();
}

namespace {

template <typename T>
size_t Bytes(const std::vector<T>& array) {
    return array.capacity() * sizeof(T);
}

size_t Bytes(const ItemizedLine& line) {
    return Bytes(line.codePoints) + Bytes(line.levels) + Bytes(line.scripts) + Bytes(line.fonts) + Bytes(line.items);
}

}  // namespace

size_t LineScratch::ArrayBytes() const {
    return Bytes(bidi.types) + Bytes(bidi.brackets) + Bytes(levels) + Bytes(line) + Bytes(fresh);
}

LineScratch& ThreadLineScratch() {
    thread_local LineScratch scratch;
    return scratch;
}

ShapedText ShapeText(FallbackFonts& fonts, std::u16string_view text, bool rtlReading, LineScratch& scratch) {
    ShapedText out;
    ItemizedLine& line = scratch.line;
    ItemizeLine(fonts, text, rtlReading, scratch.bidi, line);
    std::vector<Item> visual = line.items;
    ReorderVisually(visual);
    const FriBidiChar* codePoints = line.codePoints.data();
    hb_buffer_t* buffer = scratch.buffer;
    for (const Item& item : visual) {
        SizedFont& font = fonts.Font(item.font);
        std::lock_guard<std::mutex> guard(font.lock);
        ShapeItem(font, codePoints, line.codePoints.size(), item, buffer);
        unsigned count = 0;
        const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
        const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
        for (unsigned i = 0; i < count; ++i) {
            const bool upright = font.sideways && StandsUpright(codePoints[infos[i].cluster]);
            out.glyphs.push_back({infos[i].codepoint, out.advance + RoundPixels(positions[i].x_offset),
                                  RoundPixels(positions[i].y_offset), upright, item.font});
            out.advance += GlyphAdvance(font, positions[i]);
        }
    }
    return out;
}

const ShapedText& LastShapedLine::Shape(FallbackFonts& fonts, std::u16string_view text, bool rtlReading,
                                        LineScratch& scratch) {
    if (!valid_ || rtlReading != rtlReading_ || text != text_) {
        valid_ = false;
        shaped_ = ShapeText(fonts, text, rtlReading, scratch);
        text_.assign(text);
        rtlReading_ = rtlReading;
        valid_ = true;
    }
    return shaped_;
}

}  // namespace textraster::portable
