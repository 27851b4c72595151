// RenderText through the exported function, on the platform's real fonts.
#include <gtest/gtest.h>

#include <cstring>

#include "api/api_support.h"

namespace textraster::test {
namespace {

constexpr uint32_t kHostFill = 0xDEADBEEF;

TEST(RenderText, RefusesBadArgumentsInOrderWritingNothing) {
    const Text text = T(u"Hello");
    const Text empty;
    struct Case {
        const char* what;
        void (*change)(TextLayoutParams&);
        bool nullText, emptyText, nullParams, nullPixels;
        int32_t expected;
    } cases[] = {
        {"null text", nullptr, true, false, false, false, TR_INVALID_ARGUMENT},
        {"empty text", nullptr, false, true, false, false, TR_INVALID_ARGUMENT},
        {"null params", nullptr, false, false, true, false, TR_INVALID_ARGUMENT},
        {"null pixels", nullptr, false, false, false, true, TR_INVALID_ARGUMENT},
        {"region wider than buffer", [](TextLayoutParams& p) { p.regionWidth = uint16_t(p.bufferWidth + 1); }, false,
         false, false, false, TR_INVALID_ARGUMENT},
        {"region taller than buffer", [](TextLayoutParams& p) { p.regionHeight = uint16_t(p.bufferHeight + 1); }, false,
         false, false, false, TR_INVALID_ARGUMENT},
        {"size one short", [](TextLayoutParams& p) { --p.size; }, false, false, false, false, TR_BAD_RECORD_SIZE},
        {"size one long", [](TextLayoutParams& p) { ++p.size; }, false, false, false, false, TR_BAD_RECORD_SIZE},
        {"size wrong and region too wide",
         [](TextLayoutParams& p) {
             --p.size;
             p.regionWidth = uint16_t(p.bufferWidth + 1);
         },
         false, false, false, false, TR_INVALID_ARGUMENT},
        {"size wrong and buffer too small",
         [](TextLayoutParams& p) {
             --p.size;
             p.bufferSize = 0;
         },
         false, false, false, false, TR_BAD_RECORD_SIZE},
        {"buffer one byte short", [](TextLayoutParams& p) { --p.bufferSize; }, false, false, false, false,
         TR_BUFFER_TOO_SMALL},
        {"product beyond 32 bits",
         [](TextLayoutParams& p) {
             // 65535 x 65535 x 4 wraps to 0xFFF80004 in 32 bits.
             p.bufferWidth = p.bufferHeight = 65535;
             p.bufferSize = 0xFFFFFFFF;
         },
         false, false, false, false, TR_BUFFER_TOO_SMALL},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        TextLayoutParams p = Request(40, 20);
        if (k.change) k.change(p);
        std::vector<uint32_t> pixels(40 * 20, kHostFill);
        uint16_t ascent = 0x5555, extent = 0x5555;
        uint8_t pitch = 0x55;
        const int32_t code =
            RenderText(k.nullText    ? nullptr
                       : k.emptyText ? empty.c_str()
                                     : text.c_str(),
                       k.nullParams ? nullptr : &p, k.nullPixels ? nullptr : pixels.data(), &ascent, &pitch, &extent);
        EXPECT_EQ(code, k.expected);
        EXPECT_EQ(ascent, 0x5555);
        EXPECT_EQ(pitch, 0x55);
        EXPECT_EQ(extent, 0x5555);
        for (uint32_t px : pixels) ASSERT_EQ(px, kHostFill);
    }
}

TEST(RenderText, ExactBufferSizeIsEnough) {
    TextLayoutParams p = Request(40, 20);
    EXPECT_EQ(Render(T(u"a"), p).code, TR_OK);
}

TEST(RenderText, StraightAlphaPixelFormat) {
    // Pure red at opacity 128 on a green background at opacity 0. The full
    // block fills its cell's width, so its middle rows are wholly covered.
    TextLayoutParams p = Request(60, 40);
    p.textColor = 0x800000FF;
    p.backColor = 0x0000FF00;
    const Rendering r = Render(T(u"\x2588 a"), p);
    ASSERT_EQ(r.code, TR_OK);
    uint8_t covered[4] = {};
    std::memcpy(covered, &r.pixels[size_t(12) * 60 + 3], 4);
    EXPECT_EQ(covered[0], 0x00);
    EXPECT_EQ(covered[1], 0x00);
    EXPECT_EQ(covered[2], 0xFF);
    EXPECT_EQ(covered[3], 0x80);
    int background = 0;
    double red[2] = {}, green[2] = {}, count[2] = {};
    for (uint32_t px : r.pixels) {
        if (px == 0x0000FF00) ++background;  // inside the cells, behind the glyphs: green, opacity 0
        const uint32_t a = px >> 24;
        EXPECT_LE(a, 0x80u);
        EXPECT_EQ(px & 0xFF, 0u);  // no blue anywhere
        if (a == 0 || a == 0x80) continue;
        // Edge pixels: colour and opacity move together from the background to the text.
        const int heavy = a >= 0x40;
        red[heavy] += (px >> 16) & 0xFF, green[heavy] += (px >> 8) & 0xFF, ++count[heavy];
    }
    ASSERT_GT(count[0], 0);
    ASSERT_GT(count[1], 0);
    EXPECT_GT(red[1] / count[1], red[0] / count[0]);
    EXPECT_LT(green[1] / count[1], green[0] / count[0]);
    EXPECT_GT(background, 0);
}

TEST(RenderText, WritesZeroOutsideDrawnCellsAndNothingOutsideTheRegion) {
    TextLayoutParams p = Request(100, 60);
    p.regionWidth = 80;
    p.regionHeight = 40;
    p.destX = 10;
    p.destY = 5;
    p.backColor = 0xFF202020;
    const Rendering r = Render(T(u"Hi"), p, kHostFill);
    ASSERT_EQ(r.code, TR_OK);
    int zeros = 0, cells = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x) {
            const uint32_t px = r.pixels[size_t(y) * 100 + x];
            const bool inRegion = x >= 10 && x < 90 && y >= 5 && y < 45;
            if (!inRegion) {
                ASSERT_EQ(px, kHostFill) << x << "," << y;
                continue;
            }
            ASSERT_NE(px, kHostFill);
            zeros += px == 0;
            cells += (px >> 24) == 0xFF;
        }
    // The first line's cells are opaque (background and text opaque), the rest of the region zero.
    EXPECT_GT(cells, 24 * 10);
    EXPECT_GT(zeros, 80 * 40 / 2);
    EXPECT_EQ(r.pixels[size_t(44) * 100 + 89], 0u);
}

TEST(RenderText, RowOrderFollowsTopDown) {
    TextLayoutParams p = Request(60, 40);
    p.topDown = 1;
    const Rendering down = Render(T(u"Ag"), p);
    p.topDown = 0;
    const Rendering up = Render(T(u"Ag"), p);
    ASSERT_EQ(down.code, TR_OK);
    ASSERT_EQ(up.code, TR_OK);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) ASSERT_EQ(down.pixels[size_t(y) * 60 + x], up.pixels[size_t(39 - y) * 60 + x]);
    // Top-down: the first line's ink is near the buffer's first rows.
    EXPECT_LT(InkBox(down.pixels, 60).top, 12);
}

