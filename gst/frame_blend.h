// The picture blended into raw frames, for downstream elements that take no
// overlay meta: I420, NV12, BGRA and RGBA, with whatever strides and plane
// offsets the frames carry.
//
// A picture is prepared once for a frame format (its pixels converted to the
// frame's colour space and chroma grid, and each row's span of ink found),
// so that a frame costs only the rows and columns the text covers.
#pragma once

#include <gst/video/video.h>

#include <cstdint>
#include <vector>

#include "overlay_picture.h"

namespace textraster::gst {

class FrameBlender {
   public:
    static bool Supports(GstVideoFormat format);

    // `picture` prepared for frames described by `info` (a supported format).
    // BGRA frames take the picture's own pixels: it must outlive the blender.
    FrameBlender(const OverlayPicture& picture, const GstVideoInfo& info);

    // Lays the picture over `frame`, mapped for writing, in `info`'s format.
    void Blend(GstVideoFrame& frame) const;

    // The picture as prepared for the frame: `channels` planes of values
    // (Y, or U then V), one per sample, and the samples' opacities, or for
    // RGB frames whole pixels in the frame's byte order (`rgb`: the
    // picture's own, or `pixels`).
    struct Samples {
        uint32_t width = 0, height = 0, channels = 0;
        std::vector<uint8_t> values, alpha;
        const uint32_t* rgb = nullptr;
        std::vector<uint32_t> pixels;
        std::vector<uint32_t> first, end;  // per row, the columns with ink: [first, end)
    };

   private:
    GstVideoFormat format_;
    int32_t x_, y_;
    Samples luma_, chroma_, rgb_;  // luma_ and chroma_ for YUV frames, rgb_ for RGB ones
};

}  // namespace textraster::gst
