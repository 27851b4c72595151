// Reading a surface back as a packed device-independent bitmap, and merging
// the alpha surface into the colour surface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/gdi.h"
#include "render/readback_blocks.h"

namespace textraster {

struct ReadBackDeleter {
    void operator()(void* block) const { KeepReadBackBlock(block); }
};

// A packed DIB in one read-back block: the header, its colour table, then
// the pixels.
using Capture = std::unique_ptr<BITMAPINFOHEADER, ReadBackDeleter>;

// The pixel array's size in bytes: biSizeImage when set, else whole 32-bit
// words per row times rows and planes (computed wide: a huge bitmap must
// not overflow into a small or negative size).
int64_t DibImageSize(const BITMAPINFOHEADER& header);

// The number of colour-table entries (masks included) after the header.
uint32_t DibColorTableEntries(const BITMAPINFOHEADER& header);

// The pixels that follow a capture's header and colour table.
uint32_t* DibPixels(BITMAPINFOHEADER& header);

// Reads `bitmap` (out of every device context) through `dc` with the given bit
// count and compression. Empty when the bitmap's description, the memory for
// the block or the full set of scan lines cannot be had.
Capture CaptureBitmap(HDC dc, HBITMAP bitmap, WORD bitCount, DWORD compression);

// Writes `count` pixels of straight-alpha BGRA: each colour pixel with the
// alpha pixel's red channel (the opacity) moved into its top byte. The
// pixels come from 32-bit captures of the colour and alpha surfaces.
void MergeAlpha(uint32_t* out, const uint32_t* colour, const uint32_t* alpha, size_t count);

}  // namespace textraster
