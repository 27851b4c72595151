// The scan lines a surface's drawing may have changed, so that only those
// are read back: a new bitmap is all zero, and stays so wherever nothing was
// drawn.
#pragma once

#include <cstdint>

#include "platform/gdi.h"

namespace textraster {

// Rows [first, end), counted from the top of the surface.
struct RowSpan {
    int32_t first = 0, end = 0;
};

// The system keeps, when asked, the bounds of everything the drawing calls on
// a context change (SetBoundsRect, GetBoundsRect: the bounds meant for
// knowing what a bitmap cache must redo); the portable layer reports the
// rows its bitmap may have been drawn on.
class DrawnRows {
   public:
    // Starts collecting the bounds of what is drawn on `dc` from now on;
    // `collect` false: none, every row counts as drawn.
    DrawnRows(HDC dc, bool collect);
    // The rows of a surface `height` rows high that may have changed since:
    // all of them when the system keeps no bounds.
    RowSpan Rows(int32_t height) const;

   private:
    HDC dc_;
    bool collecting_ = false;
};

// The rows of both spans, and those between.
inline RowSpan Union(const RowSpan& a, const RowSpan& b) {
    if (a.first >= a.end) return b;
    if (b.first >= b.end) return a;
    return RowSpan{a.first < b.first ? a.first : b.first, a.end > b.end ? a.end : b.end};
}

}  // namespace textraster
