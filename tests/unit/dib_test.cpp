#include "render/dib.h"

#include <gtest/gtest.h>

#include <vector>

namespace textraster {
namespace {

BITMAPINFOHEADER Header(LONG width, LONG height, WORD bits, DWORD compression = BI_RGB, DWORD used = 0,
                        DWORD sizeImage = 0) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biCompression = compression;
    h.biClrUsed = used;
    h.biSizeImage = sizeImage;
    return h;
}

TEST(Dib, ImageSizeAndColourTable) {
    const struct {
        BITMAPINFOHEADER h;
        int64_t size;
        uint32_t entries;
    } cases[] = {
        {Header(10, 5, 32), 200, 0},
        {Header(10, -5, 32), 200, 0},                // top-down rows count the same
        {Header(3, 2, 24), 24, 0},                   // rows padded to whole words
        {Header(3, 2, 1), 8, 2},                     // monochrome
        {Header(3, 2, 8, BI_RGB, 17), 8, 17},        // palette size given
        {Header(3, 2, 4), 8, 16},
        {Header(2, 2, 32, BI_BITFIELDS), 16, 3},     // three masks
        {Header(2, 2, 16, BI_BITFIELDS, 2), 8, 5},
        {Header(2, 2, 32, BI_RGB, 0, 999), 999, 0},  // the system's own size wins
        {Header(65535, 65535, 32), 65535LL * 65535 * 4, 0},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(DibImageSize(k.h), k.size);
        EXPECT_EQ(DibColorTableEntries(k.h), k.entries);
    }
}

TEST(Dib, MergeAlphaMovesRedIntoTheTopByte) {
    auto capture = [](std::vector<uint32_t> pixels) {
        std::vector<uint32_t> block(sizeof(BITMAPINFOHEADER) / 4 + pixels.size());
        *reinterpret_cast<BITMAPINFOHEADER*>(block.data()) = Header(2, 2, 32);
        std::copy(pixels.begin(), pixels.end(), block.begin() + sizeof(BITMAPINFOHEADER) / 4);
        return block;
    };
    std::vector<uint32_t> colour = capture({0x00102030, 0x00FFFFFF, 0, 0x00ABCDEF});
    std::vector<uint32_t> alpha = capture({0x00FF0000, 0x00000000, 0x00800000, 0x00010000});
    auto* c = reinterpret_cast<BITMAPINFOHEADER*>(colour.data());
    MergeAlpha(*c, *reinterpret_cast<BITMAPINFOHEADER*>(alpha.data()));
    const uint32_t* px = DibPixels(*c);
    EXPECT_EQ(px[0], 0xFF102030u);
    EXPECT_EQ(px[1], 0x00FFFFFFu);
    EXPECT_EQ(px[2], 0x80000000u);
    EXPECT_EQ(px[3], 0x01ABCDEFu);
}

}  // namespace
}  // namespace textraster
