#include "outline.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace textraster::tool {
namespace {

struct Tap {
    int dx, dy;
    uint32_t weight;  // 0-256: how much of the pixel the disc covers
};

// The offsets of a disc of the radius, each weighted by how far inside the
// disc's edge it lies, so that the outline's edge is antialiased.
std::vector<Tap> Disc(int radius) {
    std::vector<Tap> taps;
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const double inside = radius + 0.5 - std::sqrt(double(dx * dx + dy * dy));
            if (inside > 0) taps.push_back({dx, dy, uint32_t(std::lround(std::min(inside, 1.0) * 256))});
        }
    }
    return taps;
}

}  // namespace

void DrawOutline(Image& image, uint16_t width, uint32_t color) {
    if (width == 0 || image.pixels.empty()) return;
    const int w = int(image.width), h = int(image.height);
    // The coverage of the widened text: for each pixel, the most that any
    // inked pixel within the disc lends it.
    std::vector<uint8_t> coverage(image.pixels.size());
    const std::vector<Tap> taps = Disc(width);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t alpha = image.row(uint32_t(y))[x] >> 24;
            if (!alpha) continue;
            for (const Tap& t : taps) {
                const int tx = x + t.dx, ty = y + t.dy;
                if (tx < 0 || ty < 0 || tx >= w || ty >= h) continue;
                uint8_t& c = coverage[size_t(ty) * size_t(w) + size_t(tx)];
                c = std::max(c, uint8_t(alpha * t.weight >> 8));
            }
        }
    }
    const uint32_t rgb = (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF), opacity = color >> 24;
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        if (!coverage[i]) continue;
        const uint32_t outline = ((coverage[i] * opacity + 127) / 255) << 24 | rgb;
        image.pixels[i] = Over(image.pixels[i], outline);
    }
}

}  // namespace textraster::tool
