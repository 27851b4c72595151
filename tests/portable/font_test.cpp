// Font objects: heights, metrics and the choice between real and
// synthesised styles.
#include <gtest/gtest.h>

#include "gdi_fixture.h"
#include "text/utf.h"

namespace textraster::test {
namespace {

const std::u16string_view kLatinFaces[] = {u"DejaVu Sans", u"Liberation Sans"};

TEST(FontHeight, PositiveIsTheCellHeightWithinRounding) {
    for (std::u16string_view face : kLatinFaces)
        for (LONG height : {9, 10, 13, 16, 20, 27, 32, 45, 100}) {
            Measurer m(Describe(face, height));
            ASSERT_TRUE(m.ok());
            const TEXTMETRICW tm = m.Metrics();
            EXPECT_NEAR(tm.tmHeight, height, 1) << "height " << height;
            EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
            EXPECT_GT(tm.tmInternalLeading, 0);
        }
}

TEST(FontHeight, NegativeIsTheEmHeightWithinRounding) {
    for (std::u16string_view face : kLatinFaces)
        for (LONG em : {8, 11, 12, 16, 20, 24, 33, 64}) {
            Measurer m(Describe(face, -em));
            const TEXTMETRICW tm = m.Metrics();
            EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, em, 1) << "em " << em;
            EXPECT_GT(tm.tmHeight, em);
        }
}

// Measured with GDI under Wine on the same font files.
TEST(FontHeight, MatchesGdiOnReferenceFonts) {
    struct Case {
        std::u16string_view face;
        LONG lfHeight, height, ascent, internalLeading;
    };
    const Case kCases[] = {
        {u"DejaVu Sans", 0, 16, 13, 2},      {u"DejaVu Sans", 11, 10, 8, 1},
        {u"DejaVu Sans", 27, 26, 21, 4},     {u"DejaVu Sans", -20, 24, 19, 3},
        {u"Liberation Sans", 48, 48, 39, 5}, {u"Liberation Sans", -16, 17, 14, 2},
        {u"Liberation Serif", 0, 15, 12, 2}, {u"Liberation Mono", -20, 23, 17, 3},
        {u"IPAGothic", 48, 49, 40, 3},       {u"WenQuanYi Micro Hei", -16, 19, 15, 3},
    };
    for (const Case& k : kCases) {
        const TEXTMETRICW tm = Measurer(Describe(k.face, k.lfHeight)).Metrics();
        EXPECT_EQ(tm.tmHeight, k.height) << std::string(k.face.begin(), k.face.end()) << " " << k.lfHeight;
        EXPECT_EQ(tm.tmAscent, k.ascent) << std::string(k.face.begin(), k.face.end()) << " " << k.lfHeight;
        EXPECT_EQ(tm.tmInternalLeading, k.internalLeading)
            << std::string(k.face.begin(), k.face.end()) << " " << k.lfHeight;
    }
}

TEST(FontHeight, ZeroAsksForTheDefaultSixteenPixelCell) {
    EXPECT_EQ(Measurer(Describe(u"DejaVu Sans", 0)).Metrics().tmHeight, 16);
    EXPECT_EQ(Measurer(Describe(u"", 0)).Metrics().tmHeight, 16);
}

TEST(FontHeight, ExtremeHeightsStillMakeAFont) {
    for (LONG height : {INT32_MIN, -65536, 65536 * 8, INT32_MAX}) {
        Measurer m(Describe(u"DejaVu Sans", height));
        ASSERT_TRUE(m.ok()) << height;
        EXPECT_GT(m.Metrics().tmHeight, 0) << height;
        EXPECT_GE(m.Extent(u"abc"), 0) << height;
    }
}

// Glyphs that take no room, marks and joiners, take none in bold either.
TEST(FontStyle, BoldWithoutABoldFaceIsSynthesisedOnePixelWiderPerGlyph) {
    // WenQuanYi Micro Hei has no bold face.
    Measurer regular(Describe(u"WenQuanYi Micro Hei", -20));
    Measurer bold(Describe(u"WenQuanYi Micro Hei", -20, FW_BOLD));
    EXPECT_EQ(bold.Metrics().tmWeight, FW_BOLD);
    const struct {
        std::u16string_view text;
        LONG wider;
    } kCases[] = {
        {u"iiiiiiii", 8}, {u"\u65e5\u672c", 2}, {u"e\u0301", 1}, {u"e\u0301\u0323\u0308", 1}, {u"a\u200Db\u200Cc", 3},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(bold.Extent(c.text), regular.Extent(c.text) + c.wider) << Utf16ToUtf8(std::u16string(c.text));
    }
}

TEST(FontStyle, BoldWithABoldFaceUsesItsOwnWidths) {
    Measurer regular(Describe(u"DejaVu Sans", -48));
    Measurer bold(Describe(u"DejaVu Sans", -48, FW_BOLD));
    EXPECT_EQ(bold.Metrics().tmWeight, FW_BOLD);
    // DejaVu Sans Bold's m is 3 pixels wider at this size, not the 1 of emboldening.
    EXPECT_EQ(bold.Extent(u"mmmm") - regular.Extent(u"mmmm"), 12);
}

TEST(FontStyle, ItalicUsesTheRealFaceOrSlantsTheUprightOne) {
    // DejaVu Sans has an Oblique face, with its own bounding box.
    const TEXTMETRICW upright = Measurer(Describe(u"DejaVu Sans", -48)).Metrics();
    const TEXTMETRICW oblique = Measurer(Describe(u"DejaVu Sans", -48, FW_NORMAL, true)).Metrics();
    EXPECT_EQ(oblique.tmItalic, 255);
    EXPECT_EQ(upright.tmItalic, 0);
    EXPECT_NE(oblique.tmMaxCharWidth, upright.tmMaxCharWidth);

    // IPAGothic has none: the upright glyph is slanted, so the stem of an l
    // leans to the right.
    auto lean = [](bool italic) {
        Surface s(80, 80);
        s.UseFont(Describe(u"IPAGothic", -48, FW_NORMAL, italic));
        SetBkMode(s.dc(), TRANSPARENT);
        SetTextColor(s.dc(), 0xFFFFFF);
        s.Draw(20, 10, u"l");
        const std::vector<uint32_t> pixels = s.Pixels();
        const Box ink = InkBox(pixels, 80);
        auto leftmost = [&](int y) {
            int x = 0;
            while (x < 80 && !pixels[static_cast<size_t>(y) * 80 + x]) ++x;
            return x;
        };
        return leftmost(ink.top) - leftmost(ink.top + ink.height() * 2 / 3);
    };
    EXPECT_EQ(lean(false), 0);
    EXPECT_GE(lean(true), 4);
}

TEST(FontStyle, AFullNameFindsThatFace) {
    const TEXTMETRICW tm = Measurer(Describe(u"DejaVu Sans Bold", -20)).Metrics();
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
}

TEST(FontObject, GetObjectGivesBackTheDescription) {
    const LOGFONTW lf = Describe(u"DejaVu Sans", 21, FW_BOLD, true);
    HFONT font = CreateFontIndirectW(&lf);
    ASSERT_NE(font, nullptr);
    LOGFONTW back;
    EXPECT_EQ(GetObjectW(font, sizeof back, &back), static_cast<int>(sizeof(LOGFONTW)));
    EXPECT_EQ(std::memcmp(&back, &lf, sizeof lf), 0);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_FALSE(DeleteObject(font));  // already gone
}

TEST(FontObject, AnUnknownFaceIsSubstituted) {
    Measurer m(Describe(u"No Such Face At All", 20));
    ASSERT_TRUE(m.ok());
    EXPECT_NEAR(m.Metrics().tmHeight, 20, 1);
    EXPECT_GT(m.Extent(u"abc"), 0);
}

}  // namespace
}  // namespace textraster::test
