#include "text/draw_lines.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/fixed_width_canvas.h"
#include "support/request.h"

namespace textraster {
namespace {

using test::DrawnRun;
using test::FixedWidthCanvas;
using test::Show;
using test::T;
using test::Text;

constexpr int32_t kUnwritten = -1;
constexpr uint16_t kExtentSentinel = 0xBEEF;
constexpr uint8_t kPitchSentinel = 0xEE;

// A request with a 200 x 100 region, pitch and cell height 20, wrapping,
// horizontal, start-aligned; each case changes what it is about.
struct Layout {
    TextLayoutParams p = test::ValidRequest(nullptr, 20, 200, 100);
    Layout& Mode(int32_t v) { return p.writingMode = v, *this; }
    Layout& Align(int32_t v) { return p.alignment = v, *this; }
    Layout& Width(uint16_t v) { return p.regionWidth = v, *this; }
    Layout& Height(uint16_t v) { return p.regionHeight = v, *this; }
    Layout& Offset(int16_t v) { return p.blockStartOffset = v, *this; }
    Layout& Indent(int16_t v) { return p.firstLineIndent = v, *this; }
    Layout& Pitch(uint8_t linePitch, uint8_t fontHeight) {
        p.linePitch = linePitch;
        p.fontHeight = fontHeight;
        return *this;
    }
    Layout& Wrap(int32_t v) { return p.wordWrap = v, *this; }
    Layout& Leading(int32_t v) { return p.leadingSpaceMode = v, *this; }
};

struct DrawCase {
    const char* what;
    const char16_t* text;
    Layout layout;
    std::vector<DrawnRun> runs;
    uint32_t flags;  // set on a context whose flags were 0
    uint8_t pitch;
    int32_t lastExtent;  // or kUnwritten
};

DrawnRun Run(int32_t x, int32_t y, const char16_t* text) {
    return {x, y, T(text)};
}

// Columns: what, text, request; the runs drawn, the flags set on a context
// whose flags were 0, the pitch, the last line's extent.
// clang-format off
const DrawCase kCases[] = {
    // The final run is always drawn, and reported only when it has characters.
    {"empty text", u"", Layout(), {Run(0, 0, u"")}, 0, 20, kUnwritten},
    {"empty text below the region", u"", Layout().Offset(120).Pitch(20, 17),
     {Run(0, 120, u"")}, 0, 17, kUnwritten},
    {"empty column left of the region", u"", Layout().Mode(3).Offset(201).Pitch(20, 17),
     {Run(-1, 0, u"")}, 0, 17, kUnwritten},
    {"ends with LF", u"ab\n", Layout(), {Run(0, 0, u"ab"), Run(0, 20, u"")}, 0, 20, 20},
    {"empty line between LFs", u"a\n\nb", Layout().Offset(10),
     {Run(0, 10, u"a"), Run(0, 30, u""), Run(0, 50, u"b")}, 0, 20, 10},
    {"U+2028 breaks", u"ab\u2028cd", Layout(), {Run(0, 0, u"ab"), Run(0, 20, u"cd")}, 0, 20, 20},
    // Leading white space: kept at the text start on request, dropped after a break.
    {"leading space kept", u"  ab\n  cd", Layout().Leading(1),
     {Run(0, 0, u"  ab"), Run(0, 20, u"cd")}, 0, 20, 20},
    {"leading space dropped", u"  ab", Layout(), {Run(0, 0, u"ab")}, 0, 20, 20},
    {"space before the break stays", u"hello  world", Layout().Width(65),
     {Run(0, 0, u"hello "), Run(0, 20, u"world")}, 0, 20, 50},
    // Line pitch: the cell height when the counted lines overflow the block.
    {"pitch falls back", u"a\nb\nc\nd", Layout().Offset(10).Pitch(30, 17),
     {Run(0, 10, u"a"), Run(0, 27, u"b"), Run(0, 44, u"c"), Run(0, 61, u"d")}, 0, 17, 10},
    {"pitch just fits", u"a\nb\nc", Layout().Offset(10).Pitch(30, 17),
     {Run(0, 10, u"a"), Run(0, 40, u"b"), Run(0, 70, u"c")}, 0, 30, 10},
    {"column pitch falls back", u"a\nb", Layout().Mode(3).Width(50).Offset(10).Pitch(30, 17),
     {Run(40, 0, u"a"), Run(23, 0, u"b")}, 0, 17, 10},
    {"unknown mode keeps the pitch", u"a\nb\nc\nd\ne\nf", Layout().Mode(0).Wrap(0).Pitch(30, 17),
     {Run(0, 0, u"a"), Run(0, 0, u"b"), Run(0, 0, u"c"), Run(0, 0, u"d"), Run(0, 0, u"e"), Run(0, 0, u"f")},
     0, 30, 10},
    // The bottom edge stops drawing after automatic breaks only.
    {"bottom edge stops wrapping", u"aaaa bbbb cc", Layout().Width(45).Pitch(40, 40),
     {Run(0, 0, u"aaaa"), Run(0, 40, u"bbbb")}, 0, 40, 40},
    {"forced breaks cross the bottom edge", u"aaaa\nbbbb\ncc", Layout().Width(45).Pitch(40, 40),
     {Run(0, 0, u"aaaa"), Run(0, 40, u"bbbb"), Run(0, 80, u"cc")}, 0, 40, 20},
    // Horizontal reference points and flags.
    {"start", u"ab\ncd", Layout().Indent(12).Offset(5), {Run(12, 5, u"ab"), Run(0, 25, u"cd")}, 0, 20, 20},
    {"centre, odd width", u"ab", Layout().Align(2).Width(101).Indent(12), {Run(50, 0, u"ab")}, kAlignCenter, 20, 20},
    {"end", u"ab\ncd", Layout().Align(3).Indent(12), {Run(200, 0, u"ab"), Run(200, 20, u"cd")}, kAlignRight, 20, 20},
    {"unknown alignment", u"ab\ncd", Layout().Align(4).Indent(12), {Run(0, 0, u"ab"), Run(0, 20, u"cd")}, 0, 20, 20},
    {"right to left, start", u"ab\ncd", Layout().Mode(2).Indent(12),
     {Run(188, 0, u"ab"), Run(200, 20, u"cd")}, kAlignRight | kAlignRtlReading, 20, 20},
    {"right to left, centre", u"ab", Layout().Mode(2).Align(2).Width(101),
     {Run(50, 0, u"ab")}, kAlignCenter | kAlignRtlReading, 20, 20},
    {"right to left, end", u"ab", Layout().Mode(2).Align(3).Offset(7), {Run(0, 7, u"ab")}, kAlignRtlReading, 20, 20},
    {"right to left, unknown alignment", u"ab", Layout().Mode(2).Align(0),
     {Run(0, 0, u"ab")}, kAlignRtlReading, 20, 20},
    // Columns: x from the right edge, pitch by pitch leftward; y per column.
    {"column start", u"ab\ncd", Layout().Mode(3).Indent(7).Offset(10),
     {Run(190, 7, u"ab"), Run(170, 0, u"cd")}, 0, 20, 20},
    {"column centre", u"W.\nab", Layout().Mode(3).Align(2).Height(300).Offset(10),
     {Run(190, 99, u"W."), Run(170, 140, u"ab")}, 0, 20, 20},
    {"column centre truncates toward zero", u"W.a", Layout().Mode(3).Align(2).Wrap(0),
     {Run(200, -5, u"W.a")}, 0, 20, 111},
    {"column end", u"ab\nW", Layout().Mode(3).Align(3).Height(300).Indent(7),
     {Run(200, 280, u"ab"), Run(180, 200, u"W")}, 0, 20, 100},
    {"column, unknown alignment", u"ab\ncd", Layout().Mode(3).Align(0).Indent(7),
     {Run(200, 0, u"ab"), Run(180, 0, u"cd")}, 0, 20, 20},
    {"column wraps at the height", u"abcdefg", Layout().Mode(3).Width(40).Height(50),
     {Run(40, 0, u"abcde"), Run(20, 0, u"fg")}, 0, 20, 20},
    {"unknown mode without wrapping", u"ab\ncd", Layout().Mode(0).Wrap(0).Offset(10).Indent(5),
     {Run(0, 0, u"ab"), Run(0, 0, u"cd")}, 0, 20, 20},
    // First-line indent on a word that only the indent made too long.
    {"indented word moves whole", u"abcd efgh", Layout().Width(50).Indent(30).Leading(1),
     {Run(30, 0, u""), Run(0, 20, u"abcd"), Run(0, 40, u"efgh")}, 0, 20, 40},
    {"indented word breaks", u"abcd efgh", Layout().Width(50).Indent(30),
     {Run(30, 0, u"ab"), Run(0, 20, u"cd"), Run(0, 40, u"efgh")}, 0, 20, 40},
    {"indent pushes a lone character down", u"W", Layout().Width(100).Indent(10),
     {Run(10, 0, u""), Run(0, 20, u"W")}, 0, 20, 100},
    // An opportunity at the line start with none after it: broken before the
    // character that overflows.
    {"ideograph then a long word", u"\u6F22abcdefgh", Layout().Width(50),
     {Run(0, 0, u"\u6F22abcd"), Run(0, 20, u"efgh")}, 0, 20, 40},
    // A character that does not fit on a line of its own ends the drawing
    // after one empty line, whatever the mode and pitch.
    {"lone character too long", u"ab W cd", Layout().Width(50),
     {Run(0, 0, u"ab"), Run(0, 20, u"")}, 0, 20, 0},
    {"lone character too long, pitch 0", u"ab W cd", Layout().Width(50).Pitch(0, 0),
     {Run(0, 0, u"ab"), Run(0, 0, u"")}, 0, 0, 0},
    {"lone character too long, column", u"ab W cd", Layout().Mode(3).Height(50),
     {Run(200, 0, u"ab"), Run(180, 0, u"")}, 0, 20, 0},
    {"lone ideograph too long, column", u"\u4E00\u4E8C", Layout().Mode(3).Height(5), {Run(200, 0, u"")}, 0, 20, 0},
    {"unknown mode with wrapping", u"ab\ncd", Layout().Mode(4).Indent(5), {Run(0, 0, u"")}, 0, 20, 0},
    {"unknown mode with wrapping keeps leading space", u" ab", Layout().Mode(4).Leading(1),
     {Run(0, 0, u""), Run(0, 0, u"")}, 0, 20, 0},
};
// clang-format on

TEST(DrawLines, DrawsEveryLineAtItsPoint) {
    for (const DrawCase& k : kCases) {
        SCOPED_TRACE(k.what);
        const Text text = T(k.text);
        FixedWidthCanvas canvas;
        uint8_t pitch = kPitchSentinel;
        uint16_t extent = kExtentSentinel;
        DrawLines(text.c_str(), canvas, k.layout.p, &pitch, &extent);
        EXPECT_EQ(canvas.runs, k.runs);
        EXPECT_EQ(canvas.align, k.flags);
        EXPECT_EQ(canvas.getAlignCalls, 1);
        EXPECT_EQ(canvas.setAlignCalls, 1);
        EXPECT_TRUE(canvas.alignSetBeforeDrawing);
        EXPECT_EQ(pitch, k.pitch);
        EXPECT_EQ(extent, k.lastExtent == kUnwritten ? kExtentSentinel : k.lastExtent);

        // Without the outputs the same lines are drawn.
        FixedWidthCanvas alone;
        DrawLines(text.c_str(), alone, k.layout.p, nullptr, nullptr);
        EXPECT_EQ(alone.runs, k.runs);
    }
}

TEST(DrawLines, KeepsTheContextsOtherAlignmentBits) {
    // TA_UPDATECP | TA_BASELINE stay; the writing mode's bits are OR-ed in.
    const uint32_t initial = 1 | 24;
    const struct {
        int32_t writingMode, alignment;
        uint32_t flags;
    } cases[] = {
        {1, 1, initial},
        {1, 2, initial | kAlignCenter},
        {2, 1, initial | kAlignRight | kAlignRtlReading},
        {2, 3, initial | kAlignRtlReading},
        {3, 2, initial},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << k.writingMode << " alignment " << k.alignment);
        FixedWidthCanvas canvas;
        canvas.align = initial;
        const Text text = T(u"ab");
        DrawLines(text.c_str(), canvas, Layout().Mode(k.writingMode).Align(k.alignment).p, nullptr, nullptr);
        EXPECT_EQ(canvas.align, k.flags);
    }
}

TEST(DrawLines, MeasuresEachLineOnceForItsExtentAndColumn) {
    // Pre-count: 3 examined characters and the end; drawing: 3 examined
    // characters and one measurement for the centred column that also gives
    // the extent reported.
    FixedWidthCanvas canvas;
    uint16_t extent = 0;
    const Text text = T(u"abc");
    DrawLines(text.c_str(), canvas, Layout().Mode(3).Align(2).p, nullptr, &extent);
    EXPECT_EQ(canvas.extentCalls, 8);
    EXPECT_EQ(extent, 30);
}

}  // namespace
}  // namespace textraster
