#include "cue_placement.h"

#include <algorithm>
#include <cmath>

namespace textraster::tool {
namespace {

// Where a picture of `size` starts along a frame's side of `frame`: `side` 0
// keeps it to the start, 1 centres it, 2 keeps it to the end.
int64_t Along(int side, std::optional<double> percent, uint32_t frame, uint32_t size, uint32_t margin) {
    if (percent) return std::llround(*percent * frame / 100.0) - int64_t(side) * size / 2;
    if (side == 0) return margin;
    if (side == 1) return (int64_t(frame) - size) / 2;
    return int64_t(frame) - size - margin;
}

int32_t Inside(int64_t at, uint32_t frame, uint32_t size, bool& fits) {
    if (size > frame) {
        fits = false;
        return 0;
    }
    return int32_t(std::clamp<int64_t>(at, 0, int64_t(frame) - size));
}

}  // namespace

int32_t RecordAlignment(LineAlign align, Direction direction) {
    const bool rtl = direction == Direction::RightToLeft;
    switch (align) {
        case LineAlign::Start: return TR_ALIGN_START;
        case LineAlign::Centre: return TR_ALIGN_CENTRE;
        case LineAlign::End: return TR_ALIGN_END;
        case LineAlign::Left: return rtl ? TR_ALIGN_END : TR_ALIGN_START;
        case LineAlign::Right: return rtl ? TR_ALIGN_START : TR_ALIGN_END;
    }
    return TR_ALIGN_CENTRE;
}

int32_t RecordWritingMode(Direction direction) {
    return direction == Direction::RightToLeft ? TR_WRITING_RIGHT_TO_LEFT : TR_WRITING_HORIZONTAL;
}

LineAlign KeypadAlign(int anchor) {
    const int side = (std::clamp(anchor, 1, 9) - 1) % 3;
    return side == 0 ? LineAlign::Left : side == 1 ? LineAlign::Centre : LineAlign::Right;
}

FramePoint PlaceOnFrame(const CuePlacement& placement, uint32_t frameWidth, uint32_t frameHeight, uint32_t width,
                        uint32_t height, uint32_t margin, uint32_t linePitch) {
    const int anchor = std::clamp(placement.anchor, 1, 9);
    const int across = (anchor - 1) % 3, down = anchor >= 7 ? 0 : anchor >= 4 ? 1 : 2;
    FramePoint p;
    p.x = Inside(Along(across, placement.xPercent, frameWidth, width, margin), frameWidth, width, p.fits);
    p.y =
        Inside(Along(down, placement.yPercent, frameHeight, height, margin) + int64_t(placement.lineShift) * linePitch,
               frameHeight, height, p.fits);
    return p;
}

}  // namespace textraster::tool
