#include "textraster_overlay.h"

#include <gst/video/video.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "font_file.h"
#include "frame_blend.h"
#include "negotiation.h"
#include "overlay_composition.h"
#include "overlay_picture.h"
#include "overlay_settings.h"
#include "stream_text.h"
#include "subtitle_queue.h"

GST_DEBUG_CATEGORY_STATIC(textraster_overlay_debug);
#define GST_CAT_DEFAULT textraster_overlay_debug

namespace textraster::gst {
namespace {

// What one drawing was made from: a frame shows it again while nothing here
// changes.
struct DrawnFrom {
    OverlaySettings settings;
    std::string text;
    bool markup = false;
    gint width = 0, height = 0;

    bool operator==(const DrawnFrom& o) const {
        return settings.Drawn() == o.settings.Drawn() && text == o.text && markup == o.markup && width == o.width &&
               height == o.height;
    }
};

// The element's state, apart from its pads.
struct Overlay {
    // The properties, under the object lock.
    OverlaySettings settings;
    std::unique_ptr<FontFile> fontFile;
    std::string fontFileWarning;  // why the font file was refused, for the bus the element has yet to get

    // Shared by the two streaming threads, under `mutex`; `changed` wakes
    // whichever waits for the other.
    std::mutex mutex;
    std::condition_variable changed;
    SubtitleQueue subtitles;
    GstSegment textSegment;
    bool textLinked = false, textMarkup = true, textFlushing = false, textEos = false;
    bool videoFlushing = false, videoEos = false;

    // The video thread's own.
    GstSegment videoSegment;
    GstVideoInfo info;
    GstClockTime lastStart = 0, lastEnd = 1;  // the last timed frame's running time
    bool attach = false;                      // the text travels as meta, else it is blended
    bool drawn = false;
    DrawnFrom drawnFrom;
    OverlayPicture picture;
    GstVideoOverlayComposition* composition = nullptr;  // for the meta
    std::unique_ptr<FrameBlender> blender;              // for blending, made at the first frame that needs it

    Overlay() {
        gst_segment_init(&textSegment, GST_FORMAT_TIME);
        gst_segment_init(&videoSegment, GST_FORMAT_TIME);
        gst_video_info_init(&info);
    }
    ~Overlay() { Forget(); }

    // Drops the drawing, so that the next frame draws afresh.
    void Forget() {
        drawn = false;
        picture = {};
        blender.reset();
        if (composition) gst_video_overlay_composition_unref(composition);
        composition = nullptr;
    }
};

}  // namespace
}  // namespace textraster::gst

using textraster::gst::Overlay;
namespace tg = textraster::gst;

struct _GstTextRasterOverlay {
    GstElement parent;
    GstPad *videoSink, *textSink, *src;
    Overlay* overlay;
};

G_DEFINE_TYPE(GstTextRasterOverlay, gst_textraster_overlay, GST_TYPE_ELEMENT)

namespace {

GstStaticPadTemplate videoSinkTemplate =
    GST_STATIC_PAD_TEMPLATE("video_sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-raw(ANY)"));
