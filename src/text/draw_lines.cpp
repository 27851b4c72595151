#include "text/draw_lines.h"

#include "text/int32_wrap.h"
#include "text/line_walker.h"
#include "text/measure_lines.h"

namespace textraster {
namespace {

bool IsHorizontal(int32_t writingMode) {
    return writingMode == TR_WRITING_HORIZONTAL || writingMode == TR_WRITING_RIGHT_TO_LEFT;
}

// The alignment flags to OR in, the reference point of every line, and that
// of the first line (used with alignment 1 only). Every line's point is the
// top edge of its cell; a vertical column's is its top-right corner, as the
// vertical font's cell top faces right. Unknown writing modes draw at (0, 0).
struct LinePlacement {
    uint32_t alignFlags = 0;
    int32_t x = 0, y = 0;
    int32_t firstX = 0, firstY = 0;
};

LinePlacement PlaceLines(const TextLayoutParams& params) {
    const int32_t width = params.regionWidth;
    const int32_t offset = params.blockStartOffset;
    LinePlacement place;
    switch (params.writingMode) {
        case TR_WRITING_HORIZONTAL:
            place.y = place.firstY = offset;
            switch (params.alignment) {
                case TR_ALIGN_START: place.firstX = params.firstLineIndent; break;
                case TR_ALIGN_CENTRE:
                    place.alignFlags = kAlignCenter;
                    place.x = width / 2;
                    break;
                case TR_ALIGN_END:
                    place.alignFlags = kAlignRight;
                    place.x = width;
                    break;
                default: break;
            }
            break;
        case TR_WRITING_RIGHT_TO_LEFT:
            // Lines read from the right edge; the end of a line is the left edge.
            place.alignFlags = kAlignRtlReading;
            place.y = place.firstY = offset;
            switch (params.alignment) {
                case TR_ALIGN_START:
                    place.alignFlags |= kAlignRight;
                    place.x = width;
                    place.firstX = width - params.firstLineIndent;
                    break;
                case TR_ALIGN_CENTRE:
                    place.alignFlags |= kAlignCenter;
                    place.x = width / 2;
                    break;
                default: break;
            }
            break;
        case TR_WRITING_VERTICAL:
            // Columns stack leftward from the block-start (right) edge; each
            // column's y is set as it is drawn.
            place.x = place.firstX = width - offset;
            place.firstY = params.firstLineIndent;
            break;
        default: break;
    }
    return place;
}

// The line pitch falls back to the font's cell height when the counted lines
// do not fit into the block at the requested pitch.
uint8_t ChoosePitch(const TextLayoutParams& params, uint16_t lineCount) {
    const int32_t block = int32_t(lineCount) * params.linePitch;
    const int32_t offset = params.blockStartOffset;
    const bool tooLong = (IsHorizontal(params.writingMode) && block > params.regionHeight - offset) ||
                         (params.writingMode == TR_WRITING_VERTICAL && block > params.regionWidth - offset);
    return tooLong ? params.fontHeight : params.linePitch;
}

// Where a column of the given extent starts down the region.
int32_t ColumnStartY(int32_t alignment, int32_t regionHeight, int32_t extent) {
    switch (alignment) {
        case TR_ALIGN_CENTRE: return SubInt32(regionHeight, extent) / 2;
        case TR_ALIGN_END: return SubInt32(regionHeight, extent);
        default: return 0;
    }
}

class LineDrawer final : public LineSink {
   public:
    LineDrawer(LineCanvas& canvas, const TextLayoutParams& params, const LinePlacement& place, uint8_t pitch,
               uint16_t* lastLineExtent)
        : canvas_(canvas),
          writingMode_(params.writingMode),
          alignment_(params.alignment),
          regionHeight_(params.regionHeight),
          place_(place),
          pitch_(pitch),
          lastLineExtent_(lastLineExtent) {}

