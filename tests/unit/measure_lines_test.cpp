#include "text/measure_lines.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fixed_width_canvas.h"

namespace textraster {
namespace {

using test::FixedWidthCanvas;
using test::Show;
using test::T;
using test::Text;

constexpr int32_t kUnwritten = -1;
constexpr uint16_t kSentinel = 0xBEEF;

struct MeasureCase {
    std::u16string text;
    uint16_t lineLength;
    int32_t alignment;
    int16_t indent;
    int32_t wordWrap;
    int32_t leadingSpaceMode;
    uint16_t lines;
    int32_t extent;  // the last line's, or kUnwritten
};

// Letters and the space are 10 px, W 100 px, the zero-width space 0 px.
// Columns: text, line length, alignment, indent, wordWrap, leadingSpaceMode; lines, extent.
const MeasureCase kCases[] = {
    {u"", 100, 1, 0, 1, 0, 0, kUnwritten},
    // Forced breaks: an empty line between two, none after the last.
    {u"a\n", 100, 1, 0, 1, 0, 1, 10},
    {u"a\n\nb", 100, 1, 0, 1, 0, 3, 10},
    {u"\n", 100, 1, 0, 1, 0, 1, 0},
    {u"ab\n ", 100, 1, 0, 1, 0, 1, 20},
    {u"ab\u2028cd", 100, 1, 0, 1, 0, 2, 20},
    {u"ab\u2029cd", 100, 1, 0, 1, 0, 2, 20},
    // White space at the start of the text, and after a break whatever the mode.
    {u"   ", 100, 1, 0, 1, 0, 0, kUnwritten},
    {u"   ", 100, 1, 0, 1, 1, 1, 30},
    {u"  ab\n  cd", 100, 1, 0, 1, 1, 2, 20},
    {u"  ab", 100, 1, 0, 1, 1, 1, 40},
    // A last line whose characters measure nothing is no line.
    {u"\u200B", 100, 1, 0, 1, 1, 0, kUnwritten},
    // Wrapping at the latest opportunity; white space before it stays on the line.
    {u"hello world", 65, 1, 0, 1, 0, 2, 50},
    {u"hello world", 65, 1, 0, 0, 0, 1, 110},
    {u"hello  world", 65, 1, 0, 1, 0, 2, 50},
    {u"hello  world x", 65, 1, 0, 1, 0, 3, 10},
    // Every ideograph is an opportunity, the one that overflows included.
    {u"\u4E00\u4E8C\u4E09\u56DB\u4E94\u516D", 35, 1, 0, 1, 0, 2, 30},
    // Nothing fits on a fresh line: the text cannot be laid out.
    {u"abW", 90, 1, 0, 1, 0, 0, 0},
    {u"abW", 100, 1, 0, 1, 0, 2, 100},
    {u"ab", 50, 1, 45, 1, 0, 0, 0},
    {u" ab", 50, 1, 45, 1, 0, 2, 20},
    // ... and a character too long for any line, wherever it starts one.
    {u"a\nW", 90, 1, 0, 1, 0, 0, 0},
    {u"ab W cd", 50, 1, 0, 1, 0, 0, 0},
    {u"\u4E00", 5, 1, 0, 1, 0, 0, 0},
    // First-line indent: a word that only the indent made too long.
    {u"abcd efgh", 50, 1, 30, 1, 1, 3, 40},
    {u"abcd efgh", 50, 1, 30, 1, 0, 3, 40},
    {u"abcde fg", 50, 1, 10, 1, 1, 3, 20},
    {u"abcdefgh", 50, 1, -30, 1, 0, 1, 80},
    {u"ab", 50, 2, 45, 1, 0, 1, 20},
    {u"ab", 50, 3, 45, 1, 0, 1, 20},
    // An opportunity at the line start with none after it: the line breaks
    // before the character that overflows, the text flows on.
    {u"\u6F22abcdefgh", 50, 1, 0, 1, 0, 2, 40},
    {u"\u6F22abcdefgh", 50, 1, 0, 1, 1, 2, 40},
    // ... unless the first line's indent is what made it overflow.
    {u"\u6F22abc", 50, 1, 30, 1, 0, 2, 40},
    // Extents are reported in 16 bits.
    {std::u16string(700, u'W'), 100, 1, 0, 0, 0, 1, 70000 & 0xFFFF},
};

TEST(MeasureLines, CountsLinesAndTheLastExtent) {
    for (const MeasureCase& k : kCases) {
        const Text text = T(k.text);
        SCOPED_TRACE(testing::Message() << '"' << Show(text) << "\" length " << k.lineLength << " alignment "
                                        << k.alignment << " indent " << k.indent << " wrap " << k.wordWrap
                                        << " leading " << k.leadingSpaceMode);
        FixedWidthCanvas canvas;
        uint16_t lines = 0x7777;
        uint16_t extent = kSentinel;
        MeasureLines(text.c_str(), canvas, k.lineLength, k.alignment, k.indent, k.wordWrap, k.leadingSpaceMode, &lines,
                     &extent);
        EXPECT_EQ(lines, k.lines);
        EXPECT_EQ(extent, k.extent == kUnwritten ? kSentinel : k.extent);

        // Without an extent output the count is the same on every path.
        uint16_t linesAlone = 0x7777;
        MeasureLines(text.c_str(), canvas, k.lineLength, k.alignment, k.indent, k.wordWrap, k.leadingSpaceMode,
                     &linesAlone, nullptr);
        EXPECT_EQ(linesAlone, k.lines);
    }
}

}  // namespace
}  // namespace textraster
