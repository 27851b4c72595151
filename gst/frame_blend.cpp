#include "frame_blend.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace textraster::gst {
namespace {

using Samples = FrameBlender::Samples;

Samples Make(uint32_t width, uint32_t height, uint32_t channels) {
    Samples s;
    s.width = width, s.height = height, s.channels = channels;
    if (!channels) return s;  // whole pixels, filled by the caller
    s.values.resize(size_t(width) * height * channels);
    s.alpha.resize(size_t(width) * height);
    return s;
}

// Each row's span of samples with any opacity; `opaque(i)` tells for sample i.
template <typename Opaque>
void FindSpans(Samples& s, Opaque opaque) {
    s.first.assign(s.height, 0), s.end.assign(s.height, 0);
    for (uint32_t row = 0; row < s.height; ++row) {
        const size_t at = size_t(row) * s.width;
        uint32_t first = 0, end = s.width;
        while (first < end && !opaque(at + first)) ++first;
        while (end > first && !opaque(at + end - 1)) --end;
        s.first[row] = first, s.end[row] = end;
    }
}

void FindSpans(Samples& s) {
    FindSpans(s, [&s](size_t i) { return s.alpha[i] != 0; });
}

// The frame's RGB to Y'CbCr, its matrix and its range, in 16-bit fixed
// point: the picture's pixels are converted once per drawing, and at a new
// subtitle every frame a conversion in floating point per pixel would cost
// more than drawing the text.
class ToYuv {
   public:
    explicit ToYuv(const GstVideoInfo& info) {
        gdouble kr = 0.299, kb = 0.114, r, b;  // BT.601 where the frame does not say
        if (gst_video_color_matrix_get_Kr_Kb(info.colorimetry.matrix, &r, &b)) kr = r, kb = b;
        gint offset[GST_VIDEO_MAX_COMPONENTS], scale[GST_VIDEO_MAX_COMPONENTS];
        gst_video_color_range_offsets(info.colorimetry.range, info.finfo, offset, scale);
        const double kg = 1 - kr - kb;
        // Each component as weights of R, G and B (0-255 each).
        const double weights[3][3] = {{kr, kg, kb},
                                      {-kr / (2 * (1 - kb)), -kg / (2 * (1 - kb)), 0.5},
                                      {0.5, -kg / (2 * (1 - kr)), -kb / (2 * (1 - kr))}};
        for (int c = 0; c < 3; ++c) {
            for (int k = 0; k < 3; ++k) weight_[c][k] = int32_t(std::lround(weights[c][k] * scale[c] / 255 * 65536));
            base_[c] = offset[c] * 65536 + 32768;  // the offset, and rounding to nearest
        }
    }
    void operator()(uint32_t argb, uint8_t out[3]) const {
        const int32_t r = argb >> 16 & 0xFF, g = argb >> 8 & 0xFF, b = argb & 0xFF;
        for (int c = 0; c < 3; ++c)
            out[c] = uint8_t(
                std::clamp((base_[c] + weight_[c][0] * r + weight_[c][1] * g + weight_[c][2] * b) >> 16, 0, 255));
    }

