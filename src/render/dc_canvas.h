// Line layout's measuring and drawing, backed by a device context with the
// layout font selected.
#pragma once

#include "platform/gdi.h"
#include "text/line_canvas.h"

namespace textraster {

class DcCanvas final : public LineCanvas {
public:
    explicit DcCanvas(HDC dc) : dc_(dc) {}

    int32_t Extent(const TextChar* start, uint32_t count) override {
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
    HDC dc_;
};

}  // namespace textraster
