// A cue drawn as its direction runs (cue_lines.h), one library call each,
// stacked down one region at the cue's line pitch as a single call stacks its
// lines: the second run starts where the first run's last line ended.
#pragma once

#include <cstdint>
#include <vector>

#include "cue_lines.h"
#include "cue_placement.h"
#include "textraster.h"

namespace textraster::tool {

struct RunCall {
    const Text* text = nullptr;  // the run's, in `runs`
    TextLayoutParams record{};
};

// The calls that draw `runs` in the region `record` describes (its
// destination, size, block-start offset, line pitch and font; its faceName
// is used to measure), each run's lines aligned by `align` in the run's own
// direction. A run that would start below the region is left out. Each run
// but the last is measured with ComputeTextRegionSize to learn its line
// count; returns the first result code that is not TR_OK, or TR_OK.
int32_t StackRuns(const std::vector<CueRun>& runs, const TextLayoutParams& record, LineAlign align,
                  std::vector<RunCall>& calls);

}  // namespace textraster::tool
