// The job through Pango and Cairo: a layout per line, wrapped and centred in
// the frame's width, drawn into an ARGB32 image surface and un-premultiplied
// into the straight-alpha frame. Measuring alone: a layout's pixel size.
#include <benchmark/benchmark.h>
#include <pango/pangocairo.h>

#include "bench/contenders.h"

namespace textraster::bench {
namespace {

PangoFontDescription* Font(const Language& language) {
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, language.family);
    pango_font_description_set_absolute_size(font, double(EmForCell(language)) * PANGO_SCALE);
    return font;
}

void SetUp(PangoLayout* layout, const PangoFontDescription* font, const std::string& text) {
    pango_layout_set_font_description(layout, font);
    pango_layout_set_width(layout, kFrameWidth * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
    pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
    pango_layout_set_text(layout, text.c_str(), int(text.size()));
}

void Render(benchmark::State& state, const Language& language) {
    const std::vector<std::string> lines = CorpusUtf8(language.code);
    PangoFontDescription* font = Font(language);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kFrameWidth, kFrameHeight);
    cairo_t* cr = cairo_create(surface);
    std::vector<uint32_t> frame(size_t(kFrameWidth) * kFrameHeight);
    size_t next = 0;
    for (auto _ : state) {
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_restore(cr);
        PangoLayout* layout = pango_cairo_create_layout(cr);
        SetUp(layout, font, lines[next++ % lines.size()]);
        cairo_move_to(cr, 0, 0);
        cairo_set_source_rgba(cr, 1, 1, 1, 1);
        pango_cairo_show_layout(cr, layout);
        g_object_unref(layout);
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < kFrameHeight; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
            uint32_t* out = frame.data() + size_t(y) * kFrameWidth;
            for (int x = 0; x < kFrameWidth; ++x) out[x] = Unpremultiply(row[x]);
        }
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    pango_font_description_free(font);
}

void Measure(benchmark::State& state, const Language& language) {
    const std::vector<std::string> lines = CorpusUtf8(language.code);
    PangoFontDescription* font = Font(language);
    PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
    size_t next = 0;
    for (auto _ : state) {
        PangoLayout* layout = pango_layout_new(context);
        SetUp(layout, font, lines[next++ % lines.size()]);
        int width = 0, height = 0;
        pango_layout_get_pixel_size(layout, &width, &height);
        benchmark::DoNotOptimize(height);
        g_object_unref(layout);
    }
    state.SetItemsProcessed(state.iterations());
    g_object_unref(context);
    pango_font_description_free(font);
}

}  // namespace

void RegisterPango(const Language& language) {
    const std::string code = language.code;
    benchmark::RegisterBenchmark(("Pango.Render/" + code).c_str(), Render, language);
    benchmark::RegisterBenchmark(("Pango.Measure/" + code).c_str(), Measure, language);
}

}  // namespace textraster::bench