TEST(RenderText, ClipsAtTheBufferEdges) {
    const Text text = T(u"Clip me");
    // A wide region is read back a few scan lines at a time, so the clipping
    // falls inside a band.
    for (const int width : {120, 8000}) {
        TextLayoutParams whole = Request(uint16_t(width), 40);
        const Rendering reference = Render(text, whole);
        ASSERT_EQ(reference.code, TR_OK);
        struct Case {
            int destX, destY, topDown;
        } cases[] = {{50, 0, 1}, {0, 25, 1},         {70, 30, 1},   {0, 25, 0},
                     {0, 13, 0}, {width - 1, 39, 1}, {width, 0, 1}, {0, 40, 0}};
        for (const Case& k : cases) {
            SCOPED_TRACE(testing::Message()
                         << width << " wide at " << k.destX << "," << k.destY << " topDown " << k.topDown);
            TextLayoutParams p = whole;
            p.destX = uint16_t(k.destX);
            p.destY = uint16_t(k.destY);
            p.topDown = k.topDown;
            const Rendering r = Render(text, p, kHostFill);
            ASSERT_EQ(r.code, TR_OK);
            EXPECT_EQ(r.usedLinePitch, 24);
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < width; ++x) {
                    const uint32_t px = r.pixels[size_t(y) * width + x];
                    if (x < k.destX || y < k.destY) {
                        ASSERT_EQ(px, kHostFill);
                        continue;
                    }
                    // Buffer row destY + k holds the region's k-th row from the top (topDown) or bottom.
                    const int row = y - k.destY;
                    const int sourceY = k.topDown ? row : 39 - row;
                    ASSERT_EQ(px, reference.pixels[size_t(sourceY) * width + (x - k.destX)]) << x << "," << y;
                }
        }
    }
}

