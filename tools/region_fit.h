// --fit: the region made exactly as large as the text needs, as
// ComputeTextRegionSize measures it, and the buffer just large enough to hold
// it with a border around it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cue_lines.h"
#include "textraster.h"
#include "utf.h"

namespace textraster::tool {

// The lines the text takes under the record: ComputeTextRegionSize's block
// size at a line pitch of 1, which no 16-bit product can wrap. Returns the
// library's result code.
int32_t CountLines(const Text& text, TextLayoutParams record, const Text& face, uint16_t& lines);

// Whether a line of the text, unwrapped, is longer than the 65535 pixels a
// 16-bit extent holds: it breaks when wrapped at that length. Returns the
// library's result code.
int32_t HasOverlongLine(const Text& text, TextLayoutParams record, const Text& face, bool& overlong);

// How the line length of a fitted region is chosen.
enum class LineLength {
    // Lines break only where the text breaks them; the region is as long as
    // the longest line.
    Free,
    // The record's line length stays, and only the other side is fitted.
    Kept,
    // Lines wrap at the record's line length, and the region is as long as
    // the longest line then needs.
    AtMost,
};

// Sets the record's region to the text's size and its buffer to the region
// with `border` pixels on each side (the region at destX = destY = border).
// The line length (the width; the height for vertical columns) as `length`
// says: for one line the extent the library measures aligned to the start
// (the only case it reports tight), for several the shortest line length at
// which the text takes no more lines. A Free line longer than a region can
// be is split (said in `warning`), and the region is then as long as a region
// can be, without measuring more. False with a message in `error` when there
// is nothing to lay out or the size cannot be described.
bool FitRegion(const Text& text, TextLayoutParams& record, const Text& face, LineLength length, uint16_t border,
               std::string& error, std::string& warning);

// The same for a cue's runs (cue_lines.h), stacked as cue_layout.h stacks
// them: the region as long as the longest run needs, its block the runs'
// blocks one below the other. Each run is measured in its direction, or in
// `writingMode` when that is not 0.
bool FitRuns(const std::vector<CueRun>& runs, int32_t writingMode, TextLayoutParams& record, const Text& face,
             LineLength length, uint16_t border, std::string& error, std::string& warning);

}  // namespace textraster::tool
