// Properties of the two walks over arbitrary texts: DrawLines draws the lines
// that MeasureLines counts, and no walk runs away.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "support/fixed_width_canvas.h"
#include "text/draw_lines.h"
#include "text/line_walker.h"
#include "text/measure_lines.h"

namespace textraster {
namespace {

using test::FixedWidthCanvas;
using test::Show;
using test::Text;

constexpr uint16_t kSentinel = 0xBEEF;

// Letters weigh most; then spaces, line breaks of both kinds, ideographs and W.
Text RandomText(std::mt19937& rng) {
    static const char16_t kAlphabet[] = u"aaaaaabbbbcc     \n\n\u2028\u6F22\u6F22\u4E00WW";
    const uint32_t choices = sizeof kAlphabet / sizeof kAlphabet[0] - 1;
    Text text(rng() % 60, u'a');
    for (TextChar& c : text) c = kAlphabet[rng() % choices];
    return text;
}

int32_t Pick(std::mt19937& rng, int32_t low, int32_t high) {
    return low + int32_t(rng() % uint32_t(high - low + 1));
}

TEST(LineWalks, DrawLinesDrawsTheLinesMeasureLinesCounts) {
    std::mt19937 rng(20240611);
    int compared = 0, gaveUp = 0;
    double worstCallsPerCharacter = 0;
    for (int i = 0; i < 20000; ++i) {
        const Text text = RandomText(rng);
        static const int32_t kModes[] = {1, 1, 2, 3, 3, 0, 4};
        TextLayoutParams p{};
        p.writingMode = kModes[rng() % 7];
        p.alignment = Pick(rng, 0, 3);
        p.firstLineIndent = int16_t(Pick(rng, -40, 60));
        p.wordWrap = rng() % 5 != 0;
        p.leadingSpaceMode = Pick(rng, 0, 1);
        p.linePitch = p.fontHeight = uint8_t(Pick(rng, 1, 3));
        // The line length, and room enough across the lines that the bottom
        // edge never stops the drawing.
        const uint16_t lineLength = uint16_t(Pick(rng, 0, 300));
        p.regionWidth = p.writingMode == 3 ? 60000 : lineLength;
        p.regionHeight = p.writingMode == 3 ? lineLength : 60000;
        SCOPED_TRACE(testing::Message() << '"' << Show(text) << "\" mode " << p.writingMode << " alignment "
                                        << p.alignment << " indent " << p.firstLineIndent << " wrap " << p.wordWrap
                                        << " leading " << p.leadingSpaceMode << " length " << lineLength);

        FixedWidthCanvas measured;
        uint16_t lines = 0, extent = kSentinel;
        MeasureLines(text.c_str(), measured, lineLength, p.alignment, p.firstLineIndent, p.wordWrap, p.leadingSpaceMode,
                     &lines, &extent);
        FixedWidthCanvas drawn;
        uint16_t lastExtent = kSentinel;
        DrawLines(text.c_str(), drawn, p, nullptr, &lastExtent);

        // Each examined character costs one measurement when wrapping; a
        // character is examined again only on the line after a break. Drawing
        // adds the pre-count and one measurement per line.
        const int n = int(text.size());
        const int runs = int(drawn.runs.size());
        // Counting that gives up reports no lines, though it measured each
        // line it ended before (at most 2n + 2).
        const int countedLines = lines > 0 ? lines : 2 * n + 2;
        ASSERT_LE(measured.extentCalls, 3 * n + countedLines + 1);
        ASSERT_LE(drawn.extentCalls, 6 * n + runs + 2);
        if (!p.wordWrap) {
            // Only forced breaks: nothing measured but the lines' extents.
            ASSERT_LE(measured.extentCalls, lines + 1);
            ASSERT_LE(drawn.extentCalls, 2 * runs + 2);
        }
        worstCallsPerCharacter = std::max(worstCallsPerCharacter, double(drawn.extentCalls) / std::max(n, 1));

        const bool knownMode = p.writingMode >= 1 && p.writingMode <= 3;
        if (!knownMode && p.wordWrap) {
            // No line direction: nothing can fit, nothing is drawn.
            for (const auto& run : drawn.runs) ASSERT_TRUE(run.text.empty());
            continue;
        }
        if (lines == 0 && extent == 0) {
            // Counting gave up on a character that does not fit where it starts a line.
            ++gaveUp;
            continue;
        }
        // Every run but the final one is a line; the final run is one when it has characters.
        ++compared;
        ASSERT_FALSE(drawn.runs.empty());
        const int drawnLines = runs - (drawn.runs.back().text.empty() ? 1 : 0);
        ASSERT_EQ(drawnLines, lines);
        ASSERT_EQ(lastExtent, extent);
    }
    // The property held on most texts, and the give-up path was met too.
    EXPECT_GT(compared, 12000);
    EXPECT_GT(gaveUp, 500);
    std::cout << "compared " << compared << ", gave up " << gaveUp << ", worst measurements per character "
              << worstCallsPerCharacter << '\n';
}

// A measurer that answers anything at all, as a broken font might.
class RandomMeasurer final : public RunMeasurer {
   public:
    explicit RandomMeasurer(uint32_t seed) : rng_(seed) {}
    int32_t Extent(const TextChar*, uint32_t) override {
        ++calls;
        switch (rng_() % 4) {
            case 0: return int32_t(rng_());  // any 32-bit value, the extremes included
            default: return Pick(rng_, -20, 120);
        }
    }
    int calls = 0;

   private:
    std::mt19937 rng_;
};

class CountingSink final : public LineSink {
   public:
    explicit CountingSink(bool givesUp) : givesUp_(givesUp) {}
    bool GivesUpOnFreshOverflow() const override { return givesUp_; }
    bool EndLine(const TextChar*, uint32_t, bool, bool) override { return ++lines, true; }
    void EndText(const TextChar*, uint32_t, bool) override {}
    int lines = 0;

   private:
    bool givesUp_;
};

TEST(LineWalks, EndWhateverTheMeasurerAnswers) {
    std::mt19937 rng(7);
    for (int i = 0; i < 5000; ++i) {
        const Text text = RandomText(rng);
        LineRules rules{Pick(rng, 0, 100), true, rng() % 8 == 0, Pick(rng, -40, 40), rng() % 2 == 0};
        RandomMeasurer measurer{uint32_t(rng())};
        CountingSink sink(rng() % 2 == 0);
        WalkLines(text.c_str(), measurer, rules, sink);
        // Each line start is reached at most twice (once more for white space
        // to drop or the first line's indent), and each line examines at most
        // every character once.
        const int n = int(text.size());
        ASSERT_LE(sink.lines, 2 * n + 2) << Show(text);
        ASSERT_LE(measurer.calls, (sink.lines + 1) * (n + 1)) << Show(text);
    }
}

}  // namespace
}  // namespace textraster
