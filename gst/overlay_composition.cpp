#include "overlay_composition.h"

namespace textraster::gst {

GstVideoOverlayComposition* MakeComposition(const OverlayPicture& picture) {
    const tool::Image& image = picture.image;
    const gsize bytes = image.pixels.size() * sizeof(uint32_t);
    GstBuffer* pixels = gst_buffer_new_allocate(nullptr, bytes, nullptr);
    gst_buffer_fill(pixels, 0, image.pixels.data(), bytes);
    // The library's pixels are 0xAARRGGBB words: bytes B, G, R, A in memory
    // on little-endian machines, the composition's BGRA; not premultiplied.
    static_assert(G_BYTE_ORDER == G_LITTLE_ENDIAN, "the pixels are handed over as BGRA bytes");
    gst_buffer_add_video_meta(pixels, GST_VIDEO_FRAME_FLAG_NONE, GST_VIDEO_OVERLAY_COMPOSITION_FORMAT_RGB, image.width,
                              image.height);
    GstVideoOverlayRectangle* rectangle = gst_video_overlay_rectangle_new_raw(
        pixels, picture.x, picture.y, image.width, image.height, GST_VIDEO_OVERLAY_FORMAT_FLAG_NONE);
    gst_buffer_unref(pixels);
    GstVideoOverlayComposition* composition = gst_video_overlay_composition_new(rectangle);
    gst_video_overlay_rectangle_unref(rectangle);
    return composition;
}

void AttachComposition(GstBuffer* buffer, GstVideoOverlayComposition* composition) {
    GstVideoOverlayCompositionMeta* upstream = gst_buffer_get_video_overlay_composition_meta(buffer);
    if (!upstream) {
        gst_buffer_add_video_overlay_composition_meta(buffer, composition);
        return;
    }
    GstVideoOverlayComposition* merged = gst_video_overlay_composition_copy(upstream->overlay);
    for (guint i = 0; i < gst_video_overlay_composition_n_rectangles(composition); ++i)
        gst_video_overlay_composition_add_rectangle(merged,
                                                    gst_video_overlay_composition_get_rectangle(composition, i));
    gst_buffer_remove_video_overlay_composition_meta(buffer, upstream);
    gst_buffer_add_video_overlay_composition_meta(buffer, merged);
    gst_video_overlay_composition_unref(merged);
}

}  // namespace textraster::gst
