// Reading a surface back as device-independent pixels, and merging the alpha
// surface into the colour surface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/gdi.h"
#include "render/readback_blocks.h"

namespace textraster {

struct ReadBackDeleter {
    void operator()(void* block) const { ReadBackBlocks().GiveBack(block); }
};

// The pixel array's size in bytes: biSizeImage when set, else whole 32-bit
// words per row times rows and planes (computed wide: a huge bitmap must
// not overflow into a small or negative size).
int64_t DibImageSize(const BITMAPINFOHEADER& header);

// The number of colour-table entries (masks included) after the header.
uint32_t DibColorTableEntries(const BITMAPINFOHEADER& header);

// Reads a bitmap (out of every device context) back as 32-bit uncompressed
// device-independent pixels, a band of scan lines at a time (about 256 KB,
// at least a line), into one read-back block: the rows a band holds stay in
// the cache while they are merged, where a whole surface of a large region
// would not. Scan lines are numbered from the bottom, as in the bottom-up DIB
// it asks for.
class ScanLineReader {
   public:
    // Gets the bitmap's description, lets the system complete the header and
    // takes a block for one band. Empty (false) when the description or the
    // memory cannot be had.
    ScanLineReader(HDC dc, HBITMAP bitmap);
    explicit operator bool() const { return block_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    int bandLines() const { return bandLines_; }
    // Lines [first, first + count), count at most bandLines(): `width()`
    // pixels each, bottom line first. Null when the system copies fewer lines.
    const uint32_t* Read(int first, int count);

   private:
    HDC dc_;
    HBITMAP bitmap_;
    int width_ = 0, height_ = 0, bandLines_ = 0;
    size_t headerBytes_ = 0;
    std::unique_ptr<BITMAPINFOHEADER, ReadBackDeleter> block_;
};

// Writes `count` pixels of straight-alpha BGRA: each colour pixel with the
// alpha pixel's red channel (the opacity) moved into its top byte. The
// pixels come from 32-bit captures of the colour and alpha surfaces.
void MergeAlpha(uint32_t* out, const uint32_t* colour, const uint32_t* alpha, size_t count);

// The ways MergeAlpha chooses between, apart for tests: a loop for any
// processor, and on x86 the same loop in AVX2 where the processor has it.
void MergeAlphaPortable(uint32_t* out, const uint32_t* colour, const uint32_t* alpha, size_t count);
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define TEXTRASTER_HAS_AVX2_MERGE 1
void MergeAlphaAvx2(uint32_t* out, const uint32_t* colour, const uint32_t* alpha, size_t count);
bool CanMergeAlphaAvx2();
#else
#define TEXTRASTER_HAS_AVX2_MERGE 0
#endif

}  // namespace textraster
