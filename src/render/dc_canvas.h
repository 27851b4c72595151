// Line layout's measuring and drawing, backed by a device context with the
// layout font selected.
#pragma once

#include <algorithm>

#include "platform/gdi.h"
#include "text/char_class.h"
#include "text/line_canvas.h"

namespace textraster {

// Measures and draws runs of one NUL-terminated text.
class DcCanvas final : public LineCanvas {
public:
    explicit DcCanvas(HDC dc) : dc_(dc) {}

    int32_t Extent(const TextChar* start, uint32_t count) override {
        if (start != aheadStart_ || count > aheadCount_) MeasureAhead(start, count);
        // A failed measurement counts as an extent of 0.
        SIZE size{};
        GetTextExtentPoint32W(dc_, start, int(count), &size);
        return size.cx;
    }
    uint32_t GetAlign() override { return GetTextAlign(dc_); }
    void SetAlign(uint32_t flags) override { SetTextAlign(dc_, flags); }
    void DrawRun(int32_t x, int32_t y, const TextChar* start, uint32_t count) override {
        TextOutW(dc_, x, y, start, int(count));
    }

private:
    // Line layout measures a line from its start one character longer each
    // time. Measuring well beyond the run first, up to the next forced break,
    // lets a platform that keeps the shaping of the runs it measured answer
    // the coming runs from it (the portable layer does); the result itself
    // is not needed. Measuring twice the length each time keeps the work in
    // proportion to the line's length.
    void MeasureAhead(const TextChar* start, uint32_t count) {
        const uint32_t wanted = std::max(2 * count, kFirstAhead);
        uint32_t ahead = count;
        while (ahead < wanted && start[ahead] && !IsForcedBreak(start[ahead])) ++ahead;
        if (ahead > count) {
            SIZE ignored{};
            GetTextExtentPoint32W(dc_, start, int(ahead), &ignored);
        }
        aheadStart_ = start;
        aheadCount_ = ahead;
    }

    static constexpr uint32_t kFirstAhead = 256;

    HDC dc_;
    const TextChar* aheadStart_ = nullptr;
    uint32_t aheadCount_ = 0;
};

}  // namespace textraster
