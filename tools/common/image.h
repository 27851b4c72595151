// An image as the library writes it: 32-bit pixels, bytes blue, green, red,
// opacity (not premultiplied), rows top to bottom without padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace textraster::tool {

struct Image {
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB values, width x height

    Image() = default;
    Image(uint32_t w, uint32_t h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t* row(uint32_t y) { return pixels.data() + size_t(y) * width; }
    const uint32_t* row(uint32_t y) const { return pixels.data() + size_t(y) * width; }
};

// One pixel (0xAARRGGBB, not premultiplied) laid over another.
uint32_t Over(uint32_t top, uint32_t bottom);

// The rows in the other order: turns a bottom-up buffer into a top-down image.
void FlipRows(Image& image);

// `image` laid over a grey checkerboard, as image editors show transparency;
// the result is opaque everywhere.
Image OverCheckerboard(const Image& image);

}  // namespace textraster::tool
