// A canvas for the line walks with fixed character widths, which records what
// is drawn: W is 100 px, '.' 1 px, the zero-width space 0 px and every other
// character (letters, spaces, ideographs) 10 px.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "support/test_text.h"
#include "text/line_canvas.h"

namespace textraster::test {

struct DrawnRun {
    int32_t x;
    int32_t y;
    Text text;

    bool operator==(const DrawnRun& o) const { return x == o.x && y == o.y && text == o.text; }
};

inline std::ostream& operator<<(std::ostream& out, const DrawnRun& run) {
    return out << '(' << run.x << ", " << run.y << ", \"" << Show(run.text) << "\")";
}

class FixedWidthCanvas final : public LineCanvas {
   public:
    static int32_t Width(TextChar c) {
        switch (c) {
            case u'W': return 100;
            case u'.': return 1;
            case 0x200B: return 0;
            default: return 10;
        }
    }

    int32_t Extent(const TextChar* start, uint32_t count) override {
        ++extentCalls;
        int32_t extent = 0;
        for (uint32_t i = 0; i < count; ++i) extent += Width(start[i]);
        return extent;
    }

    uint32_t GetAlign() override {
        ++getAlignCalls;
        return align;
    }

    void SetAlign(uint32_t flags) override {
        ++setAlignCalls;
        alignSetBeforeDrawing = runs.empty();
        align = flags;
    }

    void DrawRun(int32_t x, int32_t y, const TextChar* start, uint32_t count) override {
        runs.push_back({x, y, Text(start, count)});
    }

    // The flags the canvas holds; set it to what a context starts with.
    uint32_t align = 0;
    int getAlignCalls = 0;
    int setAlignCalls = 0;
    bool alignSetBeforeDrawing = false;
    int extentCalls = 0;
    std::vector<DrawnRun> runs;
};

}  // namespace textraster::test
