#include "overlay_picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "cue_layout.h"
#include "outline.h"
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

// line-alignment names sides of the frame, as the tool's cue placement
// does (which turns them into each line's start or end).
tool::LineAlign SideAlign(LineAlign align) {
    return align == LineAlign::Left    ? tool::LineAlign::Left
           : align == LineAlign::Right ? tool::LineAlign::Right
                                       : tool::LineAlign::Centre;
}

// The shading box reaches this far beyond the text, so that no glyph
// touches its edge.
uint32_t BoxMargin(uint8_t cell) {
    return std::max(cell / 5, 2);
}

struct Measured {
    uint32_t lines = 0, inlineSize = 0;
};

// A line breaks where a word no longer fits, so a paragraph set at its
// even share of its extent may need more room than that: this many cell
// heights (a long word's width) more.
constexpr uint32_t kBreakRoomInCells = 3;

// The text's lines and their extent along them. Lines that end where the
// text breaks them are measured one by one (the library measures a line
// alone, aligned to the start, tightly), so the region is exactly as long
// as the longest; a paragraph that wraps at the line length is given its
// even share of its own extent (with room for the breaks), as the tool's
// --fit makes a region as narrow as the text's line count allows, so that
// a two-line subtitle is not drawn, outlined and blended across the whole
// frame. Only as many lines as `visible` are measured one by one.
Measured Measure(const tool::Text& text, TextLayoutParams m, uint16_t lineLength, uint32_t visible, int32_t& code) {
    const bool vertical = m.writingMode == TR_WRITING_VERTICAL;
    m.linePitch = 1, m.alignment = TR_ALIGN_START, m.firstLineIndent = 0;
    auto measure = [&](const TextChar* t, uint32_t length, int32_t wrap, Measured& out) {
        (vertical ? m.regionHeight : m.regionWidth) = uint16_t(length);
        m.wordWrap = wrap;
        uint16_t width = 0, height = 0;
        code = ComputeTextRegionSize(t, &m, nullptr, &width, &height, nullptr);
        out.lines = vertical ? width : height, out.inlineSize = vertical ? height : width;
        return code == TR_OK;
    };
    const int32_t wrap = m.wordWrap;
    Measured all;
    if (!measure(text.c_str(), lineLength, wrap, all) || all.lines <= 1 || all.lines > visible) {
        if (all.lines > 1) all.inlineSize = lineLength;
        return all;
    }
    uint32_t widest = 0;
    bool wraps = false;
    for (size_t start = 0; start <= text.size() && widest < lineLength;) {
        size_t end = text.find('\n', start);
        if (end == tool::Text::npos) end = text.size();
        const tool::Text line(text, start, end - start);
        start = end + 1;
        Measured one = all, unwrapped;  // a text of one paragraph is measured already
        if (line.empty()) continue;
        if ((line.size() < text.size() && !measure(line.c_str(), lineLength, wrap, one)) || one.lines <= 1) {
            widest = std::max(widest, one.inlineSize);
            continue;
        }
        wraps = true;
        // Its extent unwrapped, where that fits the 16 bits it is told in.
        if (one.lines * lineLength > kMaxSide || !measure(line.c_str(), lineLength, 0, unwrapped)) {
            widest = lineLength;
            continue;
        }
        widest = std::max(widest, unwrapped.inlineSize / one.lines + kBreakRoomInCells * m.fontHeight);
    }
    widest = std::min<uint32_t>(widest, lineLength);
    Measured narrower;
    if (!wraps) {
        all.inlineSize = widest;
    } else if (widest < lineLength && measure(text.c_str(), widest, wrap, narrower) && narrower.lines == all.lines) {
        all.inlineSize = widest;
    } else {
        all.inlineSize = lineLength;
    }
    code = TR_OK;  // the whole text measured; a line alone only narrows the region
    return all;
}

// Whether row `y` of `image` has ink in [from, to).
bool Inked(const tool::Image& image, uint32_t y, uint32_t from, uint32_t to) {
    const uint32_t* row = image.row(y);
    for (uint32_t x = from; x < to; ++x)
        if (row[x] >> 24) return true;
    return false;
}

