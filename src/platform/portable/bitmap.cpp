#include "platform/portable/bitmap.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>
#include <new>

#include "platform/portable/dc.h"

using textraster::portable::Find;
using textraster::portable::Register;

namespace textraster::portable {

PortableBitmap* StockBitmap() {
    // Made on first use. A failure is not remembered: memory that was short
    // once must not leave every later context without its bitmap.
    static std::mutex lock;
    static PortableBitmap* stock = nullptr;
    std::lock_guard<std::mutex> guard(lock);
    if (!stock) {
        auto* memory = static_cast<uint32_t*>(SurfaceBlocks().Take(sizeof(uint32_t)));
        if (memory) *memory = 0;
        std::unique_ptr<PortableBitmap> bitmap(memory ? new (std::nothrow) PortableBitmap(1, 1, 1, memory, true)
                                                      : nullptr);
        if (!bitmap) SurfaceBlocks().GiveBack(memory);
        stock = bitmap ? static_cast<PortableBitmap*>(Register(std::move(bitmap))) : nullptr;
    }
    return stock;
}

}  // namespace textraster::portable

void PortableBitmap::Prepare(int top, int bottom, int filledLeft, int filledRight) {
    top = std::max(top, 0);
    bottom = std::min(bottom, height);
    if (top >= bottom) return;
    if (drawnTop == drawnBottom) drawnTop = drawnBottom = top;
    filledLeft = std::clamp(filledLeft, 0, width);
    filledRight = std::clamp(filledRight, filledLeft, width);
    // Rows [from, to), none of them cleared yet: a row the caller fills is
    // cleared only beside the columns it fills.
    auto clear = [&](int from, int to) {
        const bool filled = filledLeft < filledRight;
        for (int y = from; y < to;) {
            if (filled && y >= top && y < bottom) {
                std::memset(Row(y), 0, static_cast<size_t>(filledLeft) * sizeof(uint32_t));
                std::memset(Row(y) + filledRight, 0, static_cast<size_t>(width - filledRight) * sizeof(uint32_t));
                ++y;
                continue;
            }
            // Rows the caller does not fill, at once.
            const int end = filled && y < top ? std::min(to, top) : to;
            std::memset(Row(y), 0, static_cast<size_t>(width) * sizeof(uint32_t) * static_cast<size_t>(end - y));
            y = end;
        }
    };
    // The cleared rows stay one band: rows between it and the new ones are cleared too.
    if (top < drawnTop) clear(top, drawnTop);
    if (bottom > drawnBottom) clear(drawnBottom, bottom);
    drawnTop = std::min(drawnTop, top);
    drawnBottom = std::max(drawnBottom, bottom);
}

namespace {

// Rows of a device-dependent bitmap are padded to 16 bits, as on Windows.
LONG WidthBytes(const PortableBitmap& bitmap) {
    return static_cast<LONG>((static_cast<int64_t>(bitmap.width) * bitmap.bitsPixel + 15) / 16 * 2);
}

}  // namespace

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    PortableDc* context = Find<PortableDc>(dc);
    if (!context || width < 0 || height < 0) return nullptr;
    // Windows answers a zero size with the stock 1×1 monochrome bitmap.
    if (width == 0 || height == 0) return textraster::portable::StockBitmap();
    // A memory context is compatible with the bitmap it holds; the screen is 32-bit.
    const int bits = context->bitmap ? context->bitmap->bitsPixel : 32;
    // The pixel array and its 32-bit DIB image must stay addressable by a
    // signed 32-bit size (biSizeImage, bmWidthBytes × bmHeight), as on Windows.
    const int64_t count = int64_t(width) * int64_t(height);  // below 2^62: no overflow
    if (count > INT_MAX / 4) return nullptr;
    // A failure is reported, not thrown.
    auto* memory = static_cast<uint32_t*>(
        textraster::portable::SurfaceBlocks().Take(static_cast<size_t>(count) * sizeof(uint32_t)));
    if (!memory) return nullptr;
    std::unique_ptr<PortableBitmap> bitmap;
    try {
        bitmap = std::make_unique<PortableBitmap>(width, height, bits, memory);
    } catch (const std::bad_alloc&) {
        textraster::portable::SurfaceBlocks().GiveBack(memory);
        return nullptr;
    }
    return static_cast<HBITMAP>(Register(std::move(bitmap)));
}

int GetDIBits(HDC dc, HBITMAP handle, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage) {
    PortableBitmap* bitmap = Find<PortableBitmap>(handle);
    if (!Find<PortableDc>(dc) || !bitmap || !info || usage != DIB_RGB_COLORS) return 0;
    BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    if (header.biBitCount == 0 && !bits) {
        // Asked for the bitmap's own format.
        header.biWidth = bitmap->width;
        header.biHeight = bitmap->height;
        header.biPlanes = 1;
        header.biBitCount = static_cast<WORD>(bitmap->bitsPixel);
        header.biCompression = BI_RGB;
        header.biSizeImage = static_cast<DWORD>(WidthBytes(*bitmap)) * static_cast<DWORD>(bitmap->height);
        return bitmap->height;
    }
    // Only the format the library reads back: 32 bits per pixel, uncompressed.
    if (header.biBitCount != 32 || header.biCompression != BI_RGB || header.biWidth <= 0 || header.biHeight == 0)
        return 0;
    const bool bottomUp = header.biHeight > 0;
    const int64_t dibHeight = bottomUp ? int64_t(header.biHeight) : -int64_t(header.biHeight);
    const int64_t imageSize = int64_t(header.biWidth) * 4 * dibHeight;
    if (imageSize > INT_MAX) return 0;
    header.biSizeImage = static_cast<DWORD>(imageSize);
    header.biClrUsed = 0;
    if (!bits) return static_cast<int>(dibHeight);

    // DIB line i is the bitmap's row i from the top, or from the bottom for a
    // bottom-up DIB; lines outside the bitmap are left as they are.
    const int64_t first = start;
    const int64_t last = std::min<int64_t>(first + lines, std::min<int64_t>(dibHeight, bitmap->height));
    const int columns = std::min(static_cast<int>(header.biWidth), bitmap->width);
    auto* out = static_cast<uint32_t*>(bits);
    int copied = 0;
    for (int64_t line = first; line < last; ++line, ++copied) {
        const int row = static_cast<int>(bottomUp ? bitmap->height - 1 - line : line);
        uint32_t* target = out + static_cast<size_t>(line - first) * static_cast<size_t>(header.biWidth);
        if (bitmap->Drawn(row))
            std::memcpy(target, bitmap->Row(row), static_cast<size_t>(columns) * 4);
        else
            std::memset(target, 0, static_cast<size_t>(columns) * 4);
        std::memset(target + columns, 0, static_cast<size_t>(header.biWidth - columns) * 4);
    }
    return copied;
}