   private:
    int32_t weight_[3][3], base_[3];
};

uint8_t Mix(uint32_t top, uint32_t bottom, uint32_t alpha) {
    return uint8_t((top * alpha + bottom * (255 - alpha) + 127) / 255);
}

// The rows of `s` that land on a plane of `height` rows at `y`, and the
// columns of a row that land on `width` columns at `x`.
struct Clip {
    uint32_t firstRow, endRow;
    Clip(const Samples& s, int64_t y, int64_t height)
        : firstRow(uint32_t(std::clamp<int64_t>(-y, 0, s.height))),
          endRow(uint32_t(std::clamp<int64_t>(height - y, firstRow, s.height))) {}
};

void Columns(const Samples& s, uint32_t row, int64_t x, int64_t width, uint32_t& from, uint32_t& to) {
    from = uint32_t(std::max<int64_t>(s.first[row], -x));
    to = uint32_t(std::clamp<int64_t>(width - x, from, std::max(s.end[row], from)));
}

// Eight bytes, or eight sixteen-bit words, at a time: GCC and Clang make
// vector instructions of these on any processor.
typedef uint8_t Bytes8 __attribute__((vector_size(8)));
typedef uint16_t Words8 __attribute__((vector_size(16)));

// Mix of eight samples over eight bytes of a plane, divided by 255 as
// (x + 1 + (x >> 8)) >> 8, which is x / 255 for every x the mix can make.
// A clear sample leaves its byte as it was, as Mix does.
void MixEight(uint8_t* __restrict d, const uint8_t* __restrict values, const uint8_t* __restrict alpha) {
    Bytes8 topBytes, bottomBytes, alphaBytes;
    std::memcpy(&topBytes, values, 8);
    std::memcpy(&bottomBytes, d, 8);
    std::memcpy(&alphaBytes, alpha, 8);
    const Words8 a = __builtin_convertvector(alphaBytes, Words8);
    const Words8 x =
        __builtin_convertvector(topBytes, Words8) * a + __builtin_convertvector(bottomBytes, Words8) * (255 - a) + 127;
    const Bytes8 out = __builtin_convertvector((x + 1 + (x >> 8)) >> 8, Bytes8);
    std::memcpy(d, &out, 8);
}

// One channel of `s` into one plane of the frame, `step` bytes between
// samples, `offset` bytes into each. Where samples lie side by side in the
// plane (every plane of I420, NV12's luma), eight at a time: clear ones
// passed over, opaque ones copied, the others mixed together.
void BlendChannel(const Samples& s, uint32_t channel, int64_t x, int64_t y, GstVideoFrame& frame, guint plane,
                  guint component, uint32_t step, uint32_t offset) {
    uint8_t* base = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane));
    const int64_t stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane);
    const int64_t width = GST_VIDEO_FRAME_COMP_WIDTH(&frame, component);
    const Clip clip(s, y, GST_VIDEO_FRAME_COMP_HEIGHT(&frame, component));
    const uint8_t* values = s.values.data() + size_t(channel) * s.width * s.height;
    for (uint32_t row = clip.firstRow; row < clip.endRow; ++row) {
        uint32_t from, to;
        Columns(s, row, x, width, from, to);
        uint8_t* d = base + (y + row) * stride + (x + from) * step + offset;
        const size_t at = size_t(row) * s.width;
        const uint8_t* alpha = s.alpha.data() + at;
        const uint8_t* value = values + at;
        uint32_t i = from;
        if (step == 1) {
            for (; i + 8 <= to; i += 8, d += 8) {
                uint64_t eight;
                std::memcpy(&eight, alpha + i, 8);
                if (!eight) continue;
                if (eight == ~uint64_t(0)) {
                    std::memcpy(d, value + i, 8);
                    continue;
                }
                MixEight(d, value + i, alpha + i);
            }
        }
        for (; i < to; ++i, d += step) {
            const uint32_t a = alpha[i];
            if (a) *d = Mix(value[i], *d, a);
        }
    }
}

// Two straight-alpha pixels over two of a frame's four-byte pixels, their
// bytes in the frame's order: every colour byte mixed by its pixel's
// opacity and the opacities combined, as Mix does (255 - a of the frame's
// opacity kept, a added), divided by 255 as (x + 1 + (x >> 8)) >> 8, which
// is x / 255 for every x the mix can make. An opaque pixel gives its own
// bytes, a clear one leaves the frame's.
void OverTwo(uint8_t* __restrict d, const uint32_t* __restrict p) {
    Bytes8 topBytes, bottomBytes;
    std::memcpy(&topBytes, p, 8);
    std::memcpy(&bottomBytes, d, 8);
    const Words8 pixels = __builtin_convertvector(topBytes, Words8);
    const Words8 a = __builtin_shufflevector(pixels, pixels, 3, 3, 3, 3, 7, 7, 7, 7);
    const Words8 top = pixels | Words8{0, 0, 0, 255, 0, 0, 0, 255};
    const Words8 x = top * a + __builtin_convertvector(bottomBytes, Words8) * (255 - a) + 127;
    const Bytes8 out = __builtin_convertvector((x + 1 + (x >> 8)) >> 8, Bytes8);
    std::memcpy(d, &out, 8);
}

