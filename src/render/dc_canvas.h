// Line layout's measuring and drawing, backed by a device context with the
// layout font selected.
#pragma once

#include <algorithm>

#include "platform/gdi.h"
#include "render/measured_runs.h"
#include "render/prefix_extents.h"
#include "text/char_class.h"
#include "text/line_canvas.h"

namespace textraster {

// Measures and draws runs of one NUL-terminated text. Contexts that share
// `measured` must carry the same font: a run measured on one is not measured
// again on another. Without `measured`, every extent is asked of the
// context when line layout asks for it.
class DcCanvas final : public LineCanvas {
   public:
    DcCanvas(HDC dc, MeasuredRuns* measured) : dc_(dc), measured_(measured) {}

    int32_t Extent(const TextChar* start, uint32_t count) override {
        if (!measured_) return MeasureRun(start, count);
        int32_t extent = 0;
        if (measured_->Find(start, count, extent)) return extent;
        extent = MeasureRun(start, count);
        measured_->Remember(start, count, extent);
        return extent;
    }
    int32_t PrefixExtent(const TextChar* start, uint32_t count, int32_t limit) override {
        if (!measured_) return MeasureRun(start, count);
        int32_t extent = 0;
        if (measured_->Find(start, count, extent)) return extent;
        if (start != aheadStart_ || count > aheadCount_) {
            Ahead(start, count, limit);
            if (measured_->Find(start, count, extent)) return extent;
        }
        extent = MeasureRun(start, count);
        measured_->Remember(start, count, extent);
        return extent;
    }
    uint32_t GetAlign() override { return GetTextAlign(dc_); }
    void SetAlign(uint32_t flags) override { SetTextAlign(dc_, flags); }
    void DrawRun(int32_t x, int32_t y, const TextChar* start, uint32_t count) override {
        TextOutW(dc_, x, y, start, int(count));
    }

   private:
    // A failed measurement counts as an extent of 0.
    int32_t MeasureRun(const TextChar* start, uint32_t count) {
        SIZE size{};
        GetTextExtentPoint32W(dc_, start, int(count), &size);
        return size.cx;
    }

    // Measures the prefixes of the line from `start` well beyond the one
    // asked for, up to the next forced break, in one call
    // (render/prefix_extents.h). Four times the length each time a line
    // outgrows what was measured keeps the work in proportion to the line's
    // length.
    void Ahead(const TextChar* start, uint32_t count, int32_t limit) {
        const uint32_t wanted = std::max(count > UINT32_MAX / 4 ? UINT32_MAX : 4 * count, kFirstAhead);
        uint32_t ahead = count;
        while (ahead < wanted && start[ahead] && !IsForcedBreak(start[ahead])) ++ahead;
        MeasurePrefixes(dc_, start, ahead, count, limit, *measured_);
        aheadStart_ = start;
        aheadCount_ = ahead;
    }

    // A line's first measurement asks for this many characters at least:
    // most lines hold fewer.
    static constexpr uint32_t kFirstAhead = 256;

    HDC dc_;
    MeasuredRuns* measured_;
    const TextChar* aheadStart_ = nullptr;
    uint32_t aheadCount_ = 0;
};

}  // namespace textraster
