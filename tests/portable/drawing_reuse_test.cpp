// What drawing keeps from call to call must never show: memory of surfaces
// and read-backs comes back from the pool cleared as a new bitmap must be,
// glyphs kept blended over one background blend as the formula says over any
// other, and a line kept shaped is drawn anew when its text changes. And what
// it keeps stays within its bounds.
#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "gdi_fixture.h"
#include "platform/portable/font.h"
#include "platform/portable/line_setting.h"
#include "platform/portable/portable_object.h"
#include "platform/portable/raster.h"

namespace textraster::test {
namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 120;

void FillWithText(Surface& s, COLORREF back) {
    SetBkMode(s.dc(), OPAQUE);
    SetBkColor(s.dc(), back);
    SetTextColor(s.dc(), 0xFFFFFF);
    for (int y = 0; y < s.height(); y += 10) s.Draw(0, y, u"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
}

TEST(SurfaceMemory, ABitmapMadeFromUsedMemoryReadsBackAllZero) {
    {
        Surface used(kWidth, kHeight);
        used.UseFont(Describe(u"DejaVu Sans", 12));
        FillWithText(used, 0x123456);
    }
    Surface s(kWidth, kHeight);
    for (uint32_t pixel : s.Pixels()) ASSERT_EQ(pixel, 0u);

    // Rows drawn at the bottom, then at the top, then in the middle of the
    // rows between: all the others read zero.
    s.UseFont(Describe(u"DejaVu Sans", 12));
    SetBkMode(s.dc(), OPAQUE);
    SetBkColor(s.dc(), 0x0000FF);
    s.Draw(0, kHeight - 12, u"bottom");
    s.Draw(0, 0, u"top");
    SetBkColor(s.dc(), 0);
    SetTextColor(s.dc(), 0);
    s.Draw(0, kHeight / 2, u"black on black");
    const std::vector<uint32_t> pixels = s.Pixels();
    for (int y = 12; y < kHeight - 12; ++y)
        for (int x = 0; x < kWidth; ++x) ASSERT_EQ(pixels[size_t(y) * kWidth + x], 0u) << x << ", " << y;
    EXPECT_EQ(pixels[0], 0xFF0000u);                                    // red cell background at the top left
    EXPECT_EQ(pixels[size_t(kHeight - 12) * kWidth], 0xFF0000u);        // and at the bottom left
    EXPECT_EQ(pixels[size_t(kHeight - 12) * kWidth + kWidth - 1], 0u);  // right of the cells
}

TEST(ProcessHeap, BlocksAreFreshOrClearedAsAsked) {
    const size_t bytes = size_t(1) << 20;
    auto* used = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, bytes));
    ASSERT_NE(used, nullptr);
    std::memset(used, 0xAB, bytes);
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, used));
    auto* cleared = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
    ASSERT_NE(cleared, nullptr);
    for (size_t i = 0; i < bytes; ++i) ASSERT_EQ(cleared[i], 0) << i;
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, cleared));
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, nullptr));
    int notAHeap = 0;
    EXPECT_EQ(HeapAlloc(&notAHeap, 0, 16), nullptr);
    EXPECT_FALSE(HeapFree(&notAHeap, 0, nullptr));
}

