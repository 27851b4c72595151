#include "overlay_picture.h"

#include <algorithm>
#include <cmath>

#include "outline.h"
#include "reading_direction.h"
#include "result_codes.h"

namespace textraster::gst {
namespace {

constexpr uint32_t kMaxSide = 65535;  // a record's region and buffer sides are 16 bits

// textoverlay's colours are ARGB; the record's are 0xAABBGGRR.
uint32_t RecordColor(uint32_t argb) {
    return (argb & 0xFF00FF00u) | (argb >> 16 & 0xFF) | (argb & 0xFF) << 16;
}

uint8_t CellHeight(const OverlaySettings& s, uint32_t frameHeight) {
    if (s.fontHeight) return uint8_t(std::min<uint32_t>(s.fontHeight, 255));
    return uint8_t(std::clamp(std::lround(s.fontHeightRelative * frameHeight), 1L, 255L));
}

// line-alignment names sides of the frame; the record's alignment the start
// and end of a line, which right-to-left lines swap. In columns, left is the
// top.
int32_t Alignment(LineAlign align, int32_t writingMode) {
    if (align == LineAlign::Center) return 2;
    return (writingMode == 2) == (align == LineAlign::Left) ? 3 : 1;
}

// The shading box reaches this far beyond the text, so that no glyph
// touches its edge.
uint32_t BoxMargin(uint8_t cell) {
    return std::max(cell / 5, 2);
}

struct Measured {
    uint32_t lines = 0, inlineSize = 0;
};

// The text's lines at the line length, and its extent along them: tight
// when every line ends where the text breaks it (each such line measured on
// its own, as the library measures one line aligned to the start tightly),
// else the line length. Only as many lines as `visible` are measured apart.
Measured Measure(const tool::Text& text, TextLayoutParams m, uint16_t lineLength, uint32_t visible, int32_t& code) {
    const bool vertical = m.writingMode == 3;
    (vertical ? m.regionHeight : m.regionWidth) = lineLength;
    m.linePitch = 1, m.alignment = 1, m.firstLineIndent = 0;
    auto measure = [&](const TextChar* t, Measured& out) {
        uint16_t width = 0, height = 0;
        code = ComputeTextRegionSize(t, &m, nullptr, &width, &height, nullptr);
        out.lines = vertical ? width : height, out.inlineSize = vertical ? height : width;
        return code == TR_OK;
    };
    Measured all;
    if (!measure(text.c_str(), all) || all.lines <= 1 || all.lines > visible) {
        if (all.lines > 1) all.inlineSize = lineLength;
        return all;
    }
    uint32_t widest = 0;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == tool::Text::npos) end = text.size();
        Measured one;
        const tool::Text line(text, start, end - start);
        if (!line.empty() && (!measure(line.c_str(), one) || one.lines > 1)) {
            widest = lineLength;  // a line that breaks on its own: the region is the line length
            break;
        }
        widest = std::max(widest, one.inlineSize);
        start = end + 1;
    }
    all.inlineSize = widest;
    code = TR_OK;  // the whole text measured; a line alone only narrows the region
    return all;
}

// Every pixel laid over the box's colour.
void ShadeBox(tool::Image& image, uint32_t opacity) {
    for (uint32_t& p : image.pixels) p = tool::Over(p, opacity << 24);
}

int32_t EvenBelow(int64_t v) {
    return int32_t(v - (v & 1));  // two's complement: odd negatives go down too
}

// The record a text is drawn with, before its region is known: colours,
// face height and style, white space, wrapping, direction and alignment.
TextLayoutParams PictureRecord(const OverlaySettings& s, const tool::CueText& text, uint32_t frameHeight) {
    TextLayoutParams r{};
    r.size = sizeof r;
    r.topDown = 1;
    r.textColor = RecordColor(s.color);
    r.backColor = RecordColor(s.backgroundColor);
    r.fontHeight = CellHeight(s, frameHeight);
    tool::ApplyCueStyle(text.style, r);
    r.newlineMode = 2;  // a cue's line feeds end its lines
    r.wordWrap = s.wrap != WrapMode::None;
    r.linePitch = uint8_t(s.linePitch ? s.linePitch : r.fontHeight);
    r.writingMode = s.writingMode != WritingMode::Auto                                      ? int32_t(s.writingMode)
                    : tool::FirstStrongDirection(text.text) == tool::Direction::RightToLeft ? 2
                                                                                            : 1;
    r.alignment = Alignment(s.lineAlign, r.writingMode);
    return r;
}

}  // namespace

