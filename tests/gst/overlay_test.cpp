// textrasteroverlay through GstHarness, as pipelines use it: the plugin as
// built (GST_PLUGIN_PATH), frames pushed in and pulled out, the library's
// own RenderText as the reference.
#include <gst/check/gstharness.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "textraster.h"

namespace {

constexpr gint kWidth = 320, kHeight = 120, kPad = 10;
constexpr GstClockTime kFrame = GST_SECOND / 10;

class GstInit : public ::testing::Environment {
    void SetUp() override { gst_init(nullptr, nullptr); }
};
::testing::Environment* const kGstInit = ::testing::AddGlobalTestEnvironment(new GstInit);

// The element between harnesses: `video` feeds video_sink and takes src,
// `text` feeds text_sink. With `meta`, downstream takes the overlay as meta.
struct Overlay {
    GstHarness* video;
    GstHarness* text = nullptr;

    Overlay(const char* format, bool meta, bool textPad = false) {
        video = gst_harness_new_with_padnames("textrasteroverlay", "video_sink", "src");
        // BT.709, as GStreamer's own blending converts overlays whatever the frame.
        const bool yuv = format[0] == 'I' || format[0] == 'N';
        const std::string caps = std::string("video/x-raw, format=") + format + ", width=" + std::to_string(kWidth) +
                                 ", height=" + std::to_string(kHeight) + ", framerate=10/1" +
                                 (yuv ? ", colorimetry=bt709" : "");
        gst_harness_set_src_caps_str(video, caps.c_str());
        std::string out = caps;
        if (meta) {
            out.insert(strlen("video/x-raw"), "(" GST_CAPS_FEATURE_META_GST_VIDEO_OVERLAY_COMPOSITION ")");
            gst_harness_add_propose_allocation_meta(video, GST_VIDEO_OVERLAY_COMPOSITION_META_API_TYPE, nullptr);
        }
        gst_harness_set_sink_caps_str(video, out.c_str());
        g_object_set(video->element, "font", "DejaVu Sans", "font-height", 24, "outline-width", 0, "halignment", 0,
                     "valignment", 2, "line-alignment", 0, "xpad", kPad, "ypad", kPad, "wrap-mode", -1, nullptr);
        if (textPad) {
            text = gst_harness_new_with_element(video->element, "text_sink", nullptr);
            gst_harness_set_src_caps_str(text, "text/x-raw, format=utf8");
        }
    }
    ~Overlay() {
        if (text) gst_harness_teardown(text);
        gst_harness_teardown(video);
    }
    GstBuffer* Push(GstBuffer* frame, GstClockTime pts = 0) {
        GST_BUFFER_PTS(frame) = pts, GST_BUFFER_DURATION(frame) = kFrame;
        const GstFlowReturn flow = gst_harness_push(video, frame);
        EXPECT_EQ(flow, GST_FLOW_OK);
        return flow == GST_FLOW_OK ? gst_harness_pull(video) : gst_buffer_new();
    }
};

// A frame of `format` with `padding` bytes after each row of each plane,
// its visible bytes a pattern that differs in every channel; opaque.
GstBuffer* Frame(GstVideoFormat format, gsize padding = 0) {
    GstVideoInfo info;
    gst_video_info_set_format(&info, format, kWidth, kHeight);
    gsize offset[GST_VIDEO_MAX_PLANES] = {}, size = 0;
    gint stride[GST_VIDEO_MAX_PLANES] = {};
    for (guint p = 0; p < GST_VIDEO_INFO_N_PLANES(&info); ++p) {
        stride[p] = gint(GST_VIDEO_INFO_PLANE_STRIDE(&info, p) + padding);
        offset[p] = size;
        size += gsize(stride[p]) * GST_VIDEO_INFO_COMP_HEIGHT(&info, p);
    }
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, size, nullptr);
    gst_buffer_memset(buffer, 0, 0xEE, size);
    gst_buffer_add_video_meta_full(buffer, GST_VIDEO_FRAME_FLAG_NONE, format, kWidth, kHeight,
                                   GST_VIDEO_INFO_N_PLANES(&info), offset, stride);
    GstVideoFrame frame;
    gst_video_frame_map(&frame, &info, buffer, GST_MAP_WRITE);
    for (guint p = 0; p < GST_VIDEO_FRAME_N_PLANES(&frame); ++p) {
        auto* data = static_cast<guint8*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, p));
        for (gint y = 0; y < GST_VIDEO_FRAME_COMP_HEIGHT(&frame, p); ++y)
            for (gint x = 0; x < GST_VIDEO_INFO_PLANE_STRIDE(&info, p); ++x)
                data[y * GST_VIDEO_FRAME_PLANE_STRIDE(&frame, p) + x] =
                    GST_VIDEO_INFO_HAS_ALPHA(&info) && x % 4 == 3 ? 255 : guint8(x * 3 + y * 5 + p * 60);
    }
    gst_video_frame_unmap(&frame);
    return buffer;
}