// Straight-alpha pixels over a frame's four-byte pixels. Four at a time:
// clear ones (most of a text's span) are passed over, opaque ones copied,
// the others mixed two by two.
void BlendRgb(const Samples& s, int64_t x, int64_t y, GstVideoFrame& frame) {
    uint8_t* base = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    const int64_t stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
    const Clip clip(s, y, GST_VIDEO_FRAME_HEIGHT(&frame));
    for (uint32_t row = clip.firstRow; row < clip.endRow; ++row) {
        uint32_t from, to;
        Columns(s, row, x, GST_VIDEO_FRAME_WIDTH(&frame), from, to);
        uint8_t* d = base + (y + row) * stride + (x + from) * 4;
        const uint32_t* p = s.rgb + size_t(row) * s.width;
        uint32_t i = from;
        for (; i + 4 <= to; i += 4, d += 16) {
            const uint32_t any = p[i] | p[i + 1] | p[i + 2] | p[i + 3], all = p[i] & p[i + 1] & p[i + 2] & p[i + 3];
            if (!(any >> 24)) continue;
            if (all >> 24 == 255) {
                std::memcpy(d, &p[i], 16);
                continue;
            }
            OverTwo(d, &p[i]);
            OverTwo(d + 8, &p[i + 2]);
        }
        for (; i < to; ++i, d += 4) {
            const uint32_t a = p[i] >> 24;
            for (int c = 0; c < 3; ++c) d[c] = Mix(p[i] >> 8 * c & 0xFF, d[c], a);
            d[3] = Mix(255, d[3], a);
        }
    }
}

}  // namespace

bool FrameBlender::Supports(GstVideoFormat format) {
    return format == GST_VIDEO_FORMAT_I420 || format == GST_VIDEO_FORMAT_NV12 || format == GST_VIDEO_FORMAT_BGRA ||
           format == GST_VIDEO_FORMAT_RGBA;
}