GstStaticPadTemplate srcTemplate =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-raw(ANY)"));
GstStaticPadTemplate textSinkTemplate = GST_STATIC_PAD_TEMPLATE(
    "text_sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("text/x-raw, format=(string){ pango-markup, utf8 }"));

GstTextRasterOverlay* Self(GstObject* parent) {
    return GST_TEXTRASTER_OVERLAY(parent);
}

// ---- the text stream ---------------------------------------------------

// The running time of a stream time on the text pad; NONE when it is not one.
GstClockTime TextRunningTime(Overlay& o, GstClockTime time) {
    return GST_CLOCK_TIME_IS_VALID(time) ? gst_segment_to_running_time(&o.textSegment, GST_FORMAT_TIME, time)
                                         : GST_CLOCK_TIME_NONE;
}

GstFlowReturn TextChain(GstPad*, GstObject* parent, GstBuffer* buffer) {
    Overlay& o = *Self(parent)->overlay;
    std::unique_lock<std::mutex> lock(o.mutex);
    GstFlowReturn result = GST_FLOW_OK;
    GstClockTime start = GST_BUFFER_PTS(buffer), stop = GST_CLOCK_TIME_NONE;
    guint64 clipStart = start, clipStop = GST_CLOCK_TIME_NONE;
    if (GST_BUFFER_DURATION_IS_VALID(buffer) && GST_CLOCK_TIME_IS_VALID(start))
        stop = start + GST_BUFFER_DURATION(buffer);
    const bool inSegment = !GST_CLOCK_TIME_IS_VALID(start) ||
                           gst_segment_clip(&o.textSegment, GST_FORMAT_TIME, start, stop, &clipStart, &clipStop);
    // The queue waits for the video to use some of it; a stream ahead of
    // the video waits here, never the video for it.
    o.changed.wait(lock, [&] { return !o.subtitles.Full() || o.textFlushing || o.videoEos; });
    if (o.textFlushing) {
        result = GST_FLOW_FLUSHING;
    } else if (o.textEos || o.videoEos) {
        result = GST_FLOW_EOS;
    } else if (inSegment) {
        const GstClockTime runningStart = TextRunningTime(o, clipStart);
        const GstClockTime runningStop = TextRunningTime(o, clipStop);
        const GstClockTime duration = GST_CLOCK_TIME_IS_VALID(runningStart) && GST_CLOCK_TIME_IS_VALID(runningStop)
                                          ? runningStop - runningStart
                                          : GST_CLOCK_TIME_NONE;
        GstMapInfo map;
        if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            o.subtitles.Push(runningStart, duration, std::string(reinterpret_cast<const char*>(map.data), map.size));
            gst_buffer_unmap(buffer, &map);
        }
        o.changed.notify_all();
    }
    lock.unlock();
    gst_buffer_unref(buffer);
    return result;
}

gboolean TextEvent(GstPad*, GstObject* parent, GstEvent* event) {
    Overlay& o = *Self(parent)->overlay;
    std::unique_lock<std::mutex> lock(o.mutex);
    switch (GST_EVENT_TYPE(event)) {
        case GST_EVENT_CAPS: {
            GstCaps* caps;
            gst_event_parse_caps(event, &caps);
            const gchar* format = gst_structure_get_string(gst_caps_get_structure(caps, 0), "format");
            o.textMarkup = !format || g_strcmp0(format, "utf8") != 0;
            break;
        }
        case GST_EVENT_SEGMENT: {
            const GstSegment* segment;
            gst_event_parse_segment(event, &segment);
            if (segment->format == GST_FORMAT_TIME) gst_segment_copy_into(segment, &o.textSegment);
            break;
        }
        case GST_EVENT_GAP: {
            GstClockTime start, duration;
            gst_event_parse_gap(event, &start, &duration);
            const GstClockTime runningStart = TextRunningTime(o, start);
            const GstClockTime runningEnd =
                GST_CLOCK_TIME_IS_VALID(duration) ? TextRunningTime(o, start + duration) : runningStart;
            o.subtitles.Gap(runningStart,
                            GST_CLOCK_TIME_IS_VALID(runningEnd) ? runningEnd - runningStart : GST_CLOCK_TIME_NONE);
            break;
        }
        case GST_EVENT_EOS: o.textEos = true; break;
        case GST_EVENT_FLUSH_START: o.textFlushing = true; break;
        case GST_EVENT_STREAM_START:
        case GST_EVENT_FLUSH_STOP:
            o.textFlushing = o.textEos = false;
            o.subtitles.Clear();
            gst_segment_init(&o.textSegment, GST_FORMAT_TIME);
            break;
        default: break;  // tags and the like of the text stream concern no one downstream
    }
    o.changed.notify_all();
    lock.unlock();
    gst_event_unref(event);
    return TRUE;
}

GstPadLinkReturn TextLink(GstPad*, GstObject* parent, GstPad*) {
    Overlay& o = *Self(parent)->overlay;
    std::lock_guard<std::mutex> lock(o.mutex);
    o.textLinked = true;
    return GST_PAD_LINK_OK;
}

