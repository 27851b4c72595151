#include "image.h"

#include <algorithm>

namespace textraster::tool {

uint32_t Over(uint32_t top, uint32_t bottom) {
    const uint32_t at = top >> 24, ab = bottom >> 24;
    const uint32_t a = at * 255 + ab * (255 - at);  // the result's opacity x 255
    if (a == 0) return 0;
    uint32_t out = (a + 127) / 255 << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t ct = top >> shift & 0xFF, cb = bottom >> shift & 0xFF;
        out |= (ct * at * 255 + cb * ab * (255 - at) + a / 2) / a << shift;
    }
    return out;
}

void FlipRows(Image& image) {
    for (uint32_t top = 0, bottom = image.height; top + 1 < bottom; ++top, --bottom)
        std::swap_ranges(image.row(top), image.row(top) + image.width, image.row(bottom - 1));
}

Image OverCheckerboard(const Image& image) {
    constexpr uint32_t kSquare = 8, kLight = 0xCC, kDark = 0x99;
    Image out(image.width, image.height);
    for (uint32_t y = 0; y < image.height; ++y) {
        for (uint32_t x = 0; x < image.width; ++x) {
            const uint32_t p = image.row(y)[x], alpha = p >> 24;
            const uint32_t board = ((x / kSquare + y / kSquare) % 2) ? kDark : kLight;
            uint32_t blended = 0xFF000000;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t channel = (p >> shift) & 0xFF;
                blended |= ((channel * alpha + board * (255 - alpha) + 127) / 255) << shift;
            }
            out.row(y)[x] = blended;
        }
    }
    return out;
}

}  // namespace textraster::tool
