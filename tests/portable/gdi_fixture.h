// Helpers for the portable layer's tests: fonts by description, drawing
// surfaces that clean up after themselves, and reading pixels back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/portable/font.h"
#include "platform/portable/portable_object.h"
#include "render/log_font.h"

namespace textraster::test {

// The library's description of a face (BuildLogFont), at any weight.
inline LOGFONTW Describe(std::u16string_view face, LONG height, LONG weight = FW_NORMAL, bool italic = false,
                         bool vertical = false) {
    const std::u16string name(face);
    LOGFONTW lf = BuildLogFont(height, name.c_str(), italic ? 2 : 0, vertical);
    lf.lfWeight = weight;
    return lf;
}

// A font object kept for the test's length, and the fonts it sets text in.
class FontObject {
   public:
    explicit FontObject(const LOGFONTW& lf) : handle_(CreateFontIndirectW(&lf)) {}
    ~FontObject() { DeleteObject(handle_); }
    FontObject(const FontObject&) = delete;
    FontObject& operator=(const FontObject&) = delete;
    HFONT get() const { return handle_; }
    portable::FallbackFonts& fonts() const { return portable::Find<PortableFont>(handle_)->fonts; }

   private:
    HFONT handle_;
};

// The screen's context with one font selected, released on destruction.
class Measurer {
   public:
    explicit Measurer(const LOGFONTW& lf) : dc_(GetDC(nullptr)), font_(CreateFontIndirectW(&lf)) {
        previous_ = SelectObject(dc_, font_);
    }
    ~Measurer() {
        SelectObject(dc_, previous_);
        DeleteObject(font_);
        ReleaseDC(nullptr, dc_);
    }
    Measurer(const Measurer&) = delete;
    Measurer& operator=(const Measurer&) = delete;

    bool ok() const { return dc_ && font_; }
    HDC dc() const { return dc_; }
    TEXTMETRICW Metrics() const {
        TEXTMETRICW tm;
        std::memset(&tm, 0, sizeof tm);
        EXPECT_TRUE(GetTextMetricsW(dc_, &tm));
        return tm;
    }
    LONG Extent(std::u16string_view text) const {
        SIZE size{-1, -1};
        EXPECT_TRUE(GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &size));
        return size.cx;
    }

   private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_;
};

// A memory context drawing into a 32-bit bitmap of its own.
class Surface {
   public:
    Surface(int width, int height) : width_(width), height_(height) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        previousBitmap_ = SelectObject(dc_, bitmap_);
    }
    ~Surface() {
        if (font_) {
            SelectObject(dc_, previousFont_);
            DeleteObject(font_);
        }
        SelectObject(dc_, previousBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }

    void UseFont(const LOGFONTW& lf) {
        HFONT font = CreateFontIndirectW(&lf);
        ASSERT_NE(font, nullptr);
        HGDIOBJ previous = SelectObject(dc_, font);
        if (font_) {
            DeleteObject(font_);
        } else {
            previousFont_ = previous;
        }
        font_ = font;
    }

    void Draw(int x, int y, std::u16string_view text) {
        ASSERT_TRUE(TextOutW(dc_, x, y, text.data(), static_cast<int>(text.size())));
    }

    // The pixels top-down as 0x00RRGGBB.
    std::vector<uint32_t> Pixels() const {
        BITMAPINFO info;
        std::memset(&info, 0, sizeof info);
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        std::vector<uint32_t> pixels(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0xDEADBEEF);
        EXPECT_EQ(GetDIBits(dc_, bitmap_, 0, static_cast<UINT>(height_), pixels.data(), &info, DIB_RGB_COLORS),
                  height_);
        return pixels;
    }

    int width() const { return width_; }
    int height() const { return height_; }

   private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previousBitmap_;
    HFONT font_ = nullptr;
    HGDIOBJ previousFont_ = nullptr;
};

// The bounding box of the pixels that are not `background`; empty (right < left) when there are none.
struct Box {
    int left, top, right, bottom;  // inclusive
    bool empty() const { return right < left; }
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

inline Box InkBox(const std::vector<uint32_t>& pixels, int width, uint32_t background = 0) {
    Box box{width, 1 << 30, -1, -1};
    const int height = static_cast<int>(pixels.size()) / width;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (pixels[static_cast<size_t>(y) * width + x] != background) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

}  // namespace textraster::test
