// One run of a video pipeline with text over it, for the overlay table
// (bench/overlay_report.py runs every contender, interleaved, and prints
// it): 300 frames of videotestsrc at 25 frames a second into fakesink, the
// text fixed or a new subtitle every frame, and what the run cost.
//
//   overlay_bench CONTENDER WIDTHxHEIGHT FORMAT TEXT SRT [FRAMES]
//
// CONTENDER: none (the plain pipeline), subparse (the plain pipeline beside
// the subtitle file parsed into a fakesink of its own), textraster,
// textraster-plain, textoverlay, textoverlay-plain, assrender ("-plain":
// neither outline nor shadow). TEXT: fixed or subtitles.
// SRT: the subtitle file (written first with `overlay_bench srt FILE`: a
// 40 ms cue per frame, the corpus's languages in turn). Prints the CPU
// seconds of every thread from PLAYING to EOS and the process's peak
// resident memory in KiB.
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/corpus.h"

namespace {

using textraster::bench::CorpusUtf8;
using textraster::bench::Languages;

constexpr int kFramesPerSecond = 25;
constexpr GstClockTime kCue = GST_SECOND / kFramesPerSecond;
// Subtitles at a twentieth of the frame's height (the cell), in DejaVu
// Sans, outlined at a seventeenth of that: about what textoverlay draws
// around a face of that size.
constexpr double kCellOfHeight = 0.05;
constexpr double kOutlineOfCell = 1.0 / 17;
// DejaVu Sans's cell (ascent plus descent) in ems: textoverlay takes the
// em size.
constexpr double kDejaVuCellInEms = 1.164;

// The corpus's lines, a language at a time in turn.
std::vector<std::string> CueTexts(size_t count) {
    std::vector<std::vector<std::string>> corpus;
    for (const auto& language : Languages()) corpus.push_back(CorpusUtf8(language.code));
    std::vector<std::string> texts;
    for (size_t i = 0; i < count; ++i) {
        const auto& lines = corpus[i % corpus.size()];
        texts.push_back(lines[(i / corpus.size()) % lines.size()]);
    }
    return texts;
}

std::string SrtTime(GstClockTime t) {
    const unsigned long ms = (unsigned long)(t / GST_MSECOND);
    char s[32];
    std::snprintf(s, sizeof s, "%02lu:%02lu:%02lu,%03lu", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    return s;
}

// Text escaped for Pango markup and SubRip alike.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    return out;
}

int WriteSrt(const char* path, size_t count) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return 1;
    const std::vector<std::string> texts = CueTexts(count);
    for (size_t i = 0; i < count; ++i)
        std::fprintf(f, "%zu\n%s --> %s\n%s\n\n", i + 1, SrtTime(i * kCue).c_str(), SrtTime((i + 1) * kCue).c_str(),
                     Escaped(texts[i]).c_str());
    return std::fclose(f) == 0 ? 0 : 1;
}

// The ASS header assrender takes as codec data: one style like the others'
// look (white, outlined, no shadow, bottom centre), in frame pixels.
std::string AssHeader(int width, int height, int cell, int outline) {
    return "[Script Info]\nScriptType: v4.00+\nPlayResX: " + std::to_string(width) +
           "\nPlayResY: " + std::to_string(height) +
           "\nWrapStyle: 0\n\n[V4+ Styles]\nFormat: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, "
           "OutlineColour, BackColour, Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, "
           "BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\nStyle: Default,DejaVu Sans," +
           std::to_string(cell) + ",&H00FFFFFF,&H000000FF,&H00000000,&H00000000,0,0,0,0,100,100,0,0,1," +
           std::to_string(outline) +
           ",0,2,25,25,25,1\n\n[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, "
           "Effect, Text\n";
}

void PushAss(GstElement* appsrc, const std::vector<std::string>& texts, GstClockTime duration) {
    for (size_t i = 0; i < texts.size(); ++i) {
        // A Matroska ASS block: ReadOrder, Layer, Style, Name, margins, Effect, Text.
        const std::string event = std::to_string(i) + ",0,Default,,0,0,0,," + texts[i];
        GstBuffer* b = gst_buffer_new_memdup(event.data(), event.size());
        GST_BUFFER_PTS(b) = i * duration, GST_BUFFER_DURATION(b) = duration;
        gst_app_src_push_buffer(GST_APP_SRC(appsrc), b);
    }
    gst_app_src_end_of_stream(GST_APP_SRC(appsrc));
}

