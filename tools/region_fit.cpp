#include "region_fit.h"

#include <algorithm>

#include "cue_placement.h"
#include "rendering.h"
#include "result_codes.h"

namespace textraster::tool {
namespace {

constexpr uint32_t kMaxSide = 65535;  // a region's side and a buffer's, in 16 bits

bool Vertical(const TextLayoutParams& r) {
    return r.writingMode == TR_WRITING_VERTICAL;
}

uint16_t& LineSide(TextLayoutParams& r) {
    return Vertical(r) ? r.regionHeight : r.regionWidth;
}

uint16_t& BlockSize(TextLayoutParams& r) {
    return Vertical(r) ? r.regionWidth : r.regionHeight;
}

struct Lines {
    int32_t code = -1;
    uint16_t count = 0, inlineSize = 0, lastExtent = 0;
};

// The text measured at a line length, with a line pitch of 1 so that the
// block size is the line count.
Lines MeasureAt(const Text& text, TextLayoutParams r, const Text& face, uint16_t lineLength) {
    LineSide(r) = lineLength;
    r.linePitch = 1;
    const Measurement m = Measure(text, r, face);
    Lines lines;
    lines.code = m.code;
    lines.count = Vertical(r) ? m.neededWidth : m.neededHeight;
    lines.inlineSize = Vertical(r) ? m.neededHeight : m.neededWidth;
    lines.lastExtent = m.lastLineExtent;
    return lines;
}

// The buffer just holding the record's region with `border` pixels on each side.
bool BufferAround(TextLayoutParams& record, uint16_t border, std::string& error) {
    const uint32_t width = record.regionWidth + 2u * border, height = record.regionHeight + 2u * border;
    if (width > kMaxSide || height > kMaxSide) {
        error = "the fitted region with its border is " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels, more than the " + std::to_string(kMaxSide) + " a buffer's side can have";
        return false;
    }
    record.destX = record.destY = border;
    record.bufferWidth = uint16_t(width), record.bufferHeight = uint16_t(height);
    record.bufferSize = width * height * 4;
    return true;
}

}  // namespace

int32_t CountLines(const Text& text, TextLayoutParams record, const Text& face, uint16_t& lines) {
    const Lines measured = MeasureAt(text, record, face, LineSide(record));
    lines = measured.count;
    return measured.code;
}

int32_t HasOverlongLine(const Text& text, TextLayoutParams record, const Text& face, bool& overlong) {
    record.wordWrap = 0;
    const Lines natural = MeasureAt(text, record, face, LineSide(record));
    record.wordWrap = 1;
    const Lines wrapped = MeasureAt(text, record, face, uint16_t(kMaxSide));
    overlong = natural.code == TR_OK && wrapped.code == TR_OK && wrapped.count > natural.count;
    return natural.code != TR_OK ? natural.code : wrapped.code;
}

bool FitRegion(const Text& text, TextLayoutParams& record, const Text& face, LineLength length, uint16_t border,
               std::string& error, std::string& warning) {
    const bool lineLengthGiven = length != LineLength::Free, shrink = length != LineLength::Kept;
    TextLayoutParams m = record;
    // Aligned to the start, a single line is measured at its own extent; the
    // first-line indent counts only for that alignment.
    m.alignment = TR_ALIGN_START;
    if (record.alignment != TR_ALIGN_START) m.firstLineIndent = 0;
    // Without a line length, lines break where the text breaks them; a line
    // longer than a region can be still breaks.
    if (!lineLengthGiven) m.wordWrap = 1;
    const uint16_t lineLength = lineLengthGiven ? LineSide(record) : uint16_t(kMaxSide);
    const Lines all = MeasureAt(text, m, face, lineLength);
    if (all.code != TR_OK) {
        error = DescribeFailure("ComputeTextRegionSize", all.code);
        return false;
    }
    if (all.count == 0) {
        error =
            "there is nothing to lay out: the text is empty once its white space is handled, or a character "
            "is longer than the line length of " +
            std::to_string(lineLength) + " pixels";
        return false;
    }

    const uint32_t block =
        uint32_t(all.count) * record.linePitch + uint32_t(std::max<int32_t>(record.blockStartOffset, 0));
    if (block > kMaxSide) {
        error = "the text's " + std::to_string(all.count) + " lines at a line pitch of " +
                std::to_string(record.linePitch) + " need " + std::to_string(block) + " pixels, more than the " +
                std::to_string(kMaxSide) + " a region can have";
        return false;
    }
    // Lines that break only where the text breaks them, broken all the same:
    // one is longer than a region can be. The region is as long as it can be
    // then, and measuring it shorter would only cost time.
    bool split = false;
    if (!lineLengthGiven && all.count > 1) {
        const int32_t code = HasOverlongLine(text, m, face, split);
        if (code != TR_OK) {
            error = DescribeFailure("ComputeTextRegionSize", code);
            return false;
        }
    }
    if (split)
        warning = "a line is longer than the " + std::to_string(kMaxSide) +
                  " pixels a region can have, and is split; --region WxH gives the line length";
    uint32_t inlineSize = lineLength;
    if (shrink && all.count == 1) {
        inlineSize = all.inlineSize;
    } else if (shrink && !split) {
        // The shortest line length at which the text still takes as many
        // lines: any shorter one breaks the longest line.
        uint32_t low = std::max<uint32_t>(all.lastExtent, 1), high = lineLength;
        while (low < high) {
            const uint32_t middle = low + (high - low) / 2;
            const Lines at = MeasureAt(text, m, face, uint16_t(middle));
            if (at.code != TR_OK) {
                error = DescribeFailure("ComputeTextRegionSize", at.code);
                return false;
            }
            if (at.count == all.count) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        inlineSize = high;
    }

    LineSide(record) = uint16_t(std::max<uint32_t>(inlineSize, 1));
    BlockSize(record) = uint16_t(std::max<uint32_t>(block, 1));
    return BufferAround(record, border, error);
}

bool FitRuns(const std::vector<CueRun>& runs, int32_t writingMode, TextLayoutParams& record, const Text& face,
             LineLength length, uint16_t border, std::string& error, std::string& warning) {
    // The record's block-start offset comes once, before the first run.
    const uint32_t offset = uint32_t(std::max<int32_t>(record.blockStartOffset, 0));
    uint32_t lineLength = 1, block = offset;
    for (const CueRun& run : runs) {
        TextLayoutParams r = record;
        r.writingMode = writingMode ? writingMode : RecordWritingMode(run.direction);
        if (!FitRegion(run.text, r, face, length, 0, error, warning)) return false;
        lineLength = std::max<uint32_t>(lineLength, LineSide(r));
        block += BlockSize(r) - offset;
    }
    if (block > kMaxSide) {
        error = "the cue's lines need " + std::to_string(block) + " pixels at a line pitch of " +
                std::to_string(record.linePitch) + ", more than the " + std::to_string(kMaxSide) + " a region can have";
        return false;
    }
    record.writingMode = writingMode ? writingMode : TR_WRITING_HORIZONTAL;
    LineSide(record) = uint16_t(lineLength);
    BlockSize(record) = uint16_t(std::max<uint32_t>(block, 1));
    return BufferAround(record, border, error);
}

}  // namespace textraster::tool
