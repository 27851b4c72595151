#include "negotiation.h"

#include <gst/video/video.h>

#include "frame_blend.h"

namespace textraster::gst {
namespace {

constexpr const char* kMeta = GST_CAPS_FEATURE_META_GST_VIDEO_OVERLAY_COMPOSITION;

GstCaps* BlendableCaps() {
    return gst_caps_from_string("video/x-raw, format=(string){ I420, NV12, BGRA, RGBA }");
}

bool SystemMemory(const GstCapsFeatures* features) {
    return !features || gst_caps_features_get_size(features) == 0 ||
           gst_caps_features_is_equal(features, GST_CAPS_FEATURES_MEMORY_SYSTEM_MEMORY);
}

// The features with the meta: system memory is then left unsaid, as
// downstream elements write it ("video/x-raw(meta:...)").
GstCapsFeatures* WithMeta(const GstCapsFeatures* features) {
    if (SystemMemory(features)) return gst_caps_features_new(kMeta, nullptr);
    GstCapsFeatures* with = gst_caps_features_copy(features);
    gst_caps_features_add(with, kMeta);
    return with;
}

// One structure of `caps`, with the features given.
GstCaps* One(GstCaps* caps, guint i, GstCapsFeatures* features) {
    GstCaps* one = gst_caps_new_empty();
    gst_caps_append_structure_full(one, gst_structure_copy(gst_caps_get_structure(caps, i)), features);
    return one;
}

GstCapsFeatures* FeaturesOf(GstCaps* caps, guint i) {
    const GstCapsFeatures* f = gst_caps_get_features(caps, i);
    return f ? gst_caps_features_copy(f) : gst_caps_features_new_empty();
}

// `out` with the formats FrameBlender knows of structure `i` of `caps`, in
// system memory.
GstCaps* MergeBlendable(GstCaps* out, GstCaps* caps, guint i) {
    GstCaps* one = One(caps, i, nullptr);
    GstCaps* blendable = BlendableCaps();
    out = gst_caps_merge(out, gst_caps_intersect(one, blendable));
    gst_caps_unref(one);
    gst_caps_unref(blendable);
    return out;
}

GstCaps* Filtered(GstCaps* caps, GstCaps* filter) {
    if (!filter) return caps;
    GstCaps* filtered = gst_caps_intersect_full(filter, caps, GST_CAPS_INTERSECT_FIRST);
    gst_caps_unref(caps);
    return filtered;
}

bool Blendable(GstCaps* caps) {
    GstVideoInfo info;
    return gst_caps_get_size(caps) == 1 && SystemMemory(gst_caps_get_features(caps, 0)) &&
           gst_video_info_from_caps(&info, caps) && FrameBlender::Supports(GST_VIDEO_INFO_FORMAT(&info));
}

}  // namespace

GstStaticCaps& VideoTemplateCaps() {
    static GstStaticCaps caps = GST_STATIC_CAPS("video/x-raw(ANY)");
    return caps;
}

GstCaps* VideoSinkCaps(GstPad* src, GstCaps* filter) {
    GstCaps* downstream = gst_pad_peer_query_caps(src, nullptr);
    if (gst_caps_is_any(downstream)) {
        // Downstream that takes anything may still not draw the meta.
        gst_caps_unref(downstream);
        return Filtered(BlendableCaps(), filter);
    }
    GstCaps* out = gst_caps_new_empty();
    for (guint i = 0; i < gst_caps_get_size(downstream); ++i) {
        GstCapsFeatures* features = FeaturesOf(downstream, i);
        if (gst_caps_features_contains(features, kMeta)) {
            // Upstream need not know of the meta: this element adds it.
            gst_caps_features_remove(features, kMeta);
            out = gst_caps_merge(out, One(downstream, i, features));
            continue;
        }
        if (SystemMemory(features)) out = MergeBlendable(out, downstream, i);
        gst_caps_features_free(features);
    }
    gst_caps_unref(downstream);
    return Filtered(out, filter);
}

GstCaps* SourceCaps(GstPad* videoSink, GstCaps* filter) {
    GstCaps* upstream = gst_pad_peer_query_caps(videoSink, nullptr);
    if (gst_caps_is_any(upstream)) {
        gst_caps_unref(upstream);
        return Filtered(gst_static_caps_get(&VideoTemplateCaps()), filter);
    }
    GstCaps* out = gst_caps_new_empty();
    for (guint i = 0; i < gst_caps_get_size(upstream); ++i) {
        const GstCapsFeatures* features = gst_caps_get_features(upstream, i);
        if (features && gst_caps_features_is_any(features)) continue;
        out = gst_caps_merge(out, One(upstream, i, WithMeta(features)));
        if (SystemMemory(features)) out = MergeBlendable(out, upstream, i);
    }
    gst_caps_unref(upstream);
    return Filtered(out, filter);
}

bool Negotiate(GstPad* src, GstCaps* caps, bool& attach) {
    GstCaps* withMeta = gst_caps_copy(caps);
    for (guint i = 0; i < gst_caps_get_size(withMeta); ++i)
        gst_caps_set_features(withMeta, i, WithMeta(gst_caps_get_features(caps, i)));
    attach = false;
    if (gst_pad_peer_query_accept_caps(src, withMeta)) {
        GstQuery* query = gst_query_new_allocation(withMeta, FALSE);
        if (gst_pad_peer_query(src, query))
            attach = gst_query_find_allocation_meta(query, GST_VIDEO_OVERLAY_COMPOSITION_META_API_TYPE, nullptr);
        gst_query_unref(query);
    }
    const bool ok = attach ? gst_pad_set_caps(src, withMeta) : Blendable(caps) && gst_pad_set_caps(src, caps);
    gst_caps_unref(withMeta);
    return ok;
}

}  // namespace textraster::gst