// Drops the columns on either side that hold no ink (rows, for `rows`),
// keeping `margin` of them for the outline and the box, so that the region
// a text was given but does not fill costs nothing further. Returns how many
// went from the left (top). Only the blank ends are searched, and the rest
// moved down in the image's own memory.
uint32_t CropToInk(tool::Image& image, bool rows, uint32_t margin) {
    const uint32_t w = image.width, h = image.height, length = rows ? h : w;
    uint32_t first = length, end = 0;  // the ink lies in [first, end)
    if (rows) {
        first = 0;
        while (first < h && !Inked(image, first, 0, w)) ++first;
        end = h;
        while (end > first && !Inked(image, end - 1, 0, w)) --end;
    } else {
        for (uint32_t y = 0; y < h; ++y) {
            const uint32_t* row = image.row(y);
            for (uint32_t x = 0; x < first; ++x)
                if (row[x] >> 24) first = x;
            for (uint32_t x = w; x > end; --x)
                if (row[x - 1] >> 24) end = x;
        }
    }
    if (first >= end) return 0;
    const uint32_t begin = first > margin ? first - margin : 0, stop = std::min(end + margin, length);
    if (rows) {
        std::memmove(image.pixels.data(), image.row(begin), size_t(stop - begin) * w * sizeof(uint32_t));
        image.height = stop - begin;
    } else {
        image.width = stop - begin;
        for (uint32_t y = 0; y < h; ++y)
            std::memmove(image.row(y), image.pixels.data() + size_t(y) * w + begin, image.width * sizeof(uint32_t));
    }
    image.pixels.resize(size_t(image.width) * image.height);
    return begin;
}

// An image of `width` x `height` in `memory` (an earlier picture's, which a
// new subtitle every frame would otherwise take from the system and fault
// in again each time), with only its `margin` cleared: RenderText writes
// every pixel of its region. Memory far larger than needed is let go.
tool::Image Canvas(std::vector<uint32_t> memory, uint32_t width, uint32_t height, uint32_t margin) {
    tool::Image image;
    image.width = width, image.height = height;
    const size_t size = size_t(width) * height;
    if (memory.capacity() <= 4 * size) image.pixels = std::move(memory);
    image.pixels.resize(size);
    for (uint32_t y = 0; y < height; ++y) {
        uint32_t* row = image.row(y);
        if (y < margin || y >= height - margin) {
            std::fill(row, row + width, 0);
        } else {
            std::fill(row, row + margin, 0);
            std::fill(row + width - margin, row + width, 0);
        }
    }
    return image;
}

// Every pixel laid over the box's colour.
void ShadeBox(tool::Image& image, uint32_t opacity) {
    for (uint32_t& p : image.pixels) p = tool::Over(p, opacity << 24);
}

int32_t EvenBelow(int64_t v) {
    return int32_t(v - (v & 1));  // two's complement: odd negatives go down too
}

// The record a text is drawn with, before its region, direction and
// alignment are known: colours, face height and style, white space, wrapping.
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
    r.writingMode = s.writingMode == WritingMode::Auto ? TR_WRITING_HORIZONTAL : int32_t(s.writingMode);
    return r;
}

// The text's lines in runs of one direction, each line by its own first
// strong letter, as the tool draws a cue's lines; a writing mode the
// settings give holds for the whole text.
std::vector<tool::CueRun> Runs(const OverlaySettings& s, const tool::Text& text) {
    if (s.writingMode == WritingMode::Auto) return tool::DirectionRuns(text);
    const auto direction =
        s.writingMode == WritingMode::RightToLeft ? tool::Direction::RightToLeft : tool::Direction::LeftToRight;
    return {{text, direction, 1}};
}

// The record of a run: its direction, and the line alignment in it.
TextLayoutParams RunRecord(TextLayoutParams r, const OverlaySettings& s, const tool::CueRun& run) {
    if (s.writingMode == WritingMode::Auto) r.writingMode = tool::RecordWritingMode(run.direction);
    r.alignment = tool::RecordAlignment(SideAlign(s.lineAlign), run.direction);
    return r;
}

// Draws the runs into `image` (the region and buffer `r` describes), each
// by its own call, stacked as the tool stacks a cue's runs.
int32_t DrawRuns(const std::vector<tool::CueRun>& runs, const TextLayoutParams& r, const OverlaySettings& s,
                 tool::Image& image, uint16_t& ascent, std::string& error) {
    if (runs.size() == 1) {
        const TextLayoutParams one = RunRecord(r, s, runs[0]);
        const int32_t code = RenderText(runs[0].text.c_str(), &one, image.pixels.data(), &ascent, nullptr, nullptr);
        if (code != TR_OK) error = tool::DescribeFailure("RenderText", code);
        return code;
    }
    std::vector<tool::RunCall> calls;
    int32_t code = tool::StackRuns(runs, r, SideAlign(s.lineAlign), calls);
    if (code != TR_OK) {
        error = tool::DescribeFailure("ComputeTextRegionSize", code);
        return code;
    }
    for (const tool::RunCall& call : calls) {
        code = RenderText(call.text->c_str(), &call.record, image.pixels.data(), &ascent, nullptr, nullptr);
        if (code != TR_OK) {
            error = tool::DescribeFailure("RenderText", code);
            return code;
        }
    }
    return TR_OK;
}