FrameBlender::FrameBlender(const OverlayPicture& picture, const GstVideoInfo& info)
    : format_(GST_VIDEO_INFO_FORMAT(&info)), x_(picture.x), y_(picture.y) {
    const tool::Image& image = picture.image;
    const uint32_t w = image.width, h = image.height;
    if (format_ == GST_VIDEO_FORMAT_BGRA || format_ == GST_VIDEO_FORMAT_RGBA) {
        // The picture's 0xAARRGGBB words are BGRA bytes (little-endian, as
        // the composition takes them); RGBA frames get red and blue swapped.
        rgb_ = Make(w, h, 0);
        rgb_.rgb = image.pixels.data();
        if (format_ == GST_VIDEO_FORMAT_RGBA) {
            rgb_.pixels = image.pixels;
            for (uint32_t& p : rgb_.pixels) p = (p & 0xFF00FF00u) | (p >> 16 & 0xFF) | (p & 0xFF) << 16;
            rgb_.rgb = rgb_.pixels.data();
        }
        FindSpans(rgb_, [this](size_t i) { return rgb_.rgb[i] >> 24 != 0; });
        return;
    }
    const ToYuv toYuv(info);
    luma_ = Make(w, h, 1);
    chroma_ = Make((w + 1) / 2, (h + 1) / 2, 2);
    // Each chroma sample stands for two by two pixels (the picture lies on
    // even columns and rows): their colours weighted by their opacities, and
    // the mean opacity of the four. Two rows are walked side by side, a
    // block at a time: blocks wholly transparent (most of a picture) are
    // passed over after one test, and a run of one colour (the text's, the
    // outline's) is converted once. At a new subtitle every frame this runs
    // once per frame over the whole picture.
    uint32_t lastRgb = 0xFFFFFFFF;  // no colour yet: pixels have 24 bits
    uint8_t yuv[3] = {};
    for (uint32_t cy = 0; cy < chroma_.height; ++cy) {
        const uint32_t y0 = 2 * cy;
        const bool two = y0 + 1 < h;
        const uint32_t* top = image.row(y0);
        // A last odd row pairs with pixels that are clear.
        const uint32_t* bottom = two ? image.row(y0 + 1) : nullptr;
        uint8_t* topValues = &luma_.values[size_t(y0) * w];
        uint8_t* topAlpha = &luma_.alpha[size_t(y0) * w];
        uint8_t* bottomValues = two ? topValues + w : nullptr;
        uint8_t* bottomAlpha = two ? topAlpha + w : nullptr;
        uint8_t* chromaU = &chroma_.values[size_t(cy) * chroma_.width];
        uint8_t* chromaV = chromaU + size_t(chroma_.width) * chroma_.height;
        uint8_t* chromaAlpha = &chroma_.alpha[size_t(cy) * chroma_.width];
        for (uint32_t x = 0; x < w; x += 2) {
            const bool pair = x + 1 < w;
            const uint32_t p0 = top[x], p1 = pair ? top[x + 1] : 0;
            const uint32_t p2 = two ? bottom[x] : 0, p3 = two && pair ? bottom[x + 1] : 0;
            if (!((p0 | p1 | p2 | p3) >> 24)) continue;
            uint32_t u = 0, v = 0, sum = 0;
            // A clear pixel (also one beyond the picture's edge) adds nothing.
            auto add = [&](uint32_t pixel, uint8_t* value, uint8_t* alpha) {
                const uint32_t a = pixel >> 24;
                if (!a) return;
                if ((pixel & 0xFFFFFF) != lastRgb) lastRgb = pixel & 0xFFFFFF, toYuv(pixel, yuv);
                *value = yuv[0], *alpha = uint8_t(a);
                u += yuv[1] * a, v += yuv[2] * a, sum += a;
            };
            add(p0, topValues + x, topAlpha + x);
            add(p1, topValues + x + 1, topAlpha + x + 1);
            if (two) {
                add(p2, bottomValues + x, bottomAlpha + x);
                add(p3, bottomValues + x + 1, bottomAlpha + x + 1);
            }
            const size_t i = x / 2;
            chromaAlpha[i] = uint8_t((sum + 2) / 4);
            const float weight = 1.0f / float(sum);  // one division for both means
            chromaU[i] = uint8_t(float(u) * weight + 0.5f);
            chromaV[i] = uint8_t(float(v) * weight + 0.5f);
        }
    }
    FindSpans(luma_);
    FindSpans(chroma_);
}

void FrameBlender::Blend(GstVideoFrame& frame) const {
    switch (format_) {
        case GST_VIDEO_FORMAT_BGRA:
        case GST_VIDEO_FORMAT_RGBA: BlendRgb(rgb_, x_, y_, frame); break;
        case GST_VIDEO_FORMAT_I420:
            BlendChannel(luma_, 0, x_, y_, frame, 0, 0, 1, 0);
            BlendChannel(chroma_, 0, x_ / 2, y_ / 2, frame, 1, 1, 1, 0);
            BlendChannel(chroma_, 1, x_ / 2, y_ / 2, frame, 2, 2, 1, 0);
            break;
        case GST_VIDEO_FORMAT_NV12:
            BlendChannel(luma_, 0, x_, y_, frame, 0, 0, 1, 0);
            BlendChannel(chroma_, 0, x_ / 2, y_ / 2, frame, 1, 1, 2, 0);
            BlendChannel(chroma_, 1, x_ / 2, y_ / 2, frame, 1, 2, 2, 1);
            break;
        default: break;
    }
}

}  // namespace textraster::gst