void TextUnlink(GstPad*, GstObject* parent) {
    Overlay& o = *Self(parent)->overlay;
    std::lock_guard<std::mutex> lock(o.mutex);
    o.textLinked = false;
    o.subtitles.Clear();
    o.changed.notify_all();
}

// ---- the video stream --------------------------------------------------

// The text a frame at running time [start, end) shows, and whether it is
// Pango markup; false when the video is flushing.
bool TextForFrame(Overlay& o, const tg::OverlaySettings& settings, GstClockTime start, GstClockTime end,
                  std::string& text, bool& markup) {
    std::unique_lock<std::mutex> lock(o.mutex);
    if (!o.textLinked) {
        text = settings.text, markup = true;
        return !o.videoFlushing;
    }
    const tg::SubtitleQueue::Entry* shown = nullptr;
    o.changed.wait(lock, [&] {
        bool dropped;
        shown = o.subtitles.Select(start, end, dropped);
        if (dropped) o.changed.notify_all();  // the text pad may be waiting for room
        // With wait-text, a frame waits until the stream says what it shows.
        return !settings.waitText || shown || o.subtitles.Reached(start) || o.textEos || o.textFlushing ||
               o.videoFlushing || !o.textLinked || !GST_CLOCK_TIME_IS_VALID(start);
    });
    text = shown ? shown->text : std::string(), markup = o.textMarkup;
    return !o.videoFlushing;
}

// Draws again when anything the picture depends on changed since the last
// drawing.
void Redraw(GstTextRasterOverlay* self, const tg::OverlaySettings& settings, std::string text, bool markup) {
    Overlay& o = *self->overlay;
    tg::DrawnFrom from{settings, std::move(text), markup, GST_VIDEO_INFO_WIDTH(&o.info),
                       GST_VIDEO_INFO_HEIGHT(&o.info)};
    if (o.drawn && from == o.drawnFrom) return;
    std::vector<uint32_t> memory = std::move(o.picture.image.pixels);
    o.Forget();
    std::string error;
    o.picture = tg::DrawPicture(settings, tg::ReadStreamText(from.text, from.markup), uint32_t(from.width),
                                uint32_t(from.height), std::move(memory), error);
    if (!error.empty()) GST_WARNING_OBJECT(self, "the text is not shown: %s", error.c_str());
    if (!o.picture.image.pixels.empty() && o.attach) o.composition = tg::MakeComposition(o.picture);
    o.drawn = true;
    o.drawnFrom = std::move(from);
}

GstFlowReturn Overlaid(GstTextRasterOverlay* self, GstBuffer* buffer) {
    Overlay& o = *self->overlay;
    if (o.picture.image.pixels.empty()) return gst_pad_push(self->src, buffer);
    buffer = gst_buffer_make_writable(buffer);
    if (o.attach) {
        tg::AttachComposition(buffer, o.composition);
        return gst_pad_push(self->src, buffer);
    }
    if (!o.blender) o.blender = std::make_unique<tg::FrameBlender>(o.picture, o.info);
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &o.info, buffer, GST_MAP_READWRITE)) {
        GST_WARNING_OBJECT(self, "a frame could not be mapped for writing; it goes on without text");
        return gst_pad_push(self->src, buffer);
    }
    o.blender->Blend(frame);
    gst_video_frame_unmap(&frame);
    return gst_pad_push(self->src, buffer);
}