// Every sample of every component (R G B A, or Y U V), component after
// component, whatever the planes and strides.
std::vector<int> Samples(GstBuffer* buffer, GstVideoFormat format) {
    GstVideoInfo info;
    gst_video_info_set_format(&info, format, kWidth, kHeight);
    GstVideoFrame frame;
    EXPECT_TRUE(gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ));
    std::vector<int> samples;
    for (guint c = 0; c < GST_VIDEO_FRAME_N_COMPONENTS(&frame); ++c) {
        const auto* data = static_cast<const guint8*>(GST_VIDEO_FRAME_COMP_DATA(&frame, c));
        for (gint y = 0; y < GST_VIDEO_FRAME_COMP_HEIGHT(&frame, c); ++y)
            for (gint x = 0; x < GST_VIDEO_FRAME_COMP_WIDTH(&frame, c); ++x)
                samples.push_back(
                    data[y * GST_VIDEO_FRAME_COMP_STRIDE(&frame, c) + x * GST_VIDEO_FRAME_COMP_PSTRIDE(&frame, c)]);
    }
    gst_video_frame_unmap(&frame);
    return samples;
}

GstVideoOverlayRectangle* OnlyRectangle(GstBuffer* buffer) {
    GstVideoOverlayCompositionMeta* meta = gst_buffer_get_video_overlay_composition_meta(buffer);
    if (!meta || gst_video_overlay_composition_n_rectangles(meta->overlay) != 1) return nullptr;
    return gst_video_overlay_composition_get_rectangle(meta->overlay, 0);
}

std::vector<uint32_t> Pixels(GstVideoOverlayRectangle* rectangle) {
    GstBuffer* pixels =
        gst_video_overlay_rectangle_get_pixels_unscaled_argb(rectangle, GST_VIDEO_OVERLAY_FORMAT_FLAG_NONE);
    std::vector<uint32_t> out(gst_buffer_get_size(pixels) / 4);
    gst_buffer_extract(pixels, 0, out.data(), out.size() * 4);
    return out;
}

std::vector<gint64> Geometry(GstVideoOverlayRectangle* rectangle) {
    gint x, y;
    guint width, height;
    gst_video_overlay_rectangle_get_render_rectangle(rectangle, &x, &y, &width, &height);
    return {x, y, width, height};
}

std::u16string Utf16(const char* utf8) {
    gunichar2* units = g_utf8_to_utf16(utf8, -1, nullptr, nullptr, nullptr);
    std::u16string text(reinterpret_cast<const char16_t*>(units));
    g_free(units);
    return text;
}

// What the library itself draws for the element's settings above: lines of
// DejaVu Sans at a cell height of 24 in `argb` (textoverlay's colours), in
// a region of `width` x `height` (0 x 0: measured tight) at (0, 0).
struct Reference {
    std::vector<uint32_t> pixels;
    uint16_t width, height;

    Reference(const std::u16string& text, uint32_t argb, uint16_t w = 0, uint16_t h = 0, int32_t writingMode = 1,
              int32_t alignment = 1)
        : width(w), height(h) {
        TextLayoutParams r{};
        r.size = sizeof r;
        r.topDown = 1;
        r.textColor = (argb & 0xFF00FF00u) | (argb >> 16 & 0xFF) | (argb & 0xFF) << 16;
        r.faceName = u"DejaVu Sans";
        r.fontHeight = r.linePitch = 24;
        r.newlineMode = 2;
        r.writingMode = writingMode, r.alignment = alignment;
        r.regionWidth = kWidth - 2 * kPad;
        if (!w) {
            EXPECT_EQ(ComputeTextRegionSize(text.c_str(), &r, nullptr, &width, &height, nullptr), TR_OK);
        }
        r.regionWidth = r.bufferWidth = width, r.regionHeight = r.bufferHeight = height;
        r.bufferSize = uint32_t(width) * height * 4;
        pixels.resize(size_t(width) * height);
        EXPECT_EQ(RenderText(text.c_str(), &r, pixels.data(), nullptr, nullptr, nullptr), TR_OK);
    }
};

