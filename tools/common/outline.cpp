#include "outline.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace textraster::tool {
namespace {

// One row of the disc, at a vertical distance from its centre: the taps
// within `interior` columns of the centre lie wholly inside the disc (full
// weight), those beyond it on the antialiased edge, each with its weight.
struct DiscRow {
    int interior = -1;  // -1: no tap of full weight on this row
    struct Edge {
        int dx;           // > interior; the tap at -dx weighs the same
        uint32_t weight;  // 1-255 of 256: how much of the pixel the disc covers
    };
    std::vector<Edge> edge;
};

// The rows of a disc of the radius, from its centre row (dy = 0) to dy =
// radius; the rows above the centre are the same. Each tap is weighted by
// how far inside the disc's edge it lies, so that the outline's edge is
// antialiased.
std::vector<DiscRow> Disc(int radius) {
    std::vector<DiscRow> rows(size_t(radius) + 1);
    for (int dy = 0; dy <= radius; ++dy) {
        for (int dx = 0; dx <= radius; ++dx) {
            const double inside = radius + 0.5 - std::sqrt(double(dx * dx + dy * dy));
            const auto weight = uint32_t(std::lround(std::min(std::max(inside, 0.0), 1.0) * 256));
            if (weight == 256) {
                rows[size_t(dy)].interior = dx;
            } else if (weight > 0) {
                rows[size_t(dy)].edge.push_back({dx, weight});
            }
        }
    }
    return rows;
}

// Pixels taken at a time along a row: the inner loops have this fixed
// length, so that compilers turn them into vector instructions, and rows
// are padded to a multiple of it.
constexpr int kBlock = 32;

// The loops over a row, whole blocks at a time from `from` to at least
// `to`. Their arrays never overlap (__restrict) and they are not inlined,
// where the compiler could lose sight of that: so they become vector
// instructions without tests for overlap.

// The opacity widened by one more column either way.
[[gnu::noinline]] void Widen(uint8_t* __restrict wider, const uint8_t* __restrict narrower, int from, int to) {
    for (int x = from; x < to; x += kBlock)
        for (int k = x; k < x + kBlock; ++k)
            wider[k] = std::max(std::max(narrower[k - 1], narrower[k]), narrower[k + 1]);
}

// out = max(out, in).
[[gnu::noinline]] void MaxInto(uint8_t* __restrict out, const uint8_t* __restrict in, int to) {
    for (int x = 0; x < to; x += kBlock)
        for (int k = x; k < x + kBlock; ++k) out[k] = std::max(out[k], in[k]);
}

// What the pair of edge taps dx either side lends at their weight: laid
// over `base` into `out`, or added to `out`.
[[gnu::noinline]] void LendPair(uint8_t* __restrict out, const uint8_t* __restrict base,
                                const uint8_t* __restrict alpha, int dx, uint32_t weight, int to) {
    for (int x = 0; x < to; x += kBlock)
        for (int k = x; k < x + kBlock; ++k)
            out[k] = std::max(base[k], uint8_t(std::max(alpha[k - dx], alpha[k + dx]) * weight >> 8));
}

// A row's opacity, copied out of its pixels; whether it has any (looked
// for eight bytes at a time in the copy). Compilers do not make vector
// instructions of the narrowing by themselves: with SSE2 (every x86-64),
// sixteen pixels are shifted and packed to their opacities at a time.
[[gnu::noinline]] bool Opacity(uint8_t* __restrict alpha, const uint32_t* __restrict pixels, int w) {
    int x = 0;
#ifdef __SSE2__
    for (; x + 16 <= w; x += 16) {
        __m128i p[4];
        for (int k = 0; k < 4; ++k)
            p[k] = _mm_srli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + x + 4 * k)), 24);
        const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(p[0], p[1]), _mm_packs_epi32(p[2], p[3]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(alpha + x), packed);
    }
#endif
    for (; x < w; ++x) alpha[x] = uint8_t(pixels[x] >> 24);
    uint64_t any = 0;
    for (x = 0; x + 8 <= w; x += 8) {
        uint64_t eight;
        std::memcpy(&eight, alpha + x, 8);
        any |= eight;
    }
    for (; x < w; ++x) any |= alpha[x];
    return any != 0;
}

[[gnu::noinline]] void AddPair(uint8_t* __restrict out, const uint8_t* __restrict alpha, int dx, uint32_t weight,
                               int to) {
    for (int x = 0; x < to; x += kBlock)
        for (int k = x; k < x + kBlock; ++k)
            out[k] = std::max(out[k], uint8_t(std::max(alpha[k - dx], alpha[k + dx]) * weight >> 8));
}