GstFlowReturn VideoChain(GstPad*, GstObject* parent, GstBuffer* buffer) {
    GstTextRasterOverlay* self = Self(parent);
    Overlay& o = *self->overlay;
    if (gst_pad_check_reconfigure(self->src)) {
        GstCaps* caps = gst_pad_get_current_caps(self->videoSink);
        const bool ok = !caps || tg::Negotiate(self->src, caps, o.attach);
        if (caps) gst_caps_unref(caps);
        o.Forget();
        if (!ok) {
            gst_pad_mark_reconfigure(self->src);
            gst_buffer_unref(buffer);
            return GST_PAD_IS_FLUSHING(self->src) ? GST_FLOW_FLUSHING : GST_FLOW_NOT_NEGOTIATED;
        }
    }
    // The frame's place in running time; a frame without a timestamp shows
    // what the last one did.
    GstClockTime start = GST_BUFFER_PTS(buffer), end = o.lastEnd;
    if (!GST_CLOCK_TIME_IS_VALID(start)) start = o.lastStart;
    if (GST_CLOCK_TIME_IS_VALID(GST_BUFFER_PTS(buffer))) {
        GstClockTime stop = GST_CLOCK_TIME_NONE;
        if (GST_BUFFER_DURATION_IS_VALID(buffer)) {
            stop = start + GST_BUFFER_DURATION(buffer);
        } else if (GST_VIDEO_INFO_FPS_N(&o.info) > 0) {
            stop = start +
                   gst_util_uint64_scale_int(GST_SECOND, GST_VIDEO_INFO_FPS_D(&o.info), GST_VIDEO_INFO_FPS_N(&o.info));
        }
        guint64 clipStart, clipStop;
        if (!gst_segment_clip(&o.videoSegment, GST_FORMAT_TIME, start, stop, &clipStart, &clipStop)) {
            gst_buffer_unref(buffer);
            return GST_FLOW_OK;
        }
        start = gst_segment_to_running_time(&o.videoSegment, GST_FORMAT_TIME, clipStart);
        end = GST_CLOCK_TIME_IS_VALID(stop) ? gst_segment_to_running_time(&o.videoSegment, GST_FORMAT_TIME, clipStop)
                                            : start + 1;
        o.videoSegment.position = clipStart;
        o.lastStart = start, o.lastEnd = end;
    }

    tg::OverlaySettings settings;
    GST_OBJECT_LOCK(self);
    settings = o.settings;
    GST_OBJECT_UNLOCK(self);
    std::string text;
    bool markup = false;
    if (!TextForFrame(o, settings, start, end, text, markup)) {
        gst_buffer_unref(buffer);
        return GST_FLOW_FLUSHING;
    }
    Redraw(self, settings, std::move(text), markup);
    return Overlaid(self, buffer);
}

gboolean VideoEvent(GstPad* pad, GstObject* parent, GstEvent* event) {
    GstTextRasterOverlay* self = Self(parent);
    Overlay& o = *self->overlay;
    switch (GST_EVENT_TYPE(event)) {
        case GST_EVENT_CAPS: {
            GstCaps* caps;
            gst_event_parse_caps(event, &caps);
            GstVideoInfo info;
            const bool ok = gst_video_info_from_caps(&info, caps) && tg::Negotiate(self->src, caps, o.attach);
            if (ok) o.info = info;
            o.Forget();
            gst_event_unref(event);
            return ok;
        }
        case GST_EVENT_SEGMENT: {
            const GstSegment* segment;
            gst_event_parse_segment(event, &segment);
            if (segment->format == GST_FORMAT_TIME) gst_segment_copy_into(segment, &o.videoSegment);
            break;
        }
        case GST_EVENT_EOS:
        case GST_EVENT_FLUSH_START: {
            std::lock_guard<std::mutex> lock(o.mutex);
            (GST_EVENT_TYPE(event) == GST_EVENT_EOS ? o.videoEos : o.videoFlushing) = true;
            o.changed.notify_all();
            break;
        }
        case GST_EVENT_STREAM_START:
        case GST_EVENT_FLUSH_STOP: {
            std::lock_guard<std::mutex> lock(o.mutex);
            o.videoFlushing = o.videoEos = false;
            gst_segment_init(&o.videoSegment, GST_FORMAT_TIME);
            o.lastStart = 0, o.lastEnd = 1;
            break;
        }
        default: break;
    }
    return gst_pad_event_default(pad, parent, event);
}

// Answers a caps query with what `capsOf` makes of the other pad's peer;
// every other query is the default's.
gboolean CapsQuery(GstPad* pad, GstObject* parent, GstQuery* query, GstPad* other,
                   GstCaps* (*capsOf)(GstPad*, GstCaps*)) {
    if (GST_QUERY_TYPE(query) != GST_QUERY_CAPS) return gst_pad_query_default(pad, parent, query);
    GstCaps* filter;
    gst_query_parse_caps(query, &filter);
    GstCaps* caps = capsOf(other, filter);
    gst_query_set_caps_result(query, caps);
    gst_caps_unref(caps);
    return TRUE;
}