TEST(Overlay, ABlendedFrameIsTheLibrarysDrawingLaidOverIt) {
    Overlay o("BGRA", false);
    g_object_set(o.video->element, "text", "Hello, world", "color", 0xFFFFD700u, nullptr);
    GstBuffer* in = Frame(GST_VIDEO_FORMAT_BGRA);
    std::vector<int> expected = Samples(in, GST_VIDEO_FORMAT_BGRA);  // R, G, B, A
    const Reference text(u"Hello, world", 0xFFFFD700u);
    for (uint32_t y = 0; y < text.height; ++y) {
        for (uint32_t x = 0; x < text.width; ++x) {
            const uint32_t p = text.pixels[y * text.width + x], a = p >> 24;
            for (uint32_t c = 0; c < 4; ++c) {
                const uint32_t top = c == 3 ? 255 : p >> (16 - 8 * c) & 0xFF;
                int& d = expected[(c * kHeight + y + kPad) * kWidth + x + kPad];
                d = int((top * a + uint32_t(d) * (255 - a) + 127) / 255);
            }
        }
    }
    GstBuffer* out = o.Push(in);
    EXPECT_EQ(Samples(out, GST_VIDEO_FORMAT_BGRA), expected);
    EXPECT_FALSE(gst_buffer_get_video_overlay_composition_meta(out));
    gst_buffer_unref(out);
}

TEST(Overlay, DownstreamThatTakesTheMetaGetsTheDrawingAsOneRectangle) {
    Overlay o("I420", true);
    g_object_set(o.video->element, "text", "Hello, world", nullptr);
    GstBuffer* in = Frame(GST_VIDEO_FORMAT_I420);
    const std::vector<int> before = Samples(in, GST_VIDEO_FORMAT_I420);
    GstBuffer* out = o.Push(in);
    EXPECT_EQ(Samples(out, GST_VIDEO_FORMAT_I420), before) << "the frame is left alone";
    GstVideoOverlayRectangle* rectangle = OnlyRectangle(out);
    ASSERT_TRUE(rectangle);
    gint x, y;
    guint width, height;
    gst_video_overlay_rectangle_get_render_rectangle(rectangle, &x, &y, &width, &height);
    const Reference text(u"Hello, world", 0xFFFFFFFFu);
    EXPECT_EQ(x, kPad);
    EXPECT_EQ(y, kPad);
    ASSERT_EQ(width, text.width);
    ASSERT_EQ(height, text.height);
    EXPECT_EQ(gst_video_overlay_rectangle_get_flags(rectangle), GST_VIDEO_OVERLAY_FORMAT_FLAG_NONE);
    EXPECT_EQ(Pixels(rectangle), text.pixels) << "straight alpha, as RenderText draws it";
    gst_buffer_unref(out);
}

// Emoji reach the element through the library alone, in their colours.
TEST(Overlay, EmojiAreTheLibrarysInTheirColours) {
    Overlay o("BGRA", true);
    g_object_set(o.video->element, "text", "\xF0\x9F\x8E\x89\xF0\x9F\x94\xA5", nullptr);
    GstBuffer* out = o.Push(Frame(GST_VIDEO_FORMAT_BGRA));
    GstVideoOverlayRectangle* rectangle = OnlyRectangle(out);
    ASSERT_TRUE(rectangle);
    const std::vector<uint32_t> pixels = Pixels(rectangle);
    EXPECT_EQ(pixels, Reference(u"\U0001F389\U0001F525", 0xFFFFFFFFu).pixels);
    const auto hued = std::count_if(pixels.begin(), pixels.end(), [](uint32_t p) {
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return (p >> 24) > 0 && std::max({r, g, b}) - std::min({r, g, b}) > 64;
    });
    EXPECT_GT(hued, 200);
    gst_buffer_unref(out);
}