OverlayPicture DrawPicture(const OverlaySettings& s, const tool::CueText& text, uint32_t width, uint32_t height,
                           std::string& error) {
    OverlayPicture picture;
    if (s.silent || text.text.empty() || width == 0 || height == 0) return picture;
    TextLayoutParams r = PictureRecord(s, text, height);
    const tool::Text face = tool::Utf8ToUtf16(s.font.empty() ? s.fontFileName : s.font).text;
    r.faceName = face.empty() ? nullptr : face.c_str();

    const bool vertical = r.writingMode == 3;
    const uint32_t margin = s.outlineWidth + (s.shadedBackground ? BoxMargin(r.fontHeight) : 0);
    const uint32_t largest = kMaxSide - 2 * margin;
    const int64_t along = vertical ? int64_t(height) - 2 * s.ypad : int64_t(width) - 2 * s.xpad;
    const auto lineLength = uint16_t(std::clamp<int64_t>(along, 1, largest));
    // Lines beyond the frame's other side cannot be seen: the region stops there.
    const uint32_t blockLimit = std::min(vertical ? width : height, largest);
    int32_t code = TR_OK;
    const Measured measured = Measure(text.text, r, lineLength, blockLimit / r.linePitch + 1, code);
    if (code != TR_OK) {
        error = tool::DescribeFailure("ComputeTextRegionSize", code);
        return picture;
    }
    if (measured.lines == 0) return picture;
    const uint32_t block = std::clamp<uint32_t>(measured.lines * r.linePitch, 1, blockLimit);
    const uint32_t inlineSize = std::max<uint32_t>(measured.inlineSize, 1);
    r.regionWidth = uint16_t(vertical ? block : inlineSize);
    r.regionHeight = uint16_t(vertical ? inlineSize : block);
    r.destX = r.destY = uint16_t(margin);
    r.bufferWidth = uint16_t(r.regionWidth + 2 * margin);
    r.bufferHeight = uint16_t(r.regionHeight + 2 * margin);
    r.bufferSize = uint32_t(r.bufferWidth) * r.bufferHeight * 4;

    tool::Image image(r.bufferWidth, r.bufferHeight);
    uint16_t ascent = 0;
    code = RenderText(text.text.c_str(), &r, image.pixels.data(), &ascent, nullptr, nullptr);
    if (code != TR_OK) {
        error = tool::DescribeFailure("RenderText", code);
        return picture;
    }
    tool::DrawOutline(image, uint16_t(s.outlineWidth), RecordColor(s.outlineColor));
    if (s.shadedBackground) ShadeBox(image, s.shadingValue);

    const int64_t w = image.width, h = image.height, m = margin;
    int64_t x = (int64_t(width) - w) / 2, y = (int64_t(height) - h) / 2;
    if (s.halign == HAlign::Left) x = s.xpad - m;
    if (s.halign == HAlign::Right) x = int64_t(width) - s.xpad - w + m;
    if (s.valign == VAlign::Top) y = s.ypad - m;
    if (s.valign == VAlign::Bottom || (s.valign == VAlign::Baseline && vertical)) y = int64_t(height) - s.ypad - h + m;
    if (s.valign == VAlign::Baseline && !vertical) {
        // The last line's baseline at ypad from the bottom, as textoverlay sets it.
        const int64_t lastBaseline = m + int64_t(std::max(block / r.linePitch, 1u) - 1) * r.linePitch + ascent;
        y = int64_t(height) - s.ypad - lastBaseline;
    }
    picture.image = std::move(image);
    picture.x = EvenBelow(x), picture.y = EvenBelow(y);
    return picture;
}

}  // namespace textraster::gst