gboolean VideoSinkQuery(GstPad* pad, GstObject* parent, GstQuery* query) {
    return CapsQuery(pad, parent, query, Self(parent)->src, tg::VideoSinkCaps);
}

gboolean SrcQuery(GstPad* pad, GstObject* parent, GstQuery* query) {
    return CapsQuery(pad, parent, query, Self(parent)->videoSink, tg::SourceCaps);
}

// A seek moves the subtitles with the video; every other event goes up the
// video's way.
gboolean SrcEvent(GstPad* pad, GstObject* parent, GstEvent* event) {
    GstTextRasterOverlay* self = Self(parent);
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEEK && gst_pad_is_linked(self->textSink))
        gst_pad_push_event(self->textSink, gst_event_ref(event));
    return gst_pad_event_default(pad, parent, event);
}

// The video pads lead to each other (queries, and events other than seeks,
// pass between them); the text pad leads nowhere.
GstIterator* InternalLinks(GstPad* pad, GstObject* parent) {
    GstTextRasterOverlay* self = Self(parent);
    GstPad* other = pad == self->src ? self->videoSink : pad == self->videoSink ? self->src : nullptr;
    if (!other) return nullptr;
    GValue value = G_VALUE_INIT;
    g_value_init(&value, GST_TYPE_PAD);
    g_value_set_object(&value, other);
    GstIterator* it = gst_iterator_new_single(GST_TYPE_PAD, &value);
    g_value_unset(&value);
    return it;
}

// ---- the element -------------------------------------------------------

// Tells the application why the font file was refused: at once when the
// element is in a pipeline, else (a property set by gst-launch-1.0 as it
// builds the pipeline) when it starts. Never under the object lock, which
// posting takes.
void WarnAboutFontFile(GstTextRasterOverlay* self, std::string error) {
    GstBus* bus = gst_element_get_bus(GST_ELEMENT(self));
    if (!bus) {
        GST_OBJECT_LOCK(self);
        self->overlay->fontFileWarning = std::move(error);
        GST_OBJECT_UNLOCK(self);
        return;
    }
    gst_object_unref(bus);
    GST_ELEMENT_WARNING(self, RESOURCE, OPEN_READ, ("%s", error.c_str()), (nullptr));
}

GstStateChangeReturn ChangeState(GstElement* element, GstStateChange transition) {
    GstTextRasterOverlay* self = GST_TEXTRASTER_OVERLAY(element);
    Overlay& o = *self->overlay;
    if (transition == GST_STATE_CHANGE_NULL_TO_READY) {
        GST_OBJECT_LOCK(self);
        std::string warning = std::move(o.fontFileWarning);
        o.fontFileWarning.clear();
        GST_OBJECT_UNLOCK(self);
        if (!warning.empty()) WarnAboutFontFile(self, std::move(warning));
    }
    if (transition == GST_STATE_CHANGE_PAUSED_TO_READY) {
        // Wakes both streaming threads, whichever waits.
        std::lock_guard<std::mutex> lock(o.mutex);
        o.textFlushing = o.videoFlushing = true;
        o.changed.notify_all();
    }
    const GstStateChangeReturn result =
        GST_ELEMENT_CLASS(gst_textraster_overlay_parent_class)->change_state(element, transition);
    if (result == GST_STATE_CHANGE_FAILURE) return result;
    if (transition == GST_STATE_CHANGE_READY_TO_PAUSED) {
        std::lock_guard<std::mutex> lock(o.mutex);
        o.textFlushing = o.videoFlushing = o.textEos = o.videoEos = false;
        o.subtitles.Clear();
        gst_segment_init(&o.textSegment, GST_FORMAT_TIME);
        gst_segment_init(&o.videoSegment, GST_FORMAT_TIME);
    }
    if (transition == GST_STATE_CHANGE_PAUSED_TO_READY) o.Forget();
    return result;
}

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* param) {
    GstTextRasterOverlay* self = GST_TEXTRASTER_OVERLAY(object);
    Overlay& o = *self->overlay;
    if (id < tg::kPropText || id > tg::kPropWaitText) {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, param);
        return;
    }
    std::string error;
    GST_OBJECT_LOCK(self);
    if (id == tg::kPropFontFile) {
        const gchar* path = g_value_get_string(value);
        // The old file goes first: the same path registered again must stay.
        o.fontFile.reset();
        o.settings.fontFile = path ? path : "";
        o.settings.fontFileName.clear();
        o.fontFileWarning.clear();
        if (!o.settings.fontFile.empty()) o.fontFile = tg::FontFile::Register(o.settings.fontFile, error);
        if (o.fontFile) o.settings.fontFileName = o.fontFile->fullName();
    } else {
        tg::SetProperty(o.settings, id, value);
    }
    GST_OBJECT_UNLOCK(self);
    if (!error.empty()) WarnAboutFontFile(self, error);
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* param) {
    GstTextRasterOverlay* self = GST_TEXTRASTER_OVERLAY(object);
    if (id < tg::kPropText || id > tg::kPropWaitText) {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, param);
        return;
    }
    GST_OBJECT_LOCK(self);
    tg::GetProperty(self->overlay->settings, id, value);
    GST_OBJECT_UNLOCK(self);
}

