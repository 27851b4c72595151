// Device contexts, bitmaps and object handles.
#include <gtest/gtest.h>

#include <climits>
#include <thread>

#include "gdi_fixture.h"

namespace textraster::test {
namespace {

TEST(Bitmap, StartsAllZeroAndDescribesItself) {
    Surface s(33, 7);
    for (uint32_t pixel : s.Pixels()) ASSERT_EQ(pixel, 0u);
    BITMAP description;
    ASSERT_EQ(GetObjectW(s.bitmap(), sizeof description, &description), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(description.bmWidth, 33);
    EXPECT_EQ(description.bmHeight, 7);
    EXPECT_EQ(description.bmBitsPixel, 32);
    EXPECT_EQ(description.bmPlanes, 1);
    EXPECT_EQ(description.bmWidthBytes, 33 * 4);
    EXPECT_EQ(GetObjectW(s.bitmap(), 0, nullptr), static_cast<int>(sizeof(BITMAP)));
}

TEST(Bitmap, SizesThatCannotBeMadeGiveNull) {
    HDC screen = GetDC(nullptr);
    for (auto [w, h] : {std::pair{-1, 10}, {10, -1}, {70000, 70000}, {INT_MAX, 2}, {INT_MAX, INT_MAX}})
        EXPECT_EQ(CreateCompatibleBitmap(screen, w, h), nullptr) << w << "x" << h;
    // A zero size gives the shared 1x1 monochrome bitmap, as on Windows.
    HBITMAP empty = CreateCompatibleBitmap(screen, 0, 5);
    ASSERT_NE(empty, nullptr);
    BITMAP description;
    ASSERT_TRUE(GetObjectW(empty, sizeof description, &description));
    EXPECT_EQ(description.bmWidth, 1);
    EXPECT_EQ(description.bmBitsPixel, 1);
    EXPECT_TRUE(DeleteObject(empty));
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 10, 10), nullptr);
    ReleaseDC(nullptr, screen);
}

TEST(Bitmap, AMemoryContextsOwnBitmapIsMonochrome) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP mono = CreateCompatibleBitmap(memory, 8, 8);
    BITMAP description;
    ASSERT_TRUE(GetObjectW(mono, sizeof description, &description));
    EXPECT_EQ(description.bmBitsPixel, 1);
    DeleteObject(mono);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST(GetDIBits, ReadsBottomUpOrTopDownAndFillsTheHeader) {
    Surface s(10, 6);
    s.UseFont(Describe(u"DejaVu Sans", 2));  // a cell two rows high
    SetBkMode(s.dc(), OPAQUE);
    SetBkColor(s.dc(), 0x0000FF);
    SetTextColor(s.dc(), 0x0000FF);
    s.Draw(0, 0, u"MMMMMMMMMM");  // fills the top rows red

    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 10;
    info.bmiHeader.biHeight = 6;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    EXPECT_NE(GetDIBits(s.dc(), s.bitmap(), 0, 6, nullptr, &info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(info.bmiHeader.biSizeImage, 10u * 6u * 4u);

    std::vector<uint32_t> bottomUp(60, 0xDEADBEEF);
    ASSERT_EQ(GetDIBits(s.dc(), s.bitmap(), 0, 6, bottomUp.data(), &info, DIB_RGB_COLORS), 6);
    const std::vector<uint32_t> topDown = s.Pixels();
    for (int row = 0; row < 6; ++row)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(bottomUp[(5 - row) * 10 + x], topDown[row * 10 + x]);
    EXPECT_EQ(topDown[0], 0xFF0000u);  // red in bits 16-23
    EXPECT_EQ(bottomUp[0], 0u);        // the bottom row comes first
}

// Where nothing is drawn a read-back holds zeros, whatever the block held
// before: a block kept from an earlier read-back is mostly zero already,
// with a pixel of something here and there.
TEST(GetDIBits, WritesZerosOverWhateverTheBlockHeld) {
    Surface s(41, 4);
    s.UseFont(Describe(u"DejaVu Sans", 2));
    SetBkMode(s.dc(), OPAQUE);
    SetBkColor(s.dc(), 0x0000FF);
    s.Draw(0, 0, u"MMMMMM");  // the top two rows drawn, in part
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 50;  // wider than the bitmap: the rest of each line is zero too
    info.bmiHeader.biHeight = -4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    for (const size_t junk : {0, 1, 15, 16, 17, 31, 32, 40, 41, 45, 49}) {
        for (const int row : {0, 2, 3}) {
            std::vector<uint32_t> pixels(50 * 4, 0);
            pixels[size_t(row) * 50 + junk] = 0xDEADBEEF;
            ASSERT_EQ(GetDIBits(s.dc(), s.bitmap(), 0, 4, pixels.data(), &info, DIB_RGB_COLORS), 4);
            const std::vector<uint32_t> drawn = s.Pixels();
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 50; ++x)
                    ASSERT_EQ(pixels[size_t(y) * 50 + x], x < 41 ? drawn[size_t(y) * 41 + x] : 0u)
                        << "junk at " << junk << " in row " << row << ": " << x << ", " << y;
        }
    }
}

TEST(GetDIBits, RefusesWhatItCannotRead) {
    Surface s(4, 4);
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    std::vector<uint32_t> pixels(16);
    EXPECT_EQ(GetDIBits(s.dc(), s.bitmap(), 0, 4, pixels.data(), &info, DIB_RGB_COLORS), 0);
    info.bmiHeader.biBitCount = 32;
    EXPECT_EQ(GetDIBits(s.dc(), nullptr, 0, 4, pixels.data(), &info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(s.dc(), s.bitmap(), 0, 4, pixels.data(), nullptr, DIB_RGB_COLORS), 0);
}

TEST(SelectObject, ReturnsWhatWasSelectedBeforeAndRefusesStrangers) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP first = CreateCompatibleBitmap(screen, 4, 4), second = CreateCompatibleBitmap(screen, 4, 4);
    const LOGFONTW lf = Describe(u"DejaVu Sans", 12);
    HFONT font = CreateFontIndirectW(&lf);

    HGDIOBJ stockBitmap = SelectObject(dc, first);
    ASSERT_NE(stockBitmap, nullptr);
    EXPECT_EQ(SelectObject(dc, second), first);
    // A bitmap lives in one context at a time; the screen takes none.
    HDC other = CreateCompatibleDC(screen);
    EXPECT_EQ(SelectObject(other, second), nullptr);
    EXPECT_EQ(SelectObject(screen, first), nullptr);
    HGDIOBJ defaultFont = SelectObject(dc, font);
    ASSERT_NE(defaultFont, nullptr);
    EXPECT_EQ(SelectObject(dc, defaultFont), font);

    int notAnObject = 0;
    EXPECT_EQ(SelectObject(dc, &notAnObject), HGDI_ERROR);
    EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(&notAnObject), font), nullptr);
    EXPECT_FALSE(DeleteObject(&notAnObject));
    EXPECT_FALSE(DeleteObject(nullptr));

