// The job through libass: per line a new subtitle track holding the line as
// its one event (top-centred, end-of-line wrapping, no outline or shadow),
// rendered either by one renderer kept for the whole run (its glyph, shape
// and layout caches warm, as in a player that shows subtitles for hours) or
// by one made afresh for every pass over the corpus, its images composited
// into the straight-alpha frame.
#include <ass/ass.h>
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/contenders.h"

namespace textraster::bench {
namespace {

void Quiet(int, const char*, va_list, void*) {}

std::string Script(const Language& language, const std::string& text) {
    return "[Script Info]\nScriptType: v4.00+\nPlayResX: " + std::to_string(kFrameWidth) +
           "\nPlayResY: " + std::to_string(kFrameHeight) +
           "\nWrapStyle: 1\nScaledBorderAndShadow: yes\n\n[V4+ Styles]\n"
           "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, Bold, "
           "Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, "
           "Alignment, MarginL, MarginR, MarginV, Encoding\n"
           "Style: Default," +
           std::string(language.family) + "," + std::to_string(kCellHeight) +
           ",&H00FFFFFF,&H00FFFFFF,&H00000000,&H80000000,0,0,0,0,100,100,0,0,1,0,0,8,0,0,0,1\n\n"
           "[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
           "Dialogue: 0,0:00:00.00,0:00:10.00,Default,,0,0,0,," +
           text + "\n";
}

ASS_Renderer* NewRenderer(ASS_Library* library) {
    ASS_Renderer* renderer = ass_renderer_init(library);
    ass_set_frame_size(renderer, kFrameWidth, kFrameHeight);
    ass_set_fonts(renderer, nullptr, "sans-serif", ASS_FONTPROVIDER_AUTODETECT, nullptr, 1);
    return renderer;
}

// Straight-alpha "over" of one coverage image in one colour.
void Composite(const ASS_Image& image, std::vector<uint32_t>& frame) {
    const uint32_t r = image.color >> 24, g = (image.color >> 16) & 0xFF, b = (image.color >> 8) & 0xFF;
    const uint32_t opacity = 255 - (image.color & 0xFF);
    for (int y = 0; y < image.h; ++y) {
        const unsigned char* coverage = image.bitmap + size_t(y) * size_t(image.stride);
        uint32_t* out = frame.data() + size_t(image.dst_y + y) * kFrameWidth + size_t(image.dst_x);
        for (int x = 0; x < image.w; ++x) {
            if (!coverage[x]) continue;
            const uint32_t a = coverage[x] * opacity / 255;
            const uint32_t under = out[x], da = under >> 24;
            const uint32_t keep = da * (255 - a) / 255, oa = a + keep;
            if (oa == 0) continue;
            auto mix = [&](uint32_t c, int shift) { return (c * a + ((under >> shift) & 0xFF) * keep) / oa; };
            out[x] = oa << 24 | mix(r, 16) << 16 | mix(g, 8) << 8 | mix(b, 0);
        }
    }
}

void Render(benchmark::State& state, const Language& language, bool freshPerPass) {
    const std::vector<std::string> lines = CorpusUtf8(language.code);
    ASS_Library* library = ass_library_init();
    ass_set_message_cb(library, Quiet, nullptr);
    ASS_Renderer* renderer = nullptr;
    std::vector<uint32_t> frame(size_t(kFrameWidth) * kFrameHeight);
    size_t next = 0;
    for (auto _ : state) {
        if (!renderer || (freshPerPass && next % lines.size() == 0)) {
            if (renderer) ass_renderer_done(renderer);
            renderer = NewRenderer(library);
        }
        std::string script = Script(language, lines[next++ % lines.size()]);
        ASS_Track* track = ass_new_track(library);
        ass_process_data(track, script.data(), int(script.size()));
        int changed = 0;
        std::memset(frame.data(), 0, frame.size() * 4);
        for (ASS_Image* image = ass_render_frame(renderer, track, 1000, &changed); image; image = image->next)
            Composite(*image, frame);
        ass_free_track(track);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    if (renderer) ass_renderer_done(renderer);
    ass_library_done(library);
}

}  // namespace

void RegisterAss(const Language& language) {
    benchmark::RegisterBenchmark((std::string("Ass.Render/") + language.code).c_str(), Render, language, false);
    benchmark::RegisterBenchmark((std::string("Ass.RenderFresh/") + language.code).c_str(), Render, language, true);
}

}  // namespace textraster::bench
