// Measuring and drawing runs: alignment, the opaque cells, blending, right-
// to-left reading and vertical setting.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "gdi_fixture.h"

namespace textraster::test {
namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 120;

TEST(TextExtent, IsTheShapedAdvanceAndTheCellHeight) {
    Measurer m(Describe(u"DejaVu Sans", 20));
    const TEXTMETRICW tm = m.Metrics();
    HDC dc = GetDC(nullptr);
    const LOGFONTW lf = Describe(u"DejaVu Sans", 20);
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, u"Hello, world!", 13, &size));
    EXPECT_EQ(size.cy, tm.tmHeight);
    // Measured with GDI under Wine: no pair kerning, whole-pixel advances.
    EXPECT_EQ(size.cx, 107);
    ASSERT_TRUE(GetTextExtentPoint32W(dc, u"AVAWAY Toffee fi fl", 19, &size));
    EXPECT_EQ(size.cx, 164);
    EXPECT_TRUE(GetTextExtentPoint32W(dc, u"", 0, &size));
    EXPECT_EQ(size.cx, 0);
    EXPECT_FALSE(GetTextExtentPoint32W(dc, nullptr, 3, &size));
    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    // A run measures as a whole: its extent is the sum of its glyphs' advances.
    EXPECT_EQ(m.Extent(u"ab"), m.Extent(u"a") + m.Extent(u"b"));
}

// Every prefix's extent in one call, each as the prefix measured alone (on
// another font object, which has measured nothing before); with a fit asked
// for, up to the first prefix that does not fit.
TEST(TextExtent, EveryPrefixInOneCallIsEachPrefixMeasuredAlone) {
    struct Case {
        std::u16string text;
        int maxExtent;
        bool withFit;
    };
    const Case kCases[] = {
        {u"Hello, world!", 0, false},
        {u"Hello, world!", 40, true},
        {u"Hello, world!", 10000, true},
        {u"Hello, world!", -5, true},
        {u"\u0644\u0627 \u0628\u0628\u0628 (\u05E9\u05DC\u05D5\u05DD) 12", 0, false},
        {u"\u0644\u0627 \u0628\u0628\u0628 (\u05E9\u05DC\u05D5\u05DD) 12", 60, true},
        {u"\u202B\u202C\u2060\u200D", 0, true},
    };
    const LOGFONTW lf = Describe(u"DejaVu Sans", 20);
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()) + " " + std::to_string(c.maxExtent));
        Measurer inOneCall(lf), alone(lf);
        const int count = static_cast<int>(c.text.size());
        std::vector<INT> partial(c.text.size(), -1);
        INT fit = -1;
        SIZE size{};
        ASSERT_TRUE(GetTextExtentExPointW(inOneCall.dc(), c.text.data(), count, c.maxExtent, c.withFit ? &fit : nullptr,
                                          partial.data(), &size));
        EXPECT_EQ(size.cx, alone.Extent(c.text));
        int fits = 0;
        while (fits < count && alone.Extent(std::u16string_view(c.text).substr(0, size_t(fits) + 1)) <= c.maxExtent)
            ++fits;
        EXPECT_EQ(c.withFit ? fit : fits, fits);
        const int valid = c.withFit ? fits : count;
        for (int k = 1; k <= valid; ++k)
            EXPECT_EQ(partial[size_t(k) - 1], alone.Extent(std::u16string_view(c.text).substr(0, size_t(k)))) << k;
    }
}

