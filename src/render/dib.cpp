#include "render/dib.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace textraster {

int64_t DibImageSize(const BITMAPINFOHEADER& h) {
    if (h.biSizeImage != 0) return h.biSizeImage;
    const int64_t height = h.biHeight < 0 ? -int64_t(h.biHeight) : h.biHeight;
    return height * ((int64_t(h.biBitCount) * h.biWidth + 31) / 32) * h.biPlanes * 4;
}

uint32_t DibColorTableEntries(const BITMAPINFOHEADER& h) {
    if (h.biBitCount <= 8) return h.biClrUsed != 0 ? h.biClrUsed : 1u << h.biBitCount;
    if (h.biCompression == BI_BITFIELDS) return h.biClrUsed + 3;
    return h.biClrUsed;
}

ScanLineReader::ScanLineReader(HDC dc, HBITMAP bitmap) : dc_(dc), bitmap_(bitmap) {
    BITMAP description{};
    if (GetObjectW(bitmap, sizeof description, &description) == 0) return;
    if (description.bmWidth <= 0 || description.bmHeight <= 0) return;

    // Room for the header, 256 colours and 3 masks, whatever the system adds.
    union {
        BITMAPINFO info;
        BYTE bytes[sizeof(BITMAPINFOHEADER) + 259 * sizeof(RGBQUAD)];
    } local{};
    BITMAPINFOHEADER& header = local.info.bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = description.bmWidth;
    header.biHeight = description.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    // Lets the system complete the header (image size, colour table).
    GetDIBits(dc, bitmap, 0, UINT(description.bmHeight), nullptr, &local.info, DIB_RGB_COLORS);

    const uint32_t entries = DibColorTableEntries(header);
    const int64_t imageSize = DibImageSize(header);
    const int64_t lineBytes = int64_t(description.bmWidth) * 4;
    if (entries > 259 || imageSize < lineBytes * description.bmHeight || uint64_t(imageSize) > SIZE_MAX / 2) return;
    width_ = description.bmWidth;
    height_ = description.bmHeight;
    // As fast here as smaller bands, and fewer calls into the system.
    constexpr int64_t kBandBytes = 256 << 10;
    bandLines_ = int(std::min<int64_t>(std::max<int64_t>(1, kBandBytes / lineBytes), height_));
    headerBytes_ = sizeof(BITMAPINFOHEADER) + 4 * size_t(entries);
    block_.reset(static_cast<BITMAPINFOHEADER*>(ReadBackBlocks().Take(headerBytes_ + size_t(lineBytes) * bandLines_)));
    if (block_) std::memcpy(block_.get(), local.bytes, headerBytes_);
}

const uint32_t* ScanLineReader::Read(int first, int count) {
    if (!block_ || first < 0 || count <= 0 || count > bandLines_ || first > height_ - count) return nullptr;
    BYTE* pixels = reinterpret_cast<BYTE*>(block_.get()) + headerBytes_;
    // The block's own header still describes the whole bitmap, so the system
    // places the band by its scan line numbers.
    const int copied = GetDIBits(dc_, bitmap_, UINT(first), UINT(count), pixels,
                                 reinterpret_cast<BITMAPINFO*>(block_.get()), DIB_RGB_COLORS);
    return copied == count ? reinterpret_cast<const uint32_t*>(pixels) : nullptr;
}

namespace {

// Whole blocks of 16 pixels first, a loop the compiler turns into vector
// code for whichever processor the function that takes it in is built for.
[[gnu::always_inline]] inline void MergeLoop(uint32_t* __restrict out, const uint32_t* __restrict colour,
                                             const uint32_t* __restrict alpha, size_t count) {
    constexpr size_t kBlock = 16;
    size_t i = 0;
    for (; i + kBlock <= count; i += kBlock)
        for (size_t k = 0; k < kBlock; ++k) out[i + k] = colour[i + k] | alpha[i + k] << 8;
    for (; i < count; ++i) out[i] = colour[i] | alpha[i] << 8;
}

}  // namespace

void MergeAlphaPortable(uint32_t* __restrict out, const uint32_t* __restrict colour, const uint32_t* __restrict alpha,
                        size_t count) {
    MergeLoop(out, colour, alpha, count);
}

#if TEXTRASTER_HAS_AVX2_MERGE
[[gnu::target("avx2")]] void MergeAlphaAvx2(uint32_t* __restrict out, const uint32_t* __restrict colour,
                                            const uint32_t* __restrict alpha, size_t count) {
    MergeLoop(out, colour, alpha, count);
}

bool CanMergeAlphaAvx2() {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}
#endif

void MergeAlpha(uint32_t* out, const uint32_t* colour, const uint32_t* alpha, size_t count) {
    // The alpha surface holds the opacity as red (bits 16-23) and nothing
    // else; a read-back leaves the top byte of the colour pixels 0.
#if TEXTRASTER_HAS_AVX2_MERGE
    // The host's rows are seldom in the nearest caches, and writing them is
    // bound by the number of stores more than by their width: 32-byte stores
    // take half the time of 16-byte ones.
    if (CanMergeAlphaAvx2()) return MergeAlphaAvx2(out, colour, alpha, count);
#endif
    MergeAlphaPortable(out, colour, alpha, count);
}

}  // namespace textraster