TEST(RenderText, EmptyRegionWritesNothing) {
    for (int zeroWidth : {0, 1}) {
        TextLayoutParams p = Request(40, 20);
        (zeroWidth ? p.regionWidth : p.regionHeight) = 0;
        const Rendering r = Render(T(u"text"), p, kHostFill);
        EXPECT_EQ(r.code, TR_OK);
        for (uint32_t px : r.pixels) ASSERT_EQ(px, kHostFill);
    }
}

TEST(RenderText, ReportsAscentPitchAndExtent) {
    TextLayoutParams p = Request(200, 100);
    p.linePitch = 30;
    p.blockStartOffset = 10;
    // Three lines at pitch 30 fit in 100 - 10; four do not, and the pitch falls back to the font height.
    const Rendering three = Render(T(u"a\nb\nc"), p);
    const Rendering four = Render(T(u"a\nb\nc\nd"), p);
    EXPECT_EQ(three.usedLinePitch, 30);
    EXPECT_EQ(four.usedLinePitch, 24);
    EXPECT_GT(three.ascent, 12);
    EXPECT_LT(three.ascent, 24);

    // The last line's extent is what the measuring entry point reports for the same text.
    for (const char16_t* s : {u"Hello, world", u"two\nlines", u"wrapping words across several lines of text"}) {
        const Text text = T(s);
        const Rendering r = Render(text, p);
        uint16_t width = 0, height = 0, extent = 0;
        ASSERT_EQ(ComputeTextRegionSize(text.c_str(), &p, nullptr, &width, &height, &extent), TR_OK);
        EXPECT_EQ(r.lastLineExtent, extent) << Show(text);
        EXPECT_GT(extent, 0);
    }
}

TEST(RenderText, StyleCodesPickTheSameFonts) {
    TextLayoutParams p = Request(200, 40);
    auto draw = [&](int32_t style) {
        p.fontStyle = style;
        return Render(T(u"Styled text"), p).pixels;
    };
    const auto regular = draw(0), bold = draw(1), italic = draw(2), boldItalic = draw(3);
    EXPECT_NE(regular, bold);
    EXPECT_NE(regular, italic);
    EXPECT_NE(italic, boldItalic);
    EXPECT_EQ(draw(4), italic);
    EXPECT_EQ(draw(5), boldItalic);
    for (int32_t unknown : {6, 255, -1, 0x10001}) EXPECT_EQ(draw(unknown), regular) << unknown;
}

TEST(RenderText, AlignmentAndIndentPlaceTheInk) {
    const Text text = T(u"Align");
    TextLayoutParams p = Request(300, 40);
    p.alignment = 1;
    const Box start = InkBox(Render(text, p).pixels, 300);
    p.firstLineIndent = 50;
    const Box indented = InkBox(Render(text, p).pixels, 300);
    p.firstLineIndent = 0;
    p.alignment = 2;
    const Box centre = InkBox(Render(text, p).pixels, 300);
    p.alignment = 3;
    const Box end = InkBox(Render(text, p).pixels, 300);
    ASSERT_FALSE(start.empty());
    EXPECT_LT(start.left, 5);
    EXPECT_NEAR(indented.left, start.left + 50, 1);
    EXPECT_NEAR(centre.centreX(), 150, 3);
    EXPECT_GT(end.right, 294);
    EXPECT_EQ(start.width(), end.width());
}

TEST(RenderText, RightToLeftStartsAtTheRightEdge) {
    TextLayoutParams p = Request(300, 40);
    p.writingMode = 2;
    const Rendering r = Render(T(u"\x05E9\x05DC\x05D5\x05DD \x05E2\x05D5\x05DC\x05DD"), p);
    ASSERT_EQ(r.code, TR_OK);
    const Box ink = InkBox(r.pixels, 300);
    EXPECT_GT(ink.right, 290);
    EXPECT_GT(ink.left, 150);
}

TEST(RenderText, VerticalColumnAtTheRightEdge) {
    TextLayoutParams p = Request(100, 200);
    p.writingMode = 3;
    p.faceName = Face(u"WenQuanYi Micro Hei");
    p.linePitch = 30;
    p.fontHeight = 30;
    const Rendering r = Render(T(u"\x7E26\x66F8\x304D\x306E\x6587"), p);
    ASSERT_EQ(r.code, TR_OK);
    const Box ink = InkBox(r.pixels, 100);
    ASSERT_FALSE(ink.empty());
    EXPECT_GT(ink.left, 40);                   // one column, on the right
    EXPECT_GT(ink.height(), 3 * ink.width());  // running down
}

}  // namespace
}  // namespace textraster::test
