// A cue's lines, each reading in its own direction: a bilingual cue (a Hebrew
// line above its English translation) reads right to left in its first line
// and left to right in its second, as each line is its own paragraph to the
// Unicode bidirectional algorithm. The library draws one direction per call,
// so consecutive lines that read the same way are grouped into runs, each
// drawn by its own call.
#pragma once

#include <vector>

#include "reading_direction.h"
#include "utf.h"

namespace textraster::tool {

struct CueRun {
    Text text;                                     // whole lines joined by LF
    Direction direction = Direction::LeftToRight;  // never Neutral
    size_t lines = 0;                              // how many of the cue's lines
};

// The cue's lines (split at LF) in runs. A line takes the direction of its
// first strong letter; a line without one (digits, "...", an empty line) the
// direction of the line before it, and at the start of the cue that of the
// first line that has one (left to right when none has).
std::vector<CueRun> DirectionRuns(const Text& cue);

}  // namespace textraster::tool
