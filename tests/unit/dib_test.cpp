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
        {Header(10, -5, 32), 200, 0},          // top-down rows count the same
        {Header(3, 2, 24), 24, 0},             // rows padded to whole words
        {Header(3, 2, 1), 8, 2},               // monochrome
        {Header(3, 2, 8, BI_RGB, 17), 8, 17},  // palette size given
        {Header(3, 2, 4), 8, 16},
        {Header(2, 2, 32, BI_BITFIELDS), 16, 3},  // three masks
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
    const std::vector<uint32_t> colour = {0x00102030, 0x00FFFFFF, 0, 0x00ABCDEF};
    const std::vector<uint32_t> alpha = {0x00FF0000, 0x00000000, 0x00800000, 0x00010000};
    std::vector<uint32_t> out(5, 0xDEADBEEF);
    MergeAlpha(out.data(), colour.data(), alpha.data(), 4);
    EXPECT_EQ(out, (std::vector<uint32_t>{0xFF102030u, 0x00FFFFFFu, 0x80000000u, 0x01ABCDEFu, 0xDEADBEEFu}));
}

// Rows of any width and alignment: whole blocks and the pixels after the
// last one, through each way of merging this processor has.
TEST(Dib, MergeAlphaTakesEveryPixelOfARow) {
    struct Way {
        const char* name;
        void (*merge)(uint32_t*, const uint32_t*, const uint32_t*, size_t);
    };
    std::vector<Way> ways = {{"chosen", MergeAlpha}, {"portable", MergeAlphaPortable}};
#if TEXTRASTER_HAS_AVX2_MERGE
    if (CanMergeAlphaAvx2()) ways.push_back({"avx2", MergeAlphaAvx2});
#endif
    for (const Way& way : ways)
        for (size_t offset : {size_t(0), size_t(1), size_t(3)})
            for (size_t count : {size_t(0), size_t(1), size_t(15), size_t(16), size_t(17), size_t(33), size_t(1283)}) {
                SCOPED_TRACE(testing::Message() << way.name << " offset " << offset << " count " << count);
                std::vector<uint32_t> colour(offset + count), alpha(offset + count),
                    out(offset + count + 1, 0xDEADBEEF);
                for (size_t i = 0; i < count; ++i) {
                    colour[offset + i] = uint32_t(i * 2654435761u) & 0xFFFFFF;
                    alpha[offset + i] = uint32_t(i * 7 % 256) << 16;
                }
                way.merge(out.data() + offset, colour.data() + offset, alpha.data() + offset, count);
                for (size_t i = 0; i < count; ++i) {
                    ASSERT_EQ(out[offset + i], colour[offset + i] | uint32_t(i * 7 % 256) << 24) << i;
                }
                EXPECT_EQ(out[offset + count], 0xDEADBEEFu);
                if (offset) {
                    EXPECT_EQ(out[offset - 1], 0xDEADBEEFu);
                }
            }
}

}  // namespace
}  // namespace textraster
