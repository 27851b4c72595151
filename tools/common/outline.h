// An outline around the text, drawn by the tool under it, as subtitles are
// shown over video: the opacity channel widened by a disc, in its own colour.
// The library draws one colour per call, so the tool adds this afterwards.
#pragma once

#include <cstdint>

#include "image.h"

namespace textraster::tool {

// Lays the text in `image` over an outline `width` pixels wide (the edge
// antialiased) of `color`, the record's 0xAABBGGRR. What lies beyond the
// image's edge is cut: --fit leaves room for it.
void DrawOutline(Image& image, uint16_t width, uint32_t color);

}  // namespace textraster::tool
