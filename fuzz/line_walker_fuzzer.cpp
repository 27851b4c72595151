// The two line walks, MeasureLines and DrawLines, over arbitrary texts,
// record fields and measurers.
//
// Input: writingMode, alignment (int8 each), firstLineIndent (int16),
// wordWrap, leadingSpaceMode, linePitch, fontHeight (uint8 each),
// regionWidth, regionHeight (uint16 each), blockStartOffset (int16), the
// measurer's kind (uint8) and its 16 table bytes, then the text as UTF-16LE.
//
// The measurer answers from the input and always the same for the same run
// (both walks must see one font): kind 0 adds unsigned per-character widths,
// 1 signed ones, 2 and 3 answer anything for each run, extremes included.
// Checks:
// - every walk ends within a fixed number of measurements;
// - every run measured or drawn lies inside the text;
// - DrawLines draws the lines MeasureLines counts and reports the same last
//   extent, unless counting gave up or the bottom edge stopped the drawing;
// - with widths that only add up, measuring stays linear in the text.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "text/draw_lines.h"
#include "text/measure_lines.h"

using namespace textraster;

namespace {

struct Run {
    const TextChar* start;
    uint32_t count;
};

class FuzzCanvas final : public LineCanvas {
   public:
    FuzzCanvas(const fuzz::HeapText& text, uint8_t kind, const uint8_t (&table)[16])
        : text_(text), kind_(kind % 4), table_(table), prefix_(text.length() + 1, 0) {
        // Additive widths as prefix sums, so that a measurement costs the
        // same whatever the run's length and a runaway walk is caught quickly.
        for (size_t i = 0; i < text.length(); ++i) prefix_[i + 1] = prefix_[i] + Width(text.get()[i]);
        const int64_t n = int64_t(text.length());
        // Far beyond what a terminating walk needs (at most 2n + 2 lines, each
        // examining at most n + 1 characters), for both walks and the extents.
        limit_ = 4 * (2 * n + 3) * (n + 2) + 64;
    }

    int32_t Extent(const TextChar* start, uint32_t count) override {
        FUZZ_CHECK(start >= text_.get() && count > 0 && start + count <= text_.end());
        FUZZ_CHECK(++calls <= limit_);  // a walk that does not end
        const size_t offset = size_t(start - text_.get());
        switch (kind_) {
            case 0:
            case 1: return int32_t(prefix_[offset + count] - prefix_[offset]);
            case 2: {
                const uint8_t v = table_[(offset * 7 + count) % 16];
                return (int32_t(v) - 96) * int32_t(1 + table_[(offset + 3 * count) % 16] % 4);
            }
            default: {
                static const int32_t kExtremes[] = {INT32_MIN, INT32_MIN + 1, -1,       0, 1, 32767, 32768, 65535,
                                                    65536,     INT32_MAX - 1, INT32_MAX};
                const uint8_t v = table_[(offset * 5 + count * 11) % 16];
                return v < 176 ? int32_t(v) : kExtremes[v % 11];
            }
        }
    }
    uint32_t GetAlign() override { return align_; }
    void SetAlign(uint32_t flags) override { align_ = flags; }
    void DrawRun(int32_t, int32_t, const TextChar* start, uint32_t count) override {
        FUZZ_CHECK(start >= text_.get() && start + count <= text_.end());
        runs.push_back({start, count});
    }

    int64_t calls = 0;
    std::vector<Run> runs;

   private:
    int64_t Width(TextChar c) const {
        const uint8_t w = table_[c % 16];
        return kind_ == 1 ? int64_t(int8_t(w)) : int64_t(w);
    }

    const fuzz::HeapText& text_;
    const uint8_t kind_;
    const uint8_t (&table_)[16];
    std::vector<int64_t> prefix_;
    int64_t limit_;
    uint32_t align_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    TextLayoutParams p{};
    p.size = int16_t(sizeof p);
    p.writingMode = input.I8();
    p.alignment = input.I8();
    p.firstLineIndent = input.I16();
    p.wordWrap = input.U8();
    p.leadingSpaceMode = input.U8();
    p.linePitch = input.U8();
    p.fontHeight = input.U8();
    p.regionWidth = input.U16();
    p.regionHeight = input.U16();
    p.blockStartOffset = input.I16();
    const uint8_t kind = input.U8();
    uint8_t table[16];
    for (uint8_t& entry : table) entry = input.U8();
    const fuzz::HeapText text(input.RestAsUnits());
    const int64_t n = int64_t(text.length());

    const bool vertical = p.writingMode == 3;
    const bool horizontal = p.writingMode == 1 || p.writingMode == 2;
    const uint16_t lineLength = vertical ? p.regionHeight : p.regionWidth;

    constexpr uint16_t kUnwritten = 0xBEEF;
    FuzzCanvas measured(text, kind, table);
    uint16_t lines = 0, extent = kUnwritten;
    MeasureLines(text.get(), measured, lineLength, p.alignment, p.firstLineIndent, p.wordWrap, p.leadingSpaceMode,
                 &lines, &extent);
    FuzzCanvas drawn(text, kind, table);
    uint8_t pitch = 0;
    uint16_t lastExtent = kUnwritten;
    DrawLines(text.get(), drawn, p, &pitch, &lastExtent);
    FUZZ_CHECK(pitch == p.linePitch || pitch == p.fontHeight);
    FUZZ_CHECK(!drawn.runs.empty());  // the final run is drawn even when empty

    const int64_t runs = int64_t(drawn.runs.size());
    if (kind % 4 == 0) {
        // One measurement per examined character; a character is examined
        // again only on the line after a break. Counting adds one
        // measurement per line it ends, drawing its own count and one per
        // line. Counting that gives up reports no lines, though it measured
        // each line it ended before: at most 2n + 2 of them, as the walk ends
        // a line only where that moves it on.
        const int64_t countedLines = lines > 0 ? lines : 2 * n + 2;
        FUZZ_CHECK(measured.calls <= 3 * n + std::max<int64_t>(countedLines, runs) + 1);
        FUZZ_CHECK(drawn.calls <= 6 * n + runs + 2);
    }

    if (!horizontal && !vertical && p.wordWrap) {
        // No line direction: nothing fits, nothing is drawn.
        for (const Run& run : drawn.runs) FUZZ_CHECK(run.count == 0);
        return 0;
    }
    if (lines == 0 && extent != kUnwritten) {
        FUZZ_CHECK(extent == 0);  // counting gave up: the text cannot be laid out
        return 0;
    }
    // Only the final run reaches the end of the text; without it the bottom
    // edge stopped the drawing, which only horizontal lines have.
    const Run& last = drawn.runs.back();
    if (last.start + last.count != text.end()) {
        FUZZ_CHECK(horizontal && runs <= lines);
        return 0;
    }
    // Every run but the final one is a line; the final one is when it measures
    // more than nothing, as counting decides.
    FuzzCanvas probe(text, kind, table);
    const int32_t finalExtent = last.count > 0 ? probe.Extent(last.start, last.count) : 0;
    FUZZ_CHECK(runs - (finalExtent <= 0 ? 1 : 0) == lines);
    // Drawing reports a final run with characters even when it measures
    // nothing; counting reports only lines it counts.
    if (last.count == 0 || finalExtent > 0) FUZZ_CHECK(lastExtent == extent);
    return 0;
}
