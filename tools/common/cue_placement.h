// Where a cue's picture goes on the video frame, and how its lines line up
// inside the picture. Positions are as the numeric keypad lies, as subtitle
// files give them ({\an1} bottom left ... {\an9} top right); WebVTT's
// percentages and line numbers are taken onto the same terms.
#pragma once

#include <cstdint>
#include <optional>

#include "reading_direction.h"
#include "textraster.h"

namespace textraster::tool {

// How a cue's lines line up: Start and End are sides of each line's reading
// direction, Left and Right sides of the picture.
enum class LineAlign { Start, Centre, End, Left, Right };

// The record's alignment (TR_ALIGN_*) for a line reading in `direction`.
int32_t RecordAlignment(LineAlign align, Direction direction);

// The record's writing mode for a horizontal line reading in `direction`.
int32_t RecordWritingMode(Direction direction);

// The horizontal part of a keypad position: 1, 4, 7 Left; 2, 5, 8 Centre;
// 3, 6, 9 Right.
LineAlign KeypadAlign(int anchor);

struct CuePlacement {
    // Which side of the picture keeps to which side of the frame, on the
    // keypad: 2 (the default) is the bottom centre.
    int anchor = 2;
    // A point of the frame in percent of its width or height, where the
    // picture's side that the anchor names lies, instead of the frame's side.
    std::optional<double> xPercent, yPercent;
    // Whole lines further down (positive) or up, at the cue's line pitch.
    int32_t lineShift = 0;
};

struct FramePoint {
    int32_t x = 0, y = 0;  // the picture's top left corner on the frame
    bool fits = true;      // false when the picture is larger than the frame
};

// The picture of `width` x `height` placed on a frame: against the frame's
// side with `margin` pixels between (centred without), or at the
// placement's point; kept inside the frame where it fits.
FramePoint PlaceOnFrame(const CuePlacement& placement, uint32_t frameWidth, uint32_t frameHeight, uint32_t width,
                        uint32_t height, uint32_t margin, uint32_t linePitch);

}  // namespace textraster::tool
