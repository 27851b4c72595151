// What the element offers on each side, and how a frame's text reaches
// downstream: as GstVideoOverlayComposition meta when downstream takes it
// (any format, any memory: the frame itself is never touched), else blended
// into the frame (the formats FrameBlender knows, in system memory).
#pragma once

#include <gst/gst.h>

namespace textraster::gst {

// The template of the video pads: raw video in any memory, any format.
GstStaticCaps& VideoTemplateCaps();

// The answer to a caps query on the video sink pad: what upstream may send,
// given what downstream (the peer of `src`) takes.
GstCaps* VideoSinkCaps(GstPad* src, GstCaps* filter);

// The answer to a caps query on the source pad: upstream's caps (the peer
// of `videoSink`) with the meta, and those that can be blended without.
GstCaps* SourceCaps(GstPad* videoSink, GstCaps* filter);

// Sets the source pad's caps for upstream's `caps`: with the meta when
// downstream accepts those caps and its allocation answer lists the meta
// (then `attach`), else `caps` themselves when they can be blended. False
// when downstream takes neither.
bool Negotiate(GstPad* src, GstCaps* caps, bool& attach);

}  // namespace textraster::gst
