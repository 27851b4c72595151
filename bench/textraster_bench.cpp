// The library on the benchmark job, and the field on the same job in the same
// run (Pango + Cairo, libass, where their packages are installed), so that
// every figure can be read as a ratio. bench/report.py turns the JSON output
// into the ratio table of the README.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>

#include "bench/chat_lines.h"
#include "bench/contenders.h"
#include "bench/job.h"

namespace textraster::bench {
namespace {

void Render(benchmark::State& state, const Language& language, const std::vector<Text>& lines) {
    const Text face = FromUtf8(language.family);
    const TextLayoutParams p = Request(language, face);
    std::vector<uint32_t> frame(size_t(kFrameWidth) * kFrameHeight);
    size_t next = 0;
    for (auto _ : state) {
        const Text& line = lines[next++ % lines.size()];
        if (RenderText(line.c_str(), &p, frame.data(), nullptr, nullptr, nullptr) != TR_OK)
            state.SkipWithError("RenderText failed");
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void RenderLines(benchmark::State& state, const Language& language) {
    Render(state, language, Corpus(language.code));
}

// Chat lines with emoji, or the same lines in Latin letters, set as German is.
void RenderChat(benchmark::State& state, bool emoji) {
    std::vector<Text> lines;
    for (size_t i = 0; i < ChatLines().size(); ++i) lines.push_back(ChatLine(i, emoji));
    Render(state, Languages()[0], lines);
}

void MeasureLines(benchmark::State& state, const Language& language) {
    const std::vector<Text> lines = Corpus(language.code);
    const Text face = FromUtf8(language.family);
    const TextLayoutParams p = Request(language, face);
    size_t next = 0;
    for (auto _ : state) {
        const Text& line = lines[next++ % lines.size()];
        uint16_t width = 0, height = 0;
        if (ComputeTextRegionSize(line.c_str(), &p, nullptr, &width, &height, nullptr) != TR_OK)
            state.SkipWithError("ComputeTextRegionSize failed");
        benchmark::DoNotOptimize(height);
    }
    state.SetItemsProcessed(state.iterations());
}

// Measuring one line of state.range(0) characters: the cost must grow with
// the length, not with its square. Unwrapped, only the line's extent is
// measured; wrapped into the widest region there is (at a 12-pixel cell, so
// that it still never breaks), the line layout measures the run from the
// line start through every character.
void MeasureLongLine(benchmark::State& state, const Language& language, bool wrapped) {
    const Text line = LongLine(Corpus(language.code), size_t(state.range(0)));
    const Text face = FromUtf8(language.family);
    TextLayoutParams p = Request(language, face);
    p.wordWrap = wrapped;
    if (wrapped) {
        p.regionWidth = 0xFFFF;
        p.fontHeight = p.linePitch = 12;
    }
    for (auto _ : state) {
        uint16_t width = 0, height = 0, extent = 0;
        ComputeTextRegionSize(line.c_str(), &p, nullptr, &width, &height, &extent);
        if (height != p.linePitch) state.SkipWithError("the line broke");
        benchmark::DoNotOptimize(extent);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

constexpr int kBigWidth = 1920, kBigHeight = 1080;

// A full-HD region holding twenty lines of text: the cost should be the
// memory passes the pipeline implies, measured next by the same loop
// without any drawing.
void RenderBigRegion(benchmark::State& state) {
    const Language& german = Languages()[0];
    const std::vector<Text> lines = Corpus(german.code);
    Text text;
    for (size_t i = 0; i < 20; ++i) text += lines[i] + TextChar('\n');
    const Text face = FromUtf8(german.family);
    const TextLayoutParams p = Request(german, face, kBigWidth, kBigHeight);
    std::vector<uint32_t> frame(size_t(kBigWidth) * kBigHeight);
    for (auto _ : state) {
        RenderText(text.c_str(), &p, frame.data(), nullptr, nullptr, nullptr);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(frame.size()) * 4);
}

// One row of the merge: each colour pixel with the opacity (the alpha
// pixel's red channel) in its top byte, written into the host's row. In AVX2
// where the processor has it, as the library does it.
inline void MergeRowLoop(uint32_t* __restrict out, const uint32_t* __restrict colour, const uint32_t* __restrict alpha,
                         size_t count) {
    size_t i = 0;
    for (; i + 16 <= count; i += 16)
        for (size_t k = 0; k < 16; ++k) out[i + k] = colour[i + k] | alpha[i + k] << 8;
    for (; i < count; ++i) out[i] = colour[i] | alpha[i] << 8;
}
void MergeRow(uint32_t* out, const uint32_t* colour, const uint32_t* alpha, size_t count) {
    MergeRowLoop(out, colour, alpha, count);
}
#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("avx2")]] void MergeRowAvx2(uint32_t* out, const uint32_t* colour, const uint32_t* alpha, size_t count) {
    MergeRowLoop(out, colour, alpha, count);
}
#endif

// The passes over pixel memory that rendering a region implies, and nothing
// else, in the form the pipeline gives them: zeroing both surfaces, reading
// both back a band of rows at a time (about 256 KB) into blocks that stay in
// the cache, and merging the opacity into the colour pixels while copying
// them into the host's buffer (top-down).
void MemoryPassesOfBigRegion(benchmark::State& state) {
    const size_t count = size_t(kBigWidth) * kBigHeight;
    const int band = (256 << 10) / (4 * kBigWidth);
    std::vector<uint32_t> colour(count), alpha(count), frame(count);
    std::vector<uint32_t> colourBand(size_t(band) * kBigWidth), alphaBand(size_t(band) * kBigWidth);
    auto merge = MergeRow;
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx2")) merge = MergeRowAvx2;
#endif
    for (auto _ : state) {
        std::memset(colour.data(), 0, count * 4);
        std::memset(alpha.data(), 0, count * 4);
        benchmark::ClobberMemory();
        for (int first = 0; first < kBigHeight; first += band) {
            const int rows = std::min(band, kBigHeight - first);
            const size_t bytes = size_t(rows) * kBigWidth * 4;
            std::memcpy(colourBand.data(), colour.data() + size_t(first) * kBigWidth, bytes);
            std::memcpy(alphaBand.data(), alpha.data() + size_t(first) * kBigWidth, bytes);
            benchmark::ClobberMemory();
            for (int k = 0; k < rows; ++k)
                merge(frame.data() + size_t(kBigHeight - 1 - first - k) * kBigWidth,
                      colourBand.data() + size_t(k) * kBigWidth, alphaBand.data() + size_t(k) * kBigWidth,
                      size_t(kBigWidth));
        }
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(count) * 4);
}

}  // namespace
}  // namespace textraster::bench

int main(int argc, char** argv) {
    using namespace textraster::bench;
    for (const Language& language : Languages()) {
        const std::string code = language.code;
        benchmark::RegisterBenchmark(("RenderText/" + code).c_str(), RenderLines, language);
        benchmark::RegisterBenchmark(("RegionSize/" + code).c_str(), MeasureLines, language);
        RegisterContenders(language);
    }
    for (size_t index : {size_t(0), size_t(4), size_t(5)}) {
        const Language& language = Languages()[index];
        for (const bool wrapped : {false, true})
            benchmark::RegisterBenchmark(
                (std::string(wrapped ? "LongWrappedLine/" : "LongLine/") + language.code).c_str(), MeasureLongLine,
                language, wrapped)
                ->Arg(1000)
                ->Arg(2000)
                ->Arg(4000)
                ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("RenderText/chat-emoji", RenderChat, true);
    benchmark::RegisterBenchmark("RenderText/chat-latin", RenderChat, false);
    benchmark::RegisterBenchmark("BigRegion/RenderText", RenderBigRegion)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("BigRegion/MemoryPasses", MemoryPassesOfBigRegion)->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
