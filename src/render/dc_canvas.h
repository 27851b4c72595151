// Line layout's measuring and drawing, backed by a device context with the
// layout font selected.
#pragma once

#include <algorithm>

#include "platform/gdi.h"
#include "render/measured_runs.h"
#include "text/char_class.h"
#include "text/line_canvas.h"

namespace textraster {

// Measures and draws runs of one NUL-terminated text. Contexts that share
// `measured` must carry the same font: a run measured on one is not measured
// again on another.
class DcCanvas final : public LineCanvas {
   public:
    DcCanvas(HDC dc, MeasuredRuns& measured) : dc_(dc), measured_(measured) {}

    int32_t Extent(const TextChar* start, uint32_t count) override {
        int32_t extent = 0;
        if (measured_.Find(start, count, extent)) return extent;
        if (start != aheadStart_ || count > aheadCount_) MeasureAhead(start, count);
        // A failed measurement counts as an extent of 0.
        SIZE size{};
        GetTextExtentPoint32W(dc_, start, int(count), &size);
        measured_.Remember(start, count, size.cx);
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
    // the coming runs from it (the portable layer does); the result itself is
    // remembered like any other. Measuring four times the length each time a
    // line outgrows what was measured keeps the work in proportion to the
    // line's length.
    void MeasureAhead(const TextChar* start, uint32_t count) {
        const uint32_t wanted = std::max(4 * count, kFirstAhead);
        uint32_t ahead = count;
        while (ahead < wanted && start[ahead] && !IsForcedBreak(start[ahead])) ++ahead;
        if (ahead > count) {
            SIZE size{};
            GetTextExtentPoint32W(dc_, start, int(ahead), &size);
            measured_.Remember(start, ahead, size.cx);
        }
        aheadStart_ = start;
        aheadCount_ = ahead;
    }

    static constexpr uint32_t kFirstAhead = 256;

    HDC dc_;
    MeasuredRuns& measured_;
    const TextChar* aheadStart_ = nullptr;
    uint32_t aheadCount_ = 0;
};

}  // namespace textraster
