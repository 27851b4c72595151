// The text as the frame shows it: drawn through the library's exports into
// an image of its own (ComputeTextRegionSize, then RenderText), with the
// outline and the shading box added, and where that image lies on a frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cue_markup.h"
#include "image.h"
#include "overlay_settings.h"

namespace textraster::gst {

struct OverlayPicture {
    tool::Image image;     // straight alpha, top row first; empty: nothing to show
    int32_t x = 0, y = 0;  // where its top-left pixel lies on the frame: even, as subsampled chroma needs
};

// `text` in its style, drawn as `settings` ask for a frame of `width` x
// `height`, in `memory` (an earlier picture's pixels, reused) where it is
// not much larger than needed. When the library refuses, the picture is
// empty and `error` says why.
OverlayPicture DrawPicture(const OverlaySettings& settings, const tool::CueText& text, uint32_t width, uint32_t height,
                           std::vector<uint32_t> memory, std::string& error);

}  // namespace textraster::gst
