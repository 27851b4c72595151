// The platform's own text call on the benchmark job, the peer the DLL is
// measured against under the same system: a memory context holding a 32-bit
// DIB section of the frame (its pixels are the delivered frame) and the font,
// the line drawn with DrawTextW (centred, word-wrapped) or measured with
// DrawTextW(DT_CALCRECT | DT_WORDBREAK).
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "bench/job.h"
#include "render/log_font.h"

namespace textraster::bench {

// The font the library makes for the job's requests.
inline LOGFONTW JobFont(const Text& face) {
    return BuildLogFont(kCellHeight, face.c_str(), 0, false);
}

inline UINT DrawFlags(const Language& language) {
    return DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | (language.rightToLeft ? DT_RTLREADING : 0);
}

// A memory context holding a 32-bit top-down bitmap of the frame and a font,
// white text on black cells: made per line, or once and kept.
class TextSurface {
   public:
    explicit TextSurface(const LOGFONTW& description) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kFrameWidth;
        info.bmiHeader.biHeight = -kFrameHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &pixels_, nullptr, 0);
        previousBitmap_ = SelectObject(dc_, bitmap_);
        font_ = CreateFontIndirectW(&description);
        previousFont_ = SelectObject(dc_, font_);
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, 0x000000);
        SetTextColor(dc_, 0xFFFFFF);
    }
    ~TextSurface() {
        SelectObject(dc_, previousFont_);
        DeleteObject(font_);
        SelectObject(dc_, previousBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    TextSurface(const TextSurface&) = delete;
    TextSurface& operator=(const TextSurface&) = delete;

    // The frame, cleared, with the line drawn; its pixels are the bitmap's.
    const void* Draw(const Language& language, const Text& line) {
        PatBlt(dc_, 0, 0, kFrameWidth, kFrameHeight, BLACKNESS);
        RECT rect{0, 0, kFrameWidth, kFrameHeight};
        DrawTextW(dc_, line.c_str(), int(line.size()), &rect, DrawFlags(language));
        GdiFlush();
        return pixels_;
    }
    // A new surface is all black: nothing to clear.
    const void* DrawFresh(const Language& language, const Text& line) {
        RECT rect{0, 0, kFrameWidth, kFrameHeight};
        DrawTextW(dc_, line.c_str(), int(line.size()), &rect, DrawFlags(language));
        GdiFlush();
        return pixels_;
    }
    int Measure(const Language& language, const Text& line) {
        RECT rect{0, 0, kFrameWidth, kFrameHeight};
        DrawTextW(dc_, line.c_str(), int(line.size()), &rect, DrawFlags(language) | DT_CALCRECT);
        return rect.bottom;
    }

   private:
    HDC dc_;
    HBITMAP bitmap_;
    void* pixels_ = nullptr;
    HGDIOBJ previousBitmap_;
    HFONT font_;
    HGDIOBJ previousFont_;
};

}  // namespace textraster::bench
