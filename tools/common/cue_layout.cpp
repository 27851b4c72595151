#include "cue_layout.h"

#include <algorithm>

namespace textraster::tool {
namespace {

// The lines a run takes at the region's line length: the block size at a
// line pitch of 1.
int32_t CountLines(const Text& text, TextLayoutParams r, uint16_t& lines) {
    r.linePitch = 1, r.blockStartOffset = 0, r.alignment = TR_ALIGN_START;
    uint16_t ascent = 0, width = 0, lastExtent = 0;
    return ComputeTextRegionSize(text.c_str(), &r, &ascent, &width, &lines, &lastExtent);
}

}  // namespace

int32_t StackRuns(const std::vector<CueRun>& runs, const TextLayoutParams& record, LineAlign align,
                  std::vector<RunCall>& calls) {
    calls.clear();
    // Where the next run's first line goes, from the region's top edge.
    int64_t y = record.blockStartOffset;
    for (size_t k = 0; k < runs.size(); ++k) {
        RunCall call{&runs[k].text, record};
        TextLayoutParams& r = call.record;
        r.writingMode = RecordWritingMode(runs[k].direction);
        r.alignment = RecordAlignment(align, runs[k].direction);
        if (k > 0 && y >= record.regionHeight) break;
        if (k > 0 && y > 0) {
            // Below the region's top: the run's region starts at its first line.
            r.destY = uint16_t(record.destY + y), r.regionHeight = uint16_t(record.regionHeight - y);
            r.blockStartOffset = 0;
        } else {
            r.blockStartOffset = int16_t(y);  // at or above the top: an offset as the record's own
        }
        if (k + 1 < runs.size()) {
            uint16_t lines = 0;
            const int32_t code = CountLines(*call.text, r, lines);
            if (code != TR_OK) return code;
            y += int64_t(lines) * record.linePitch;
        }
        calls.push_back(call);
    }
    return TR_OK;
}

}  // namespace textraster::tool