    // A character that does not fit on a fresh line is broken before like
    // any other; the walk's own end for characters that can never fit keeps
    // this from repeating.
    bool GivesUpOnFreshOverflow() const override { return false; }

    bool EndLine(const TextChar* start, uint32_t count, bool firstLine, bool automatic) override {
        Draw(start, count, firstLine, lastLineExtent_);
        return Advance(automatic);
    }

    void EndText(const TextChar* start, uint32_t count, bool firstLine) override {
        Draw(start, count, firstLine, count > 0 ? lastLineExtent_ : nullptr);
    }

   private:
    void Draw(const TextChar* start, uint32_t count, bool firstLine, uint16_t* extentOut) {
        // One measurement serves both the column's start and the extent reported.
        const bool columnNeedsExtent =
            writingMode_ == TR_WRITING_VERTICAL && (alignment_ == TR_ALIGN_CENTRE || alignment_ == TR_ALIGN_END);
        const int32_t extent = columnNeedsExtent || extentOut ? RunExtent(canvas_, start, count) : 0;
        if (writingMode_ == TR_WRITING_VERTICAL) place_.y = ColumnStartY(alignment_, regionHeight_, extent);
        const bool atFirstPoint = firstLine && alignment_ == TR_ALIGN_START;
        canvas_.DrawRun(atFirstPoint ? place_.firstX : place_.x, atFirstPoint ? place_.firstY : place_.y, start, count);
        if (extentOut) *extentOut = uint16_t(extent);
    }

    // False when drawing ends: after an automatic break, a horizontal line
    // that would cross the bottom edge is not drawn, nor is anything after
    // it. Lines after forced breaks are drawn anyway and clipped.
    bool Advance(bool automatic) {
        if (IsHorizontal(writingMode_)) {
            place_.y = AddInt32(place_.y, pitch_);
            return !(automatic && AddInt32(place_.y, pitch_) > regionHeight_);
        }
        if (writingMode_ == TR_WRITING_VERTICAL) place_.x = SubInt32(place_.x, pitch_);
        return true;
    }

    LineCanvas& canvas_;
    const int32_t writingMode_;
    const int32_t alignment_;
    const int32_t regionHeight_;
    LinePlacement place_;
    const int32_t pitch_;
    uint16_t* const lastLineExtent_;
};

}  // namespace

void DrawLines(const TextChar* text, LineCanvas& canvas, const TextLayoutParams& params, uint8_t* usedLinePitch,
               uint16_t* lastLineExtent) {
    const int32_t writingMode = params.writingMode;
    // Unknown writing modes have no line direction; the width only decides
    // where a line without a break opportunity would end.
    const uint16_t lineLength = writingMode == TR_WRITING_VERTICAL ? params.regionHeight : params.regionWidth;

    uint16_t lineCount = 0;
    MeasureLines(text, canvas, lineLength, params.alignment, params.firstLineIndent, params.wordWrap,
                 params.leadingSpaceMode, &lineCount, nullptr);
    const uint8_t pitch = ChoosePitch(params, lineCount);
    if (usedLinePitch) *usedLinePitch = pitch;

    const LinePlacement place = PlaceLines(params);
    canvas.SetAlign(canvas.GetAlign() | place.alignFlags);

    LineRules rules =
        MakeLineRules(lineLength, params.alignment, params.firstLineIndent, params.wordWrap, params.leadingSpaceMode);
    rules.neverFits = !IsHorizontal(writingMode) && writingMode != TR_WRITING_VERTICAL;
    LineDrawer drawer(canvas, params, place, pitch, lastLineExtent);
    // How the walk ends changes nothing here: what was drawn stays drawn. A
    // character too long for any line ends the drawing after one empty line,
    // in every writing mode and at any pitch: more empty lines, until the
    // bottom edge stopped them or without end in columns, would draw nothing
    // and report the same extent of 0.
    WalkLines(text, canvas, rules, drawer);
}

}  // namespace textraster
