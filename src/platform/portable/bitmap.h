// Bitmaps: a device-dependent bitmap is width × height pixels of
// 0x00RRGGBB, the layout of a 32-bit DIB pixel, so that reading it back is a
// copy. A monochrome bitmap (what a memory context holds at first) keeps the
// same layout with every pixel black or white.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdi.h"
#include "platform/portable/portable_object.h"
#include "platform/portable/surface_blocks.h"

struct PortableBitmap : textraster::portable::PortableObject {
    static constexpr auto kKind = textraster::portable::ObjectKind::Bitmap;

    // `memory` is a block from the pool, of width × height pixels whose
    // content does not matter: a new bitmap is all zero.
    PortableBitmap(int w, int h, int bits, uint32_t* memory, bool isStock = false)
        : PortableObject(kKind, isStock), width(w), height(h), bitsPixel(bits), pixels(memory) {}

    uint32_t* Row(int y) { return pixels.get() + static_cast<size_t>(y) * static_cast<size_t>(width); }

    // Makes rows [top, bottom) (clipped to the bitmap) ready for drawing. A
    // bitmap's memory is cleared only where something is drawn: a large
    // surface holding a line of text never has most of its rows touched.
    // A caller about to fill columns [filledLeft, filledRight) of those rows
    // says so, and they are not cleared first.
    void Prepare(int top, int bottom, int filledLeft = 0, int filledRight = 0);
    // Whether row y may hold anything but zero.
    bool Drawn(int y) const { return y >= drawnTop && y < drawnBottom; }

    const int width;
    const int height;
    const int bitsPixel;  // 32, or 1 for monochrome

   private:
    struct GiveBack {
        void operator()(uint32_t* block) const { textraster::portable::SurfaceBlocks().GiveBack(block); }
    };
    const std::unique_ptr<uint32_t, GiveBack> pixels;
    // The rows that have been cleared; all others read as zero.
    int drawnTop = 0;
    int drawnBottom = 0;
};

namespace textraster::portable {

// The 1×1 monochrome bitmap that every new memory context holds.
PortableBitmap* StockBitmap();

}  // namespace textraster::portable
