#include "render/drawn_rows.h"

#include <algorithm>

namespace textraster {

DrawnRows::DrawnRows(HDC dc, bool collect) : dc_(dc) {
    collecting_ = collect && dc && SetBoundsRect(dc, nullptr, DCB_ENABLE | DCB_RESET) != 0;
}

RowSpan DrawnRows::Rows(int32_t height) const {
    const RowSpan all{0, height};
    if (!collecting_) return all;
    RECT bounds{};
    const UINT state = GetBoundsRect(dc_, &bounds, 0);
    // DCB_SET holds both bits of DCB_RESET and DCB_ACCUMULATE: the bounds hold
    // something. DCB_RESET alone: nothing was drawn. Anything else (0 is a
    // failure): the bounds are not known.
    if ((state & DCB_SET) == DCB_SET) {
        const int32_t first = std::clamp<int32_t>(bounds.top, 0, height);
        return RowSpan{first, std::clamp<int32_t>(bounds.bottom, first, height)};
    }
    if (state & DCB_RESET) return RowSpan{};
    return all;
}

}  // namespace textraster
