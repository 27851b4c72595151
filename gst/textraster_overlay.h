// The element textrasteroverlay: subtitles and other text drawn by the
// library over video. Pads: video_sink, text_sink (text/x-raw, utf8 or
// pango-markup, as subparse sends it) and src.
#pragma once

#include <gst/gst.h>

G_BEGIN_DECLS

#define GST_TYPE_TEXTRASTER_OVERLAY (gst_textraster_overlay_get_type())
G_DECLARE_FINAL_TYPE(GstTextRasterOverlay, gst_textraster_overlay, GST, TEXTRASTER_OVERLAY, GstElement)

G_END_DECLS