double CpuSeconds() {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    gst_init(&argc, &argv);
    if (argc == 3 && std::string(argv[1]) == "srt") return WriteSrt(argv[2], 300);
    if (argc < 6) {
        std::fprintf(stderr, "usage: overlay_bench CONTENDER WIDTHxHEIGHT FORMAT fixed|subtitles SRT [FRAMES]\n");
        return 2;
    }
    const std::string contender = argv[1], format = argv[3], mode = argv[4], srt = argv[5];
    const int frames = argc > 6 ? std::atoi(argv[6]) : 300;
    int width = 0, height = 0;
    std::sscanf(argv[2], "%dx%d", &width, &height);
    const int cell = int(std::lround(height * kCellOfHeight)), outline = int(std::lround(cell * kOutlineOfCell));
    const bool subtitles = mode == "subtitles", plain = contender.find("-plain") != std::string::npos;
    const std::string fixed = CueTexts(1)[0];

    const std::string video = "videotestsrc num-buffers=" + std::to_string(frames) + " ! video/x-raw,format=" + format +
                              ",width=" + std::to_string(width) + ",height=" + std::to_string(height) +
                              ",framerate=" + std::to_string(kFramesPerSecond) + "/1 ! ";
    const std::string sink = " ! fakesink sync=false", parsed = " filesrc location=\"" + srt + "\" ! subparse";
    const std::string subparse = parsed + " ! overlay.text_sink";
    std::string launch;
    if (contender == "none") {
        launch = video + "fakesink sync=false";
    } else if (contender == "subparse") {
        launch = video + "fakesink sync=false" + parsed + sink;
    } else if (contender.rfind("textraster", 0) == 0) {
        launch = video + "textrasteroverlay name=overlay font=\"DejaVu Sans\" wait-text=true font-height=" +
                 std::to_string(cell) + " outline-width=" + std::to_string(plain ? 0 : outline) +
                 (subtitles ? "" : " text=\"" + Escaped(fixed) + "\"") + sink + (subtitles ? subparse : "");
    } else if (contender.rfind("textoverlay", 0) == 0) {
        launch = video + "textoverlay name=overlay auto-resize=false font-desc=\"DejaVu Sans " +
                 std::to_string(std::lround(cell / kDejaVuCellInEms)) + "px\"" +
                 (plain ? " draw-outline=false draw-shadow=false" : "") +
                 (subtitles ? "" : " text=\"" + Escaped(fixed) + "\"") + sink + (subtitles ? subparse : "");
    } else if (contender == "assrender") {
        launch = video + "assrender name=overlay wait-text=true" + sink + " appsrc name=ass ! overlay.text_sink";
    } else {
        std::fprintf(stderr, "unknown contender %s\n", contender.c_str());
        return 2;
    }
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(launch.c_str(), &error);
    if (!pipeline || error) {
        std::fprintf(stderr, "%s: %s\n", launch.c_str(), error ? error->message : "no pipeline");
        return 1;
    }
    if (GstElement* ass = gst_bin_get_by_name(GST_BIN(pipeline), "ass")) {
        const std::string header = AssHeader(width, height, cell, outline);
        GstBuffer* codecData = gst_buffer_new_memdup(header.data(), header.size());
        GstCaps* caps = gst_caps_new_simple("application/x-ass", "codec_data", GST_TYPE_BUFFER, codecData, nullptr);
        g_object_set(ass, "caps", caps, "format", GST_FORMAT_TIME, nullptr);
        gst_caps_unref(caps);
        gst_buffer_unref(codecData);
        const GstClockTime all = GstClockTime(frames) * kCue;
        PushAss(ass, subtitles ? CueTexts(size_t(frames)) : std::vector<std::string>{fixed}, subtitles ? kCue : all);
        gst_object_unref(ass);
    }

    const double before = CpuSeconds();
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message =
        gst_bus_timed_pop_filtered(bus, GST_CLOCK_TIME_NONE, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const double cpu = CpuSeconds() - before;
    const bool failed = GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR;
    if (failed) {
        GError* e;
        gst_message_parse_error(message, &e, nullptr);
        std::fprintf(stderr, "%s: %s\n", launch.c_str(), e->message);
        g_error_free(e);
    }
    gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    std::printf("%.4f %ld\n", cpu, u.ru_maxrss);
    return failed ? 1 : 0;
}
