// A cue as a subtitle file gives it: its times, its text without markup, the
// style its tags give, and where it goes on the frame.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cue_markup.h"
#include "cue_placement.h"
#include "utf.h"

namespace textraster::tool {

struct Cue {
    int number = 0;                // as written when it grows; otherwise one more than the previous cue's
    int64_t start = -1, end = -1;  // milliseconds; -1 when the timing line does not say
    Text text;                     // without markup; lines end with LF
    CueStyle style;
    CuePlacement placement;          // the bottom centre unless the file says
    std::optional<LineAlign> align;  // how the lines line up when the file says; else --align
    // WebVTT's: the line length as a share of the frame's side (size:N%),
    // and vertical columns (vertical:rl, writing mode 3; 0 when not said).
    std::optional<double> sizePercent;
    int32_t writingMode = 0;
};

}  // namespace textraster::tool