// What TextOutW must leave: every glyph of the line, in its place, blended
// pixel by pixel over whatever lies there, one pixel at a time.
std::vector<uint32_t> Expected(std::vector<uint32_t> pixels, HFONT handle, int x, int y, std::u16string_view text,
                               COLORREF color) {
    portable::FallbackFonts& fonts = portable::Find<PortableFont>(handle)->fonts;
    const portable::ShapedText line = portable::ShapeText(fonts, text, false);
    const uint32_t fg = (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
    const portable::ColourLevels levels(fg);
    for (const portable::PlacedGlyph& glyph : line.glyphs) {
        portable::SizedFont& font = fonts.Font(glyph.font);
        std::lock_guard<std::mutex> guard(font.lock);
        const portable::GlyphImage* image = portable::RenderGlyph(font, glyph);
        if (!image) continue;
        const int left = x + glyph.x + image->left, top = y + fonts.Selected().metrics.tmAscent - glyph.y - image->top;
        for (int row = 0; row < image->rows; ++row)
            for (int column = 0; column < image->width; ++column) {
                const int px = left + column, py = top + row;
                const int coverage = image->coverage[size_t(row) * image->width + column];
                if (px < 0 || py < 0 || px >= kWidth || py >= kHeight || !coverage) continue;
                uint32_t& out = pixels[size_t(py) * kWidth + px];
                out = portable::BlendCoverage(out, fg, levels, static_cast<unsigned char>(coverage));
            }
    }
    return pixels;
}

TEST(TextOut, GlyphsBlendOverAnyBackgroundAsTheFormulaSays) {
    // Two passes with two colours, as RenderText draws, over ink of earlier
    // glyphs, over the cells' fill and over an empty surface.
    for (COLORREF color : {COLORREF(0x3366FF), COLORREF(0x0000C0), COLORREF(0x3366FF)}) {
        SCOPED_TRACE(color);
        Surface s(kWidth, kHeight);
        const LOGFONTW lf = Describe(u"DejaVu Serif", 40, FW_NORMAL, true);
        s.UseFont(lf);
        SetBkMode(s.dc(), OPAQUE);
        SetBkColor(s.dc(), 0x204060);
        SetTextColor(s.dc(), 0x00FF00);
        s.Draw(3, 2, u"ffffllll AVAW");
        HFONT font = CreateFontIndirectW(&lf);
        HGDIOBJ previous = SelectObject(s.dc(), font);
        SetBkMode(s.dc(), TRANSPARENT);
        SetTextColor(s.dc(), color);
        const std::u16string text = u"wavy fjords ffi";
        const std::vector<uint32_t> expected = Expected(s.Pixels(), font, 9, 20, text, color);
        s.Draw(9, 20, text);
        EXPECT_EQ(s.Pixels(), expected);
        SelectObject(s.dc(), previous);
        DeleteObject(font);
    }
}

TEST(TextOut, DrawsTheTextAsItIsNowThoughTheLastLineIsKept) {
    Surface kept(kWidth, kHeight), fresh(kWidth, kHeight);
    kept.UseFont(Describe(u"DejaVu Sans", 24));
    fresh.UseFont(Describe(u"DejaVu Sans", 24));
    std::u16string text = u"first text";
    kept.Draw(0, 0, text);
    text = u"other text";  // same length, same place
    kept.Draw(0, 40, text);
    fresh.Draw(0, 0, u"first text");
    fresh.Draw(0, 40, u"other text");
    EXPECT_EQ(kept.Pixels(), fresh.Pixels());
}

// Blends are made for glyphs already kept whenever a text comes in another
// colour: they must not take a font past its budget for glyph images (which
// is checked only when a glyph is added), and beyond it they are still drawn
// as the formula says.
TEST(GlyphImages, BlendsStayWithinTheFontsBudget) {
    // Eighty large ideographs: some 3 MB of coverage, 27 MB with two blends each.
    const LOGFONTW lf = Describe(u"WenQuanYi Micro Hei", 250);
    std::u16string text;
    for (char16_t c = 0x4E00; text.size() < 80; c = char16_t(c + 7)) text += c;
    Surface big(2000, 260);
    big.UseFont(lf);
    SetBkMode(big.dc(), TRANSPARENT);
    HFONT handle = CreateFontIndirectW(&lf);
    ASSERT_NE(handle, nullptr);
    portable::SizedFont& font = *portable::Find<PortableFont>(handle)->sized;
    for (COLORREF color : {COLORREF(0x0000FF), COLORREF(0x00FF00), COLORREF(0xFF0000)}) {
        SetTextColor(big.dc(), color);
        for (size_t at = 0; at < text.size(); at += 8) big.Draw(0, 0, std::u16string_view(text).substr(at, 8));
        std::lock_guard<std::mutex> guard(font.lock);
        EXPECT_LE(font.glyphBytes, portable::kGlyphCacheBytes);
    }
    {
        std::lock_guard<std::mutex> guard(font.lock);
        ASSERT_GT(font.glyphBytes, portable::kGlyphCacheBytes / 2);  // the budget is what limited the blends
    }
    // Beyond the budget, in yet another colour.
    Surface s(kWidth, kHeight);
    s.UseFont(lf);
    SetBkMode(s.dc(), TRANSPARENT);
    SetTextColor(s.dc(), 0x808080);
    const std::u16string_view line = std::u16string_view(text).substr(0, 1);
    const std::vector<uint32_t> expected = Expected(s.Pixels(), handle, 5, -60, line, 0x808080);
    s.Draw(5, -60, line);
    EXPECT_EQ(s.Pixels(), expected);
    DeleteObject(handle);
}

}  // namespace
}  // namespace textraster::test
