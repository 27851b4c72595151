#include "frame_blend.h"

#include <algorithm>
#include <cmath>

namespace textraster::gst {
namespace {

using Samples = FrameBlender::Samples;

Samples Make(uint32_t width, uint32_t height, uint32_t channels) {
    Samples s;
    s.width = width, s.height = height, s.channels = channels;
    s.values.resize(size_t(width) * height * channels);
    s.alpha.resize(size_t(width) * height);
    return s;
}

void FindSpans(Samples& s) {
    s.first.assign(s.height, 0), s.end.assign(s.height, 0);
    for (uint32_t row = 0; row < s.height; ++row) {
        const uint8_t* a = s.alpha.data() + size_t(row) * s.width;
        uint32_t first = 0, end = s.width;
        while (first < end && !a[first]) ++first;
        while (end > first && !a[end - 1]) --end;
        s.first[row] = first, s.end[row] = end;
    }
}

// The frame's RGB to Y'CbCr: its matrix and its range.
struct ToYuv {
    double kr = 0.299, kb = 0.114;
    gint offset[GST_VIDEO_MAX_COMPONENTS] = {}, scale[GST_VIDEO_MAX_COMPONENTS] = {};

    explicit ToYuv(const GstVideoInfo& info) {
        gdouble r, b;
        if (gst_video_color_matrix_get_Kr_Kb(info.colorimetry.matrix, &r, &b)) kr = r, kb = b;
        gst_video_color_range_offsets(info.colorimetry.range, info.finfo, offset, scale);
    }
    void operator()(uint32_t argb, uint8_t out[3]) const {
        const double r = (argb >> 16 & 0xFF) / 255.0, g = (argb >> 8 & 0xFF) / 255.0, b = (argb & 0xFF) / 255.0;
        const double y = kr * r + (1 - kr - kb) * g + kb * b;
        const double values[3] = {y, (b - y) / (2 * (1 - kb)), (r - y) / (2 * (1 - kr))};
        for (int c = 0; c < 3; ++c)
            out[c] = uint8_t(std::clamp(std::lround(offset[c] + values[c] * scale[c]), 0L, 255L));
    }
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

// One channel of `s` into one plane of the frame, `step` bytes between
// samples, `offset` bytes into each.
void BlendChannel(const Samples& s, uint32_t channel, int64_t x, int64_t y, GstVideoFrame& frame, guint plane,
                  guint component, uint32_t step, uint32_t offset) {
    uint8_t* base = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane));
    const int64_t stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane);
    const int64_t width = GST_VIDEO_FRAME_COMP_WIDTH(&frame, component);
    const Clip clip(s, y, GST_VIDEO_FRAME_COMP_HEIGHT(&frame, component));
    for (uint32_t row = clip.firstRow; row < clip.endRow; ++row) {
        uint32_t from, to;
        Columns(s, row, x, width, from, to);
        uint8_t* d = base + (y + row) * stride + (x + from) * step + offset;
        const size_t at = size_t(row) * s.width;
        for (uint32_t i = from; i < to; ++i, d += step) {
            const uint32_t a = s.alpha[at + i];
            if (a) *d = Mix(s.values[(at + i) * s.channels + channel], *d, a);
        }
    }
}

// Straight-alpha pixels over a frame's four-byte pixels: colours mixed, the
// opacities combined.
void BlendRgb(const Samples& s, int64_t x, int64_t y, GstVideoFrame& frame) {
    uint8_t* base = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    const int64_t stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
    const Clip clip(s, y, GST_VIDEO_FRAME_HEIGHT(&frame));
    for (uint32_t row = clip.firstRow; row < clip.endRow; ++row) {
        uint32_t from, to;
        Columns(s, row, x, GST_VIDEO_FRAME_WIDTH(&frame), from, to);
        uint8_t* d = base + (y + row) * stride + (x + from) * 4;
        const size_t at = size_t(row) * s.width;
        for (uint32_t i = from; i < to; ++i, d += 4) {
            const uint32_t a = s.alpha[at + i];
            if (!a) continue;
            const uint8_t* v = &s.values[(at + i) * 3];
            d[0] = Mix(v[0], d[0], a), d[1] = Mix(v[1], d[1], a), d[2] = Mix(v[2], d[2], a);
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
        const bool bgr = format_ == GST_VIDEO_FORMAT_BGRA;
        rgb_ = Make(w, h, 3);
        for (size_t i = 0; i < image.pixels.size(); ++i) {
            const uint32_t p = image.pixels[i];
            const uint8_t r = uint8_t(p >> 16), g = uint8_t(p >> 8), b = uint8_t(p);
            uint8_t* v = &rgb_.values[i * 3];
            v[0] = bgr ? b : r, v[1] = g, v[2] = bgr ? r : b;
            rgb_.alpha[i] = uint8_t(p >> 24);
        }
        FindSpans(rgb_);
        return;
    }
    const ToYuv toYuv(info);
    luma_ = Make(w, h, 1);
    chroma_ = Make((w + 1) / 2, (h + 1) / 2, 2);
    // Each chroma sample stands for two by two pixels (the picture lies on
    // even columns and rows): their colours weighted by their opacities, and
    // the mean opacity of the four.
    std::vector<uint32_t> sums(size_t(chroma_.width) * chroma_.height * 3);
    for (uint32_t row = 0; row < h; ++row) {
        for (uint32_t col = 0; col < w; ++col) {
            const size_t i = size_t(row) * w + col;
            const uint32_t p = image.pixels[i], a = p >> 24;
            uint8_t yuv[3];
            toYuv(p, yuv);
            luma_.values[i] = yuv[0], luma_.alpha[i] = uint8_t(a);
            uint32_t* sum = &sums[(size_t(row / 2) * chroma_.width + col / 2) * 3];
            sum[0] += yuv[1] * a, sum[1] += yuv[2] * a, sum[2] += a;
        }
    }
    for (size_t i = 0; i < chroma_.alpha.size(); ++i) {
        const uint32_t* sum = &sums[i * 3];
        chroma_.alpha[i] = uint8_t((sum[2] + 2) / 4);
        chroma_.values[i * 2] = uint8_t(sum[2] ? (sum[0] + sum[2] / 2) / sum[2] : 128);
        chroma_.values[i * 2 + 1] = uint8_t(sum[2] ? (sum[1] + sum[2] / 2) / sum[2] : 128);
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