// With the text colour equal to the background colour, an opaque run is a
// rectangle of one colour: exactly the run's cells.
TEST(TextOut, OpaqueFillsExactlyTheRunsCells) {
    struct Case {
        UINT align;
        int x;
        bool vertical;
    };
    const Case kCases[] = {{TA_LEFT, 20, false}, {TA_RIGHT, 180, false}, {TA_CENTER, 101, false}, {TA_LEFT, 150, true}};
    for (const Case& k : kCases) {
        Surface s(kWidth, kHeight);
        const LOGFONTW lf =
            Describe(k.vertical ? u"WenQuanYi Micro Hei" : u"Liberation Sans", 20, FW_NORMAL, false, k.vertical);
        s.UseFont(lf);
        const LONG extent = Measurer(lf).Extent(u"Hello");
        const LONG cell = Measurer(lf).Metrics().tmHeight;
        SetBkMode(s.dc(), OPAQUE);
        SetBkColor(s.dc(), 0x123456);
        SetTextColor(s.dc(), 0x123456);
        SetTextAlign(s.dc(), k.align);
        s.Draw(k.x, 10, u"Hello");

        int left = k.align == TA_RIGHT ? k.x - extent : k.align == TA_CENTER ? k.x - extent / 2 : k.x;
        int top = 10, right = left + extent, bottom = top + cell;
        if (k.vertical) {  // the column hangs down and to the left of its top-right corner
            left = k.x - cell, right = k.x, bottom = top + extent;
        }
        const std::vector<uint32_t> pixels = s.Pixels();
        int wrong = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const bool inside = x >= left && x < right && y >= top && y < bottom;
                wrong += pixels[static_cast<size_t>(y) * kWidth + x] != (inside ? 0x563412u : 0u);
            }
        EXPECT_EQ(wrong, 0) << "align " << k.align << (k.vertical ? " vertical" : "");
    }
}

// Greyscale antialiasing: one coverage for all three channels, in 17 levels
// drawn along GDI's curve rather than linearly. Every pixel of the drawing
// must be one GDI draws for those colours (measured under Wine on the same
// font, size and text: the DIB pixels other than the untouched zeros), and
// nearly every level must show.
TEST(TextOut, BlendsInGdisLevels) {
    struct Case {
        COLORREF back, text;
        std::vector<uint32_t> pixels;
    };
    const Case kCases[] = {
        {0x000000,
         0xFFFFFF,
         {0x686868, 0x7C7C7C, 0x8C8C8C, 0x9A9A9A, 0xA7A7A7, 0xB2B2B2, 0xBDBDBD, 0xC7C7C7, 0xD0D0D0, 0xD9D9D9, 0xE1E1E1,
          0xE9E9E9, 0xF0F0F0, 0xF8F8F8, 0xFFFFFF}},
        {0xFFFFFF,
         0x000000,
         {0x000000, 0x4D4D4D, 0x686868, 0x7C7C7C, 0x8C8C8C, 0x9A9A9A, 0xA7A7A7, 0xB2B2B2, 0xBDBDBD, 0xC7C7C7, 0xD0D0D0,
          0xD9D9D9, 0xE1E1E1, 0xE9E9E9, 0xF0F0F0, 0xFFFFFF}},
        {0xC80000,
         0x0080FF,
         {0x0000C8, 0x6834BC, 0x7C3EB6, 0x8C46B0, 0x9A4DAA, 0xA753A3, 0xB2599C, 0xBD5E94, 0xC7638B, 0xD06882, 0xD96C78,
          0xE1706D, 0xE97461, 0xF07851, 0xF87C3C, 0xFF8000}},
        {0x204060,
         0xA0C0E0,
         {0x604020, 0x947454, 0x9E7E5E, 0xA68666, 0xAE8D6D, 0xB49474, 0xBA9A79, 0xBF9F7F, 0xC4A484, 0xC8A888, 0xCDAD8D,
          0xD1B191, 0xD5B595, 0xD8B898, 0xDCBC9C, 0xE0C0A0}},
    };
    for (const Case& k : kCases) {
        Surface s(kWidth, kHeight);
        s.UseFont(Describe(u"DejaVu Sans", 28));
        SetBkMode(s.dc(), OPAQUE);
        SetBkColor(s.dc(), k.back);
        SetTextColor(s.dc(), k.text);
        s.Draw(5, 5, u"Quality glyphs");
        std::set<uint32_t> seen;
        for (uint32_t pixel : s.Pixels()) {
            if (!pixel) continue;  // outside the cells (or black text)
            ASSERT_NE(std::find(k.pixels.begin(), k.pixels.end(), pixel), k.pixels.end())
                << std::hex << pixel << " for text " << k.text << " on " << k.back;
            seen.insert(pixel);
        }
        EXPECT_GE(seen.size() + 1, k.pixels.size()) << std::hex << "text " << k.text << " on " << k.back;
    }
}