// A cue's own position code ({\an1} to {\an9}, as the numeric keypad lies)
// in place of the alignments, as the tool places cues: 7-9 top, 4-6
// middle, 1-3 bottom (on the baseline where that is the setting); 1, 4, 7
// left, lines too; 3, 6, 9 right.
OverlaySettings Placed(OverlaySettings s, int anchor) {
    if (anchor < 1 || anchor > 9) return s;
    const int column = (anchor - 1) % 3;
    s.halign = column == 0 ? HAlign::Left : column == 1 ? HAlign::Center : HAlign::Right;
    s.lineAlign = column == 0 ? LineAlign::Left : column == 1 ? LineAlign::Center : LineAlign::Right;
    s.valign = anchor >= 7                    ? VAlign::Top
               : anchor >= 4                  ? VAlign::Center
               : s.valign == VAlign::Baseline ? VAlign::Baseline
                                              : VAlign::Bottom;
    return s;
}

}  // namespace

OverlayPicture DrawPicture(const OverlaySettings& settings, const tool::CueText& text, uint32_t width, uint32_t height,
                           std::vector<uint32_t> memory, std::string& error) {
    OverlayPicture picture;
    const OverlaySettings s = Placed(settings, text.anchor);
    if (s.silent || text.text.empty() || width == 0 || height == 0) return picture;
    TextLayoutParams r = PictureRecord(s, text, height);
    const std::vector<tool::CueRun> runs = Runs(s, text.text);
    const tool::Text face = tool::Utf8ToUtf16(s.font.empty() ? s.fontFileName : s.font).text;
    r.faceName = face.empty() ? nullptr : face.c_str();

    const bool vertical = r.writingMode == TR_WRITING_VERTICAL;
    const uint32_t margin = s.outlineWidth + (s.shadedBackground ? BoxMargin(r.fontHeight) : 0);
    const uint32_t largest = kMaxSide - 2 * margin;
    const int64_t along = vertical ? int64_t(height) - 2 * s.ypad : int64_t(width) - 2 * s.xpad;
    const auto lineLength = uint16_t(std::clamp<int64_t>(along, 1, largest));
    // Lines beyond the frame's other side cannot be seen: the region stops there.
    const uint32_t blockLimit = std::min(vertical ? width : height, largest);
    // The runs one below the other: as many lines as they take together, as
    // long as the longest.
    Measured measured;
    for (const tool::CueRun& run : runs) {
        int32_t code = TR_OK;
        const Measured one = Measure(run.text, RunRecord(r, s, run), lineLength, blockLimit / r.linePitch + 1, code);
        if (code != TR_OK) {
            error = tool::DescribeFailure("ComputeTextRegionSize", code);
            return picture;
        }
        measured.lines += one.lines, measured.inlineSize = std::max(measured.inlineSize, one.inlineSize);
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

    // One line, measured whole at the full line length, is drawn unwrapped
    // into its region, which is exactly as long as the line: wrapping there
    // would measure every prefix of it again, and where a prefix measures
    // longer than the whole line (a word cut short ends in a wider final
    // form in Arabic) it would break the line and clip its last word away.
    // Columns keep wrapping: a column's prefixes are laid out differently.
    if (measured.lines == 1 && runs.size() == 1 && !vertical) r.wordWrap = 0;

    tool::Image image = Canvas(std::move(memory), r.bufferWidth, r.bufferHeight, margin);
    uint16_t ascent = 0;
    if (DrawRuns(runs, r, s, image, ascent, error) != TR_OK) return picture;
    const int64_t w = image.width, h = image.height, m = margin;
    // A region of the whole line length may hold lines much shorter.
    const uint32_t cut = inlineSize == lineLength ? CropToInk(image, vertical, margin) : 0;
    tool::DrawOutline(image, uint16_t(s.outlineWidth), RecordColor(s.outlineColor));
    if (s.shadedBackground) ShadeBox(image, s.shadingValue);

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
    (vertical ? y : x) += cut;
    picture.image = std::move(image);
    picture.x = EvenBelow(x), picture.y = EvenBelow(y);
    return picture;
}

}  // namespace textraster::gst
