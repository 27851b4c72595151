// The picture as a GstVideoOverlayComposition, for downstream elements that
// lay overlays over frames themselves (a compositor, a display sink): one
// rectangle of straight-alpha BGRA pixels, attached to each frame as meta.
#pragma once

#include <gst/video/video.h>

#include "overlay_picture.h"

namespace textraster::gst {

// A composition of one rectangle holding a copy of the picture's pixels.
GstVideoOverlayComposition* MakeComposition(const OverlayPicture& picture);

// Attaches `composition` to the writable `buffer`; when upstream attached
// one already, ours is added to a copy of it, so downstream finds one meta
// with every rectangle.
void AttachComposition(GstBuffer* buffer, GstVideoOverlayComposition* composition);

}  // namespace textraster::gst
