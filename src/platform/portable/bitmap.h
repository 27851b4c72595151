// Bitmaps: a device-dependent bitmap is width × height pixels of
// 0x00RRGGBB, the layout of a 32-bit DIB pixel, so that reading it back is a
// copy. A monochrome bitmap (what a memory context holds at first) keeps the
// same layout with every pixel black or white.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/gdi.h"
#include "platform/portable/gdi_object.h"

struct PortableBitmap : textraster::portable::GdiObject {
    static constexpr auto kKind = textraster::portable::ObjectKind::Bitmap;

    PortableBitmap(int w, int h, int bits, uint32_t* memory, bool isStock = false)
        : GdiObject(kKind, isStock), width(w), height(h), bitsPixel(bits), pixels(memory, std::free) {}

    uint32_t* Row(int y) { return pixels.get() + static_cast<size_t>(y) * static_cast<size_t>(width); }

    const int width;
    const int height;
    const int bitsPixel;  // 32, or 1 for monochrome
    const std::unique_ptr<uint32_t, decltype(&std::free)> pixels;
};

namespace textraster::portable {

// The 1×1 monochrome bitmap that every new memory context holds.
PortableBitmap* StockBitmap();

}  // namespace textraster::portable