// Each line of a cue reads in its own direction, as the tool draws it: a
// Hebrew line above its English (or below it), a line of no strong letter
// taking the direction of the line before it. The picture is each line as
// the library draws it alone in that direction, at the picture's width,
// lined up on the left (the line's end when it reads right to left).
TEST(Overlay, EachLineOfACueReadsInItsOwnDirection) {
    enum { kLtr = 1, kRtl = 2 };
    const struct {
        const char* text;
        std::vector<int32_t> directions;
    } cases[] = {
        {"\u05E9\u05DC\u05D5\u05DD!\nHello!", {kRtl, kLtr}},
        {"Hello!\n\u05E9\u05DC\u05D5\u05DD!", {kLtr, kRtl}},
        {"...\n\u05E9\u05DC\u05D5\u05DD!", {kRtl, kRtl}},
        {"\u05E9\u05DC\u05D5\u05DD!\n123!", {kRtl, kRtl}},
    };
    for (const auto& c : cases) {
        Overlay o("BGRA", true);
        g_object_set(o.video->element, "text", c.text, nullptr);
        GstBuffer* out = o.Push(Frame(GST_VIDEO_FORMAT_BGRA));
        GstVideoOverlayRectangle* rectangle = OnlyRectangle(out);
        ASSERT_TRUE(rectangle) << c.text;
        const std::vector<gint64> geometry = Geometry(rectangle);
        ASSERT_EQ(geometry[3], 24 * gint64(c.directions.size())) << c.text;
        const std::u16string text = Utf16(c.text);
        std::vector<uint32_t> expected;
        for (size_t k = 0, start = 0; k < c.directions.size(); ++k) {
            const size_t end = std::min(text.find(u'\n', start), text.size());
            const Reference line(text.substr(start, end - start), 0xFFFFFFFFu, uint16_t(geometry[2]), 24,
                                 c.directions[k], c.directions[k] == kRtl ? 3 : 1);
            expected.insert(expected.end(), line.pixels.begin(), line.pixels.end());
            start = end + 1;
        }
        EXPECT_EQ(Pixels(rectangle), expected) << c.text;
        gst_buffer_unref(out);
    }
}

// A line that fits is drawn whole, however its prefixes measure: in Arabic
// a word cut short ends in a wider final form, so a prefix of this line is
// longer than the line itself, and wrapping at the line's own extent would
// break off (and clip away) its last word.
TEST(Overlay, ALineThatFitsIsDrawnWhole) {
    const char* texts[] = {
        "\u0627\u0633\u0645 \u0627\u0644\u0645\u0644\u0641 \u0627\u0644\u0645\u0646\u062A\u0642\u0649 "
        "\u062D\u0627\u0644\u064A\u0627",
        "Hello, world",
    };
    for (const char* text : texts) {
        Overlay o("BGRA", true);
        g_object_set(o.video->element, "text", text, "wrap-mode", 0, nullptr);
        GstBuffer* out = o.Push(Frame(GST_VIDEO_FORMAT_BGRA));
        GstVideoOverlayRectangle* rectangle = OnlyRectangle(out);
        ASSERT_TRUE(rectangle) << text;
        const bool rtl = text[0] != 'H';
        EXPECT_EQ(Pixels(rectangle), Reference(Utf16(text), 0xFFFFFFFFu, 0, 0, rtl ? 2 : 1).pixels) << text;
        gst_buffer_unref(out);
    }
}

// Which cue a frame shows, by the width of its rectangle: '.' none, 'i' a
// narrow one, 'm' a wide one.
char Shown(GstBuffer* frame) {
    GstVideoOverlayRectangle* rectangle = OnlyRectangle(frame);
    if (!rectangle) return '.';
    guint width, height;
    gst_video_overlay_rectangle_get_render_rectangle(rectangle, nullptr, nullptr, &width, &height);
    return width < 30 ? 'i' : 'm';
}