TEST(TextOut, TransparentDrawsOnlyGlyphsAndClipsToTheBitmap) {
    Surface s(60, 30);
    s.UseFont(Describe(u"DejaVu Sans", 24));
    SetBkMode(s.dc(), TRANSPARENT);
    SetBkColor(s.dc(), 0x00FF00);
    SetTextColor(s.dc(), 0xFFFFFF);
    s.Draw(-10, -8, u"Wide text that leaves the bitmap");
    size_t ink = 0, green = 0;
    for (uint32_t pixel : s.Pixels()) {
        ink += pixel != 0;
        green += pixel == 0x00FF00;
    }
    EXPECT_GT(ink, 0u);
    EXPECT_EQ(green, 0u);
}

// The ink of the columns [from, to) of every row.
std::vector<uint32_t> Columns(const std::vector<uint32_t>& pixels, int from, int to) {
    std::vector<uint32_t> out;
    for (int y = 0; y < kHeight; ++y)
        for (int x = from; x < to; ++x) out.push_back(pixels[static_cast<size_t>(y) * kWidth + x]);
    return out;
}

TEST(TextOut, RightToLeftReadingPutsTheFirstLetterOnTheRight) {
    const LOGFONTW lf = Describe(u"DejaVu Sans", 30);
    const std::u16string_view hebrew = u"\u05d0\u05d1\u05d2";  // alef, bet, gimel
    auto draw = [&](std::u16string_view text) {
        Surface s(kWidth, kHeight);
        s.UseFont(lf);
        SetBkMode(s.dc(), TRANSPARENT);
        SetTextColor(s.dc(), 0xFFFFFF);
        SetTextAlign(s.dc(), TA_RIGHT | TA_RTLREADING);
        s.Draw(150, 10, text);
        return s.Pixels();
    };
    const int alef = Measurer(lf).Extent(hebrew.substr(0, 1));
    const std::vector<uint32_t> word = draw(hebrew), first = draw(hebrew.substr(0, 1));
    const std::vector<uint32_t> rightmost = Columns(first, 150 - alef, 150);
    EXPECT_TRUE(std::any_of(rightmost.begin(), rightmost.end(), [](uint32_t p) { return p != 0; }));
    EXPECT_EQ(Columns(word, 150 - alef, 150), rightmost);
    // The other two letters lie to its left.
    const Box ink = InkBox(word, kWidth);
    EXPECT_LT(ink.left, 150 - alef - 10);
    EXPECT_LT(ink.right, 150);
}

TEST(TextOut, RightToLeftReadingMovesTrailingNeutralsToTheLeft) {
    const LOGFONTW lf = Describe(u"DejaVu Sans", 30);
    auto draw = [&](UINT align) {
        Surface s(kWidth, kHeight);
        s.UseFont(lf);
        SetBkMode(s.dc(), TRANSPARENT);
        SetTextColor(s.dc(), 0xFFFFFF);
        SetTextAlign(s.dc(), align);
        s.Draw(10, 10, u"abc!");
        return s.Pixels();
    };
    // "abc!" read right to left shows as "!abc": the left end holds the "!".
    const int bang = Measurer(lf).Extent(u"!");
    const std::vector<uint32_t> ltr = draw(TA_LEFT), rtl = draw(TA_LEFT | TA_RTLREADING);
    EXPECT_NE(Columns(ltr, 10, 10 + bang), Columns(rtl, 10, 10 + bang));
    EXPECT_EQ(InkBox(ltr, kWidth).height(), InkBox(rtl, kWidth).height());
}

// Draws б, which DejaVu Sans has in a Serbian form too, after setting the
// locale, into `file`; then ends the process.
[[noreturn]] void DrawInLocale(const char* locale, const std::string& file) {
    if (!std::setlocale(LC_ALL, locale)) std::exit(2);
    Surface s(60, 50);
    s.UseFont(Describe(u"DejaVu Sans", 40));
    SetBkMode(s.dc(), TRANSPARENT);
    SetTextColor(s.dc(), 0xFFFFFF);
    s.Draw(10, 0, u"\u0431");
    const std::vector<uint32_t> pixels = s.Pixels();
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(pixels.data()), std::streamsize(pixels.size() * sizeof(uint32_t)));
    std::exit(0);
}

