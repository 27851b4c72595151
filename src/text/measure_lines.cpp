#include "text/measure_lines.h"

#include "text/line_walker.h"

namespace textraster {
namespace {

class LineCounter final : public LineSink {
   public:
    LineCounter(RunMeasurer& measurer, uint16_t* lineCount, uint16_t* lineExtent)
        : measurer_(measurer), lineCount_(lineCount), lineExtent_(lineExtent) {}

    // Counting gives up at once when the first character of a text, or of the
    // line after an automatic break, does not fit: breaking before it would
    // only repeat the same empty line.
    bool GivesUpOnFreshOverflow() const override { return true; }

    bool EndLine(const TextChar* start, uint32_t count, bool, bool) override {
        ++*lineCount_;
        if (lineExtent_) *lineExtent_ = uint16_t(RunExtent(measurer_, start, count));
        return true;
    }

    // A last line that is empty, or whose characters measure nothing, is no line.
    void EndText(const TextChar* start, uint32_t count, bool) override {
        const int32_t extent = RunExtent(measurer_, start, count);
        if (extent <= 0) return;
        ++*lineCount_;
        if (lineExtent_) *lineExtent_ = uint16_t(extent);
    }

   private:
    RunMeasurer& measurer_;
    uint16_t* lineCount_;
    uint16_t* lineExtent_;
};

}  // namespace

void MeasureLines(const TextChar* text, RunMeasurer& measurer, uint16_t lineLength, int32_t alignment,
                  int16_t firstLineIndent, int32_t wordWrap, int32_t leadingSpaceMode, uint16_t* lineCount,
                  uint16_t* lineExtent) {
    const LineRules rules = MakeLineRules(lineLength, alignment, firstLineIndent, wordWrap, leadingSpaceMode);
    *lineCount = 0;
    LineCounter counter(measurer, lineCount, lineExtent);
    // The walk gives up on a fresh line's first character that does not fit,
    // and on any character that does not fit on a line of its own (which would
    // otherwise end an empty line and then meet the same character fresh).
    if (WalkLines(text, measurer, rules, counter) == WalkEnd::kGaveUp) {
        *lineCount = 0;
        if (lineExtent) *lineExtent = 0;
    }
}

}  // namespace textraster