TEST(Overlay, SubtitlesShowForTheirTimesAndNeverHoldTheVideoUp) {
    constexpr int64_t kOpen = -1, kGap = -2;  // no duration; a gap event
    struct Cue {
        int64_t startMs, durationMs;  // a start of kOpen: no timestamp
        const char* text;
    };
    const struct {
        const char* name;
        std::vector<Cue> cues;
        const char* shown;  // frame by frame, 100 ms each
    } cases[] = {
        {"timed", {{200, 300, "i"}}, "..iii...."},
        {"back to back", {{100, 200, "i"}, {300, 200, "mmmm"}}, ".iimm...."},
        {"a cue over part of a frame", {{150, 100, "i"}}, ".ii......"},
        {"no duration: until the next", {{200, kOpen, "i"}, {500, 200, "mmmm"}}, "..iiimm.."},
        {"no duration: until a gap", {{200, kOpen, "i"}, {500, kGap, ""}}, "..iii...."},
        {"no duration: to the end", {{200, kOpen, "i"}}, "..iiiiiii"},
        {"no timestamp: at once", {{kOpen, kOpen, "i"}}, "iiiiiiiii"},
        {"nothing sent", {}, "........."},
    };
    for (const auto& c : cases) {
        Overlay o("BGRA", true, true);
        for (const Cue& cue : c.cues) {
            if (cue.durationMs == kGap) {
                gst_harness_push_event(o.text, gst_event_new_gap(cue.startMs * GST_MSECOND, GST_CLOCK_TIME_NONE));
                continue;
            }
            GstBuffer* b = gst_buffer_new_memdup(cue.text, strlen(cue.text));
            GST_BUFFER_PTS(b) = cue.startMs == kOpen ? GST_CLOCK_TIME_NONE : cue.startMs * GST_MSECOND;
            GST_BUFFER_DURATION(b) = cue.durationMs == kOpen ? GST_CLOCK_TIME_NONE : cue.durationMs * GST_MSECOND;
            ASSERT_EQ(gst_harness_push(o.text, b), GST_FLOW_OK) << c.name;
        }
        std::string shown;
        for (size_t i = 0; i < strlen(c.shown); ++i) {
            GstBuffer* out = o.Push(Frame(GST_VIDEO_FORMAT_BGRA), i * kFrame);
            shown += Shown(out);
            gst_buffer_unref(out);
        }
        EXPECT_EQ(shown, c.shown) << c.name;
    }
}

// GStreamer's own blending of `composition` over `frame`, as the reference.
// A 4:2:0 frame is blended pixel by pixel in AYUV (each pixel with its
// block's chroma) and each block's chroma then averaged: what blending into
// subsampled chroma should give.
std::vector<int> GStreamerBlend(GstVideoOverlayComposition* composition, GstBuffer* frame, GstVideoFormat format) {
    const bool yuv = format == GST_VIDEO_FORMAT_I420 || format == GST_VIDEO_FORMAT_NV12;
    const std::vector<int> in = Samples(frame, format);
    const GstVideoFormat work = yuv ? GST_VIDEO_FORMAT_AYUV : format;
    GstVideoInfo info;
    gst_video_info_set_format(&info, work, kWidth, kHeight);
    GstBuffer* buffer = yuv ? gst_buffer_new_allocate(nullptr, info.size, nullptr) : gst_buffer_copy_deep(frame);
    GstVideoFrame f;
    gst_video_frame_map(&f, &info, buffer, GST_MAP_READWRITE);
    const size_t chroma = size_t(kWidth / 2) * (kHeight / 2);
    for (gint y = 0; yuv && y < kHeight; ++y) {
        for (gint x = 0; x < kWidth; ++x) {
            auto* d = static_cast<guint8*>(GST_VIDEO_FRAME_PLANE_DATA(&f, 0)) + y * f.info.stride[0] + x * 4;
            const size_t block = size_t(y / 2) * (kWidth / 2) + x / 2, luma = size_t(kWidth) * kHeight;
            d[0] = 255, d[1] = guint8(in[size_t(y) * kWidth + x]);
            d[2] = guint8(in[luma + block]), d[3] = guint8(in[luma + chroma + block]);
        }
    }
    gst_video_overlay_composition_blend(composition, &f);
    gst_video_frame_unmap(&f);
    std::vector<int> out = Samples(buffer, work);
    gst_buffer_unref(buffer);
    if (!yuv) return out;
    // AYUV's components come as Y, U, V, A: keep Y, average U and V.
    std::vector<int> blended(out.begin(), out.begin() + kWidth * kHeight);
    for (int c = 1; c <= 2; ++c) {
        const int* plane = &out[size_t(c) * kWidth * kHeight];
        for (gint y = 0; y < kHeight; y += 2)
            for (gint x = 0; x < kWidth; x += 2)
                blended.push_back((plane[y * kWidth + x] + plane[y * kWidth + x + 1] + plane[(y + 1) * kWidth + x] +
                                   plane[(y + 1) * kWidth + x + 1] + 2) /
                                  4);
    }
    return blended;
}

