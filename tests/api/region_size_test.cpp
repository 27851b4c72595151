// ComputeTextRegionSize and GetFontCharacterCellHeight through the exports.
#include <gtest/gtest.h>

#include "api/api_support.h"

namespace textraster::test {
namespace {

struct Measured {
    int32_t code;
    uint16_t ascent = 0x5555, width = 0x5555, height = 0x5555, extent = 0x5555;
};

Measured Measure(const Text& text, const TextLayoutParams& p) {
    Measured m{};
    m.ascent = m.width = m.height = m.extent = 0x5555;
    m.code = ComputeTextRegionSize(text.c_str(), &p, &m.ascent, &m.width, &m.height, &m.extent);
    return m;
}

TEST(ComputeTextRegionSize, RefusesBadArgumentsInOrderWritingNothing) {
    const Text text = T(u"abc"), empty;
    struct Case {
        const char* what;
        void (*change)(TextLayoutParams&);
        int nulls;  // 1 text, 2 width, 4 height, 8 params, 16 empty text
        int32_t expected;
    } cases[] = {
        {"null text", nullptr, 1, TR_INVALID_ARGUMENT},
        {"empty text", nullptr, 16, TR_INVALID_ARGUMENT},
        {"null width", nullptr, 2, TR_INVALID_ARGUMENT},
        {"null height", nullptr, 4, TR_INVALID_ARGUMENT},
        {"null params", nullptr, 8, TR_INVALID_ARGUMENT},
        {"font height 0", [](TextLayoutParams& p) { p.fontHeight = 0; }, 0, TR_INVALID_ARGUMENT},
        {"width 0, horizontal", [](TextLayoutParams& p) { p.regionWidth = 0; }, 0, TR_INVALID_ARGUMENT},
        {"width 0, right to left",
         [](TextLayoutParams& p) {
             p.regionWidth = 0;
             p.writingMode = 2;
         },
         0, TR_INVALID_ARGUMENT},
        {"height 0, vertical",
         [](TextLayoutParams& p) {
             p.regionHeight = 0;
             p.writingMode = 3;
         },
         0, TR_INVALID_ARGUMENT},
        {"line pitch 0", [](TextLayoutParams& p) { p.linePitch = 0; }, 0, TR_INVALID_ARGUMENT},
        {"size 79 and pitch 0",
         [](TextLayoutParams& p) {
             --p.size;
             p.linePitch = 0;
         },
         0, TR_INVALID_ARGUMENT},
        {"size 79 and font height 0",
         [](TextLayoutParams& p) {
             --p.size;
             p.fontHeight = 0;
         },
         0, TR_INVALID_ARGUMENT},
        {"size one short", [](TextLayoutParams& p) { --p.size; }, 0, TR_BAD_RECORD_SIZE},
        {"size one long", [](TextLayoutParams& p) { ++p.size; }, 0, TR_BAD_RECORD_SIZE},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        TextLayoutParams p = Request();
        if (k.change) k.change(p);
        uint16_t ascent = 0x5555, width = 0x5555, height = 0x5555, extent = 0x5555;
        const int32_t code =
            ComputeTextRegionSize((k.nulls & 1)    ? nullptr
                                  : (k.nulls & 16) ? empty.c_str()
                                                   : text.c_str(),
                                  (k.nulls & 8) ? nullptr : &p, &ascent, (k.nulls & 2) ? nullptr : &width,
                                  (k.nulls & 4) ? nullptr : &height, &extent);
        EXPECT_EQ(code, k.expected);
        EXPECT_EQ(ascent, 0x5555);
        EXPECT_EQ(width, 0x5555);
        EXPECT_EQ(height, 0x5555);
        EXPECT_EQ(extent, 0x5555);
    }
}

TEST(ComputeTextRegionSize, AcceptsTheZeroSideThatIsNotTheLineLength) {
    TextLayoutParams p = Request();
    p.regionHeight = 0;
    EXPECT_EQ(Measure(T(u"abc"), p).code, TR_OK);
    p = Request();
    p.writingMode = 3;
    p.regionWidth = 0;
    EXPECT_EQ(Measure(T(u"abc"), p).code, TR_OK);
    // Optional outputs may be null.
    uint16_t w = 0, h = 0;
    EXPECT_EQ(ComputeTextRegionSize(T(u"abc").c_str(), &p, nullptr, &w, &h, nullptr), TR_OK);
}

TEST(ComputeTextRegionSize, SizesByLinesAndAlignment) {
    TextLayoutParams p = Request(300, 50);
    p.firstLineIndent = 5;
    p.linePitch = 24;
    const Measured one = Measure(T(u"abc"), p);
    ASSERT_EQ(one.code, TR_OK);
    EXPECT_GT(one.extent, 10);
    EXPECT_EQ(one.width, one.extent + 5);
    EXPECT_EQ(one.height, 24);
    EXPECT_GT(one.ascent, 12);

    for (int32_t alignment : {2, 3}) {
        p.alignment = alignment;
        const Measured m = Measure(T(u"abc"), p);
        EXPECT_EQ(m.width, 300);
        EXPECT_EQ(m.extent, one.extent);
    }

    p = Request(300, 50);
    const Measured two = Measure(T(u"abc\ndefgh"), p);
    EXPECT_EQ(two.width, 300);
    EXPECT_EQ(two.height, 48);
    EXPECT_GT(two.extent, one.extent);  // the second line, not the first

    // The block size always uses linePitch, without the drawing's fallback, and 16 bits wide.
    p.linePitch = 10;
    Text many;
    for (int i = 0; i < 300; ++i) many += T(u"x\n");
    EXPECT_EQ(Measure(many, p).height, 3000);

    // A text that normalisation empties has no lines.
    p.spaceMode = 1;
    const Measured none = Measure(T(u" \t "), p);
    EXPECT_EQ(none.height, 0);
    EXPECT_EQ(none.width, 300);
    EXPECT_EQ(none.extent, 0);
}

TEST(ComputeTextRegionSize, VerticalColumnsAndUnknownModes) {
    TextLayoutParams p = Request(100, 120);
    p.writingMode = 3;
    p.linePitch = 30;
    p.faceName = Face(u"WenQuanYi Micro Hei");
    const Measured columns = Measure(T(u"\x4E00\x4E8C\n\x4E09\n\x56DB"), p);
    ASSERT_EQ(columns.code, TR_OK);
    EXPECT_EQ(columns.width, 90);
    EXPECT_EQ(columns.height, 120);

    p.writingMode = 0;
    const Measured unknown = Measure(T(u"abc"), p);
    EXPECT_EQ(unknown.code, TR_OK);
    EXPECT_EQ(unknown.width, 0x5555);
    EXPECT_EQ(unknown.height, 0x5555);
    EXPECT_EQ(unknown.extent, 0);
    EXPECT_NE(unknown.ascent, 0x5555);
}

TEST(ComputeTextRegionSize, MeasuresWithTheFontRenderTextDrawsWith) {
    TextLayoutParams p = Request(400, 50);
    p.wordWrap = 0;
    const Text text = T(u"Italic and bold measure differently");
    std::vector<uint16_t> extents;
    for (int32_t style : {0, 1, 2, 3, 4, 5}) {
        p.fontStyle = style;
        extents.push_back(Measure(text, p).extent);
    }
    EXPECT_EQ(extents[4], extents[2]);
    EXPECT_EQ(extents[5], extents[3]);
    EXPECT_NE(extents[1], extents[0]);
}

TEST(GetFontCharacterCellHeight, CellHeightOfACharacterHeight) {
    uint8_t cell = 0x55;
    EXPECT_EQ(GetFontCharacterCellHeight(Face(u"DejaVu Sans"), 256, 0, &cell), TR_INVALID_ARGUMENT);
    EXPECT_EQ(cell, 0x55);
    EXPECT_EQ(GetFontCharacterCellHeight(Face(u"DejaVu Sans"), 20, 0, nullptr), TR_INVALID_ARGUMENT);

    for (const char16_t* face : {u"DejaVu Sans", u"Liberation Serif", u"WenQuanYi Micro Hei"}) {
        SCOPED_TRACE(Show(T(face)));
        uint8_t twenty = 0, forty = 0;
        ASSERT_EQ(GetFontCharacterCellHeight(Face(face), 20, 0, &twenty), TR_OK);
        ASSERT_EQ(GetFontCharacterCellHeight(Face(face), 0x128, 0, &forty), TR_OK);  // low 8 bits: 40
        EXPECT_GE(twenty, 20);
        EXPECT_LT(twenty, 30);
        EXPECT_GE(forty, 40);
    }
    // The cell height is what fontHeight expects: a font of that cell height has that character height.
    uint8_t cell20 = 0;
    ASSERT_EQ(GetFontCharacterCellHeight(Face(u"DejaVu Sans"), 20, 0, &cell20), TR_OK);
    EXPECT_EQ(GetFontCharacterCellHeight(nullptr, 20, 0, &cell), TR_OK);
}

}  // namespace
}  // namespace textraster::test