void Finalize(GObject* object) {
    delete GST_TEXTRASTER_OVERLAY(object)->overlay;
    G_OBJECT_CLASS(gst_textraster_overlay_parent_class)->finalize(object);
}

}  // namespace

static void gst_textraster_overlay_class_init(GstTextRasterOverlayClass* klass) {
    GST_DEBUG_CATEGORY_INIT(textraster_overlay_debug, "textrasteroverlay", 0, "textraster text overlay");
    GObjectClass* object = G_OBJECT_CLASS(klass);
    object->set_property = SetProperty;
    object->get_property = GetProperty;
    object->finalize = Finalize;
    tg::InstallProperties(object);
    GstElementClass* element = GST_ELEMENT_CLASS(klass);
    element->change_state = ChangeState;
    gst_element_class_add_static_pad_template(element, &videoSinkTemplate);
    gst_element_class_add_static_pad_template(element, &textSinkTemplate);
    gst_element_class_add_static_pad_template(element, &srcTemplate);
    gst_element_class_set_static_metadata(
        element, "Text raster overlay", "Filter/Editor/Video/Overlay/Subtitle",
        "Draws subtitles and other text over video with the textraster library: any script, right to left, "
        "vertical columns, outlines",
        "textraster");
}

static void gst_textraster_overlay_init(GstTextRasterOverlay* self) {
    self->overlay = new Overlay;
    GstElementClass* klass = GST_ELEMENT_GET_CLASS(self);

    self->videoSink = gst_pad_new_from_template(gst_element_class_get_pad_template(klass, "video_sink"), "video_sink");
    gst_pad_set_chain_function(self->videoSink, VideoChain);
    gst_pad_set_event_function(self->videoSink, VideoEvent);
    gst_pad_set_query_function(self->videoSink, VideoSinkQuery);
    gst_pad_set_iterate_internal_links_function(self->videoSink, InternalLinks);
    GST_PAD_SET_PROXY_ALLOCATION(self->videoSink);
    gst_element_add_pad(GST_ELEMENT(self), self->videoSink);

    self->textSink = gst_pad_new_from_template(gst_element_class_get_pad_template(klass, "text_sink"), "text_sink");
    gst_pad_set_chain_function(self->textSink, TextChain);
    gst_pad_set_event_function(self->textSink, TextEvent);
    gst_pad_set_link_function(self->textSink, TextLink);
    gst_pad_set_unlink_function(self->textSink, TextUnlink);
    gst_pad_set_iterate_internal_links_function(self->textSink, InternalLinks);
    gst_element_add_pad(GST_ELEMENT(self), self->textSink);

    self->src = gst_pad_new_from_template(gst_element_class_get_pad_template(klass, "src"), "src");
    gst_pad_set_event_function(self->src, SrcEvent);
    gst_pad_set_query_function(self->src, SrcQuery);
    gst_pad_set_iterate_internal_links_function(self->src, InternalLinks);
    gst_element_add_pad(GST_ELEMENT(self), self->src);
}