TEST(Overlay, EveryFormatAndStrideIsBlendedAsGStreamerBlendsTheMeta) {
    const struct {
        const char* name;
        GstVideoFormat format;
    } cases[] = {
        {"BGRA", GST_VIDEO_FORMAT_BGRA},
        {"RGBA", GST_VIDEO_FORMAT_RGBA},
        {"I420", GST_VIDEO_FORMAT_I420},
        {"NV12", GST_VIDEO_FORMAT_NV12},
    };
    for (const auto& c : cases) {
        GstVideoOverlayComposition* composition;
        {
            Overlay meta(c.name, true);
            g_object_set(meta.video->element, "text", "Hello, world", "color", 0xFFFFD700u, "outline-width", 2,
                         nullptr);
            GstBuffer* out = meta.Push(Frame(c.format));
            GstVideoOverlayCompositionMeta* attached = gst_buffer_get_video_overlay_composition_meta(out);
            ASSERT_TRUE(attached) << c.name;
            composition = gst_video_overlay_composition_ref(attached->overlay);
            gst_buffer_unref(out);
        }
        GstBuffer* frame = Frame(c.format);
        const std::vector<int> before = Samples(frame, c.format),
                               expected = GStreamerBlend(composition, frame, c.format);
        gst_buffer_unref(frame);
        gst_video_overlay_composition_unref(composition);

        for (gsize padding : {gsize(0), gsize(36)}) {
            Overlay o(c.name, false);
            g_object_set(o.video->element, "text", "Hello, world", "color", 0xFFFFD700u, "outline-width", 2, nullptr);
            GstBuffer* out = o.Push(Frame(c.format, padding));
            const std::vector<int> got = Samples(out, c.format);
            gst_buffer_unref(out);
            ASSERT_EQ(got.size(), expected.size());
            size_t changed = 0, far = 0;
            for (size_t i = 0; i < got.size(); ++i) {
                changed += got[i] != before[i];
                far += std::abs(got[i] - expected[i]) > 1;  // rounding
            }
            EXPECT_GT(changed, 1000u) << c.name << " padding " << padding;
            EXPECT_EQ(far, 0u) << c.name << " padding " << padding;
        }
    }
}

TEST(Overlay, APropertyChangedBetweenFramesIsDrawnAtTheNextOne) {
    enum { kX, kY, kWidthChanges, kHeightChanges, kPixels };
    const struct {
        const char* property;
        const char* value;
        int changes;
    } cases[] = {
        {"text", "Other", kWidthChanges},      {"font-height", "30", kHeightChanges},
        {"halignment", "right", kX},           {"ypad", "40", kY},
        {"outline-width", "3", kWidthChanges}, {"color", "4294901760", kPixels},
        {"font", "DejaVu Serif", kPixels},     {"silent", "true", -1},
        {"text", "{\\an2}Hello", kY},  // the cue's own position code: at the bottom
    };
    for (const auto& c : cases) {
        Overlay o("BGRA", true);
        g_object_set(o.video->element, "text", "Hello", nullptr);
        GstBuffer* first = o.Push(Frame(GST_VIDEO_FORMAT_BGRA), 0);
        GstBuffer* second = o.Push(Frame(GST_VIDEO_FORMAT_BGRA), kFrame);
        EXPECT_EQ(OnlyRectangle(first), OnlyRectangle(second)) << c.property << ": nothing changed, nothing drawn";
        gst_util_set_object_arg(G_OBJECT(o.video->element), c.property, c.value);
        GstBuffer* third = o.Push(Frame(GST_VIDEO_FORMAT_BGRA), 2 * kFrame);
        GstVideoOverlayRectangle *before = OnlyRectangle(second), *after = OnlyRectangle(third);
        ASSERT_TRUE(before) << c.property;
        if (c.changes < 0) {
            EXPECT_FALSE(after) << c.property;
        } else if (c.changes == kPixels) {
            ASSERT_TRUE(after) << c.property;
            EXPECT_NE(Pixels(before), Pixels(after)) << c.property;
        } else {
            ASSERT_TRUE(after) << c.property;
            EXPECT_NE(Geometry(before)[size_t(c.changes)], Geometry(after)[size_t(c.changes)]) << c.property;
        }
        for (GstBuffer* b : {first, second, third}) gst_buffer_unref(b);
    }
}

}  // namespace