// The coverage of the widened text: for each pixel, the most that any inked
// pixel within the disc lends it (its opacity times the tap's weight).
//
// Each row of the image lends to the 2r + 1 rows around it, what it lends
// to the rows k above and k below through disc row k (`lends[k]`) being
// the same: the taps of full weight on a disc row are a run of columns, so
// what the row lends through them is its opacity widened along the row
// (computed once per width, each from the one before), and the edge taps
// come in pairs of one weight. Rows are copied with r transparent pixels on
// either side (and padding to whole blocks), so that nothing needs a bounds
// test.
void Coverage(const Image& image, const std::vector<DiscRow>& disc, std::vector<uint8_t>& coverage, int rowLength) {
    const int w = int(image.width), h = int(image.height), r = int(disc.size()) - 1;
    const int stride = rowLength + 2 * r + 2 * kBlock;
    int widest = 0;  // the longest run of full-weight taps, on the centre row
    for (const DiscRow& d : disc) widest = std::max(widest, d.interior);
    // widened[c]: the row's opacity widened by c columns either way.
    std::vector<uint8_t> widened(size_t(widest + 1) * size_t(stride)), lends(size_t(r + 1) * size_t(rowLength));
    std::vector<const uint8_t*> lent(size_t(r) + 1);
    const std::vector<uint8_t> none(static_cast<size_t>(rowLength));  // a row that lends nothing
    for (int source = 0; source < h; ++source) {
        uint8_t* alpha = widened.data() + r;  // alpha[-r .. rowLength + r)
        if (!Opacity(alpha, image.row(uint32_t(source)), w)) continue;
        std::fill(alpha + w, alpha + rowLength + r, 0);
        std::fill(alpha - r, alpha, 0);
        for (int c = 1; c <= widest; ++c) {
            // Positions near the copy's ends (and the blocks' overshoot past
            // it) may be off; no tap reaches them.
            Widen(widened.data() + size_t(c) * stride + r, widened.data() + size_t(c - 1) * stride + r, -r + 1,
                  rowLength + r - 1);
        }
        // What the row lends through each disc row: the widened opacity
        // itself where the disc row has no edge taps, else a row of its own.
        for (int k = 0; k <= r; ++k) {
            const DiscRow& d = disc[size_t(k)];
            const uint8_t* run = d.interior >= 0 ? widened.data() + size_t(d.interior) * stride + r : nullptr;
            if (d.edge.empty()) {
                lent[size_t(k)] = run;
                continue;
            }
            uint8_t* lend = &lends[size_t(k) * rowLength];
            LendPair(lend, run ? run : none.data(), alpha, d.edge[0].dx, d.edge[0].weight, rowLength);
            for (size_t e = 1; e < d.edge.size(); ++e) AddPair(lend, alpha, d.edge[e].dx, d.edge[e].weight, rowLength);
            lent[size_t(k)] = lend;
        }
        for (int y = std::max(source - r, 0); y <= std::min(source + r, h - 1); ++y)
            if (const uint8_t* lend = lent[size_t(std::abs(y - source))])
                MaxInto(&coverage[size_t(y) * rowLength], lend, rowLength);
    }
}

}  // namespace

void DrawOutline(Image& image, uint16_t width, uint32_t color) {
    if (width == 0 || image.pixels.empty()) return;
    const int w = int(image.width), h = int(image.height);
    const int rowLength = (w + kBlock - 1) / kBlock * kBlock;
    // Eight bytes more, so that the last row's end is read eight at a time too.
    std::vector<uint8_t> coverage(size_t(rowLength) * size_t(h) + 8);
    Coverage(image, Disc(width), coverage, rowLength);
    const uint32_t rgb = (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF), opacity = color >> 24;
    for (int y = 0; y < h; ++y) {
        uint32_t* row = image.row(uint32_t(y));
        const uint8_t* c = &coverage[size_t(y) * rowLength];
        for (int x = 0; x < w; ++x) {
            // Stretches the outline does not reach (between words, above
            // and below the lines) eight pixels at a time.
            uint64_t eight;
            std::memcpy(&eight, c + x, 8);
            if (!eight) {
                x += 7;
                continue;
            }
            if (!c[x]) continue;
            const uint32_t text = row[x] >> 24;
            // Opaque text stays; where there is none, the outline is all
            // there is: Over's answers without its divisions.
            if (text == 255) continue;
            // An opaque outline colour (the usual black) is as opaque as the coverage.
            const uint32_t outline = (opacity == 255 ? c[x] : (c[x] * opacity + 127) / 255) << 24 | rgb;
            row[x] = text ? Over(row[x], outline) : outline >> 24 ? outline : 0;
        }
    }
}

}  // namespace textraster::tool
