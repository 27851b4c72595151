// Reading a surface back as a packed device-independent bitmap, and merging
// the alpha surface into the colour surface.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/gdi.h"

namespace textraster {

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};

// A packed DIB in one heap block: the header, its colour table, then the pixels.
using Capture = std::unique_ptr<BITMAPINFOHEADER, FreeDeleter>;

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

// Moves the alpha capture's red channel into the top byte of each colour
// pixel. Both are 32-bit captures of the same size.
void MergeAlpha(BITMAPINFOHEADER& colour, BITMAPINFOHEADER& alpha);

}  // namespace textraster