// HarfBuzz takes the language a buffer lacks from the process's locale at
// its first call: whatever locale a host sets, a text must draw alike. Each
// drawing runs in a fresh process; the Serbian locale is compiled for the
// test from the set-up's locale sources.
TEST(TextOut, TheHostsLocaleChangesNoGlyph) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "textraster-test-locales";
    const std::filesystem::path serbian = folder / "sr_RS.UTF-8";
    if (!std::filesystem::exists(serbian)) {
        std::filesystem::create_directories(folder);
        const std::filesystem::path made = folder / ("made-" + std::to_string(getpid()));
        ASSERT_EQ(std::system(("localedef -i sr_RS -f UTF-8 " + made.string() + " 2>/dev/null").c_str()), 0);
        std::error_code taken;  // by a test run at the same time
        std::filesystem::rename(made, serbian, taken);
        std::filesystem::remove_all(made);
    }
    setenv("LOCPATH", folder.c_str(), 1);
    // Where the drawings go, named once (the fresh processes inherit it).
    setenv("TEXTRASTER_DRAWN_IN", (folder / ("drawn-" + std::to_string(getpid()))).c_str(), 0);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::vector<std::string> drawn;
    for (const char* locale : {"C.UTF-8", "sr_RS.UTF-8"}) {
        const std::string file = std::getenv("TEXTRASTER_DRAWN_IN") + std::string(locale);
        EXPECT_EXIT(DrawInLocale(locale, file), testing::ExitedWithCode(0), "") << locale;
        std::ifstream in(file, std::ios::binary);
        drawn.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        std::filesystem::remove(file);
    }
    EXPECT_TRUE(std::any_of(drawn[0].begin(), drawn[0].end(), [](char c) { return c != 0; })) << "nothing drawn";
    EXPECT_TRUE(drawn[0] == drawn[1]) << "a Serbian locale changed the glyph";
}

TEST(VerticalText, TheColumnRunsDownwardLeftOfTheReference) {
    const LOGFONTW lf = Describe(u"WenQuanYi Micro Hei", 24, FW_NORMAL, false, true);
    const std::u16string_view text = u"\u65e5\u672c\u8a9e\u5b57";
    Measurer vertical(lf), horizontal(Describe(u"WenQuanYi Micro Hei", 24));
    const LONG extent = vertical.Extent(text);
    EXPECT_EQ(extent, horizontal.Extent(text));
    const LONG cell = vertical.Metrics().tmHeight;

    Surface s(kWidth, kHeight);
    s.UseFont(lf);
    SetBkMode(s.dc(), TRANSPARENT);
    SetTextColor(s.dc(), 0xFFFFFF);
    s.Draw(100, 5, text);
    const Box ink = InkBox(s.Pixels(), kWidth);
    ASSERT_FALSE(ink.empty());
    EXPECT_LT(ink.right, 100);
    EXPECT_GE(ink.left, 100 - cell);
    EXPECT_GE(ink.top, 5);
    EXPECT_LT(ink.bottom, 5 + extent);
    EXPECT_GT(ink.height(), extent * 3 / 4);
}

TEST(VerticalText, IdeographsStandUprightAndOtherGlyphsAreTurned) {
    auto ink = [](std::u16string_view text, bool vertical) {
        Surface s(kWidth, kHeight);
        s.UseFont(Describe(u"WenQuanYi Micro Hei", 40, FW_NORMAL, false, vertical));
        SetBkMode(s.dc(), TRANSPARENT);
        SetTextColor(s.dc(), 0xFFFFFF);
        s.Draw(100, 20, text);
        return InkBox(s.Pixels(), kWidth);
    };
    // U+4E00 is one horizontal stroke: wide in both settings.
    EXPECT_GT(ink(u"\u4e00", false).width(), 3 * ink(u"\u4e00", false).height());
    EXPECT_GT(ink(u"\u4e00", true).width(), 3 * ink(u"\u4e00", true).height());
    // A hyphen is turned with the line: tall in a vertical one.
    EXPECT_GT(ink(u"-", false).width(), ink(u"-", false).height());
    EXPECT_GT(ink(u"-", true).height(), ink(u"-", true).width());
}

}  // namespace
}  // namespace textraster::test
