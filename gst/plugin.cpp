// The plugin libgsttextraster: the element textrasteroverlay.
#include <gst/gst.h>

#include "textraster_overlay.h"

#ifndef TEXTRASTER_PLUGIN_VERSION
#define TEXTRASTER_PLUGIN_VERSION "0"
#endif
// The package GST_PLUGIN_DEFINE names the plugin's source by.
#define PACKAGE "textraster"

namespace {

gboolean Init(GstPlugin* plugin) {
    return gst_element_register(plugin, "textrasteroverlay", GST_RANK_NONE, GST_TYPE_TEXTRASTER_OVERLAY);
}

}  // namespace

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, textraster, "Text drawn by the textraster library over video",
                  Init, TEXTRASTER_PLUGIN_VERSION, "unknown", "textraster", "Unknown package origin")
