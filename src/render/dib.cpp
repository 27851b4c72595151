#include "render/dib.h"

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

uint32_t* DibPixels(BITMAPINFOHEADER& h) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<BYTE*>(&h) + h.biSize + 4 * DibColorTableEntries(h));
}

Capture CaptureBitmap(HDC dc, HBITMAP bitmap, WORD bitCount, DWORD compression) {
    BITMAP description{};
    if (GetObjectW(bitmap, sizeof description, &description) == 0) return nullptr;

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
    header.biBitCount = bitCount;
    header.biCompression = compression;
    const UINT lines = UINT(description.bmHeight);
    // Lets the system complete the header (image size, colour table).
    GetDIBits(dc, bitmap, 0, lines, nullptr, &local.info, DIB_RGB_COLORS);

    const uint32_t entries = DibColorTableEntries(header);
    const int64_t imageSize = DibImageSize(header);
    if (entries > 259 || imageSize < 0 || uint64_t(imageSize) > SIZE_MAX / 2) return nullptr;
    const size_t headerBytes = sizeof(BITMAPINFOHEADER) + 4 * size_t(entries);
    Capture block(static_cast<BITMAPINFOHEADER*>(TakeReadBackBlock(headerBytes + size_t(imageSize))));
    if (!block) return nullptr;
    std::memcpy(block.get(), local.bytes, headerBytes);
    const int copied = GetDIBits(dc, bitmap, 0, lines, reinterpret_cast<BYTE*>(block.get()) + headerBytes,
                                 reinterpret_cast<BITMAPINFO*>(block.get()), DIB_RGB_COLORS);
    if (copied != description.bmHeight) return nullptr;
    return block;
}

void MergeAlpha(uint32_t* __restrict out, const uint32_t* __restrict colour, const uint32_t* __restrict alpha,
                size_t count) {
    // The alpha surface holds the opacity as red (bits 16-23) and nothing
    // else; a read-back leaves the top byte of the colour pixels 0. Whole
    // blocks of 16 pixels first, a loop the compiler turns into vector code.
    constexpr size_t kBlock = 16;
    size_t i = 0;
    for (; i + kBlock <= count; i += kBlock)
        for (size_t k = 0; k < kBlock; ++k) out[i + k] = colour[i + k] | alpha[i + k] << 8;
    for (; i < count; ++i) out[i] = colour[i] | alpha[i] << 8;
}

}  // namespace textraster