    EXPECT_EQ(SelectObject(dc, stockBitmap), second);
    EXPECT_TRUE(DeleteObject(first));
    EXPECT_TRUE(DeleteObject(second));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
}

TEST(DeleteObject, ASelectedFontLivesUntilItIsLetGo) {
    HDC dc = GetDC(nullptr);
    const LOGFONTW lf = Describe(u"DejaVu Sans", 30);
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ previous = SelectObject(dc, font);
    EXPECT_TRUE(DeleteObject(font));
    TEXTMETRICW tm;
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_NEAR(tm.tmHeight, 30, 1);
    EXPECT_EQ(SelectObject(dc, previous), font);
    EXPECT_FALSE(DeleteObject(font));  // freed when it was let go
    ReleaseDC(nullptr, dc);
}

TEST(DeviceContext, ColoursModesAndAlignmentReturnTheirPreviousValues) {
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(SetTextColor(dc, 0x010203), 0x000000u);
    EXPECT_EQ(SetTextColor(dc, 0), 0x010203u);
    EXPECT_EQ(SetBkColor(dc, 0x040506), 0xFFFFFFu);
    EXPECT_EQ(SetBkColor(dc, 0), 0x040506u);
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, 77), 0);
    EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_LEFT | TA_TOP));
    EXPECT_EQ(SetTextAlign(dc, TA_RIGHT | TA_RTLREADING), 0u);
    EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_RIGHT | TA_RTLREADING));
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(SetTextColor(nullptr, 0), CLR_INVALID);
    EXPECT_EQ(GetTextAlign(nullptr), GDI_ERROR);
}

// Entry points are called from many threads at once; each draws the same
// pixels as it would alone.
TEST(DeviceContext, ThreadsDrawIndependently) {
    auto render = [] {
        Surface s(120, 40);
        s.UseFont(Describe(u"DejaVu Sans", 20, FW_BOLD, true));
        SetTextColor(s.dc(), 0xFFFFFF);
        SetBkColor(s.dc(), 0x202020);
        s.Draw(2, 2, u"Thread \u05d0\u05d1 \u65e5");
        return s.Pixels();
    };
    const std::vector<uint32_t> expected = render();
    std::vector<std::vector<uint32_t>> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results)
        threads.emplace_back([&result, &render] {
            for (int i = 0; i < 20; ++i) result = render();
        });
    for (auto& thread : threads) thread.join();
    for (const auto& result : results) EXPECT_EQ(result, expected);
}

}  // namespace
}  // namespace textraster::test
