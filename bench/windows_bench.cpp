// The DLL on the benchmark job beside the platform's own text call doing the
// same job under the same system (bench/draw_text_peer.h): a memory context,
// a 32-bit bitmap and the font made for each line, the line drawn with
// DrawTextW or measured with DrawTextW(DT_CALCRECT | DT_WORDBREAK); and, for
// reference, the same with the context, bitmap and font made once and kept
// (the frame cleared with PatBlt before each line). RenderText draws twice by design (colour and
// opacity) and delivers straight alpha; the ratios say what that costs.
//
// Usage: windows_bench [seconds per figure] [language]   (corpus: TEXTRASTER_CORPUS)
//
// Figures are lines per second of the process's CPU time (median of five
// rounds in which the contenders take turns), and the same in wall-clock
// time: under Wine a call may wait for the Wine server, whose work the
// process's CPU time does not hold.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "bench/draw_text_peer.h"
#include "bench/job.h"

namespace textraster::bench {
namespace {

// The process's CPU time in seconds: the machine may be shared, and all the
// work measured here runs on the calling thread.
double CpuSeconds() {
    FILETIME creation, exit, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
    auto seconds = [](const FILETIME& t) { return double(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) * 1e-7; };
    return seconds(kernel) + seconds(user);
}

double WallSeconds() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

struct Rates {
    double cpu, wall;  // calls per second
};

// Calls per second of `call(i)` with i counting up, run for `seconds` of CPU time.
Rates Rate(const std::function<void(size_t)>& call, double seconds) {
    size_t calls = 0;
    const double cpuStart = CpuSeconds(), wallStart = WallSeconds();
    double elapsed = 0;
    do {
        for (int k = 0; k < 20; ++k) call(calls++);
        elapsed = CpuSeconds() - cpuStart;
    } while (elapsed < seconds);
    return {double(calls) / elapsed, double(calls) / (WallSeconds() - wallStart)};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

volatile uintptr_t sink;  // keeps the peers' results alive

struct Contender {
    const char* name;
    std::function<void(size_t)> call;
    std::vector<double> cpu = {}, wall = {};
};

}  // namespace
}  // namespace textraster::bench

int main(int argc, char** argv) {
    using namespace textraster::bench;
    const double seconds = argc > 1 ? std::atof(argv[1]) : 1.0;
    const char* only = argc > 2 ? argv[2] : nullptr;
    constexpr int kRounds = 5;  // the contenders take turns; the median of each counts
    // Per clock (CPU, wall), per language, the six medians.
    std::vector<std::vector<double>> medians[2];
    std::vector<const char*> names;
    for (const Language& language : Languages()) {
        if (only && std::strcmp(only, language.code) != 0) continue;
        const std::vector<Text> lines = Corpus(language.code);
        const Text face = FromUtf8(language.family);
        const TextLayoutParams p = Request(language, face);
        const LOGFONTW description = JobFont(face);
        std::vector<uint32_t> frame(size_t(kFrameWidth) * kFrameHeight);
        TextSurface kept(description);
        auto line = [&](size_t i) -> const Text& { return lines[i % lines.size()]; };
        std::vector<Contender> contenders = {
            {"RenderText", [&](size_t i) { RenderText(line(i).c_str(), &p, frame.data(), nullptr, nullptr, nullptr); }},
            {"DrawTextW per line",
             [&](size_t i) { sink = uintptr_t(TextSurface(description).DrawFresh(language, line(i))); }},
            {"DrawTextW kept", [&](size_t i) { sink = uintptr_t(kept.Draw(language, line(i))); }},
            {"ComputeTextRegionSize",
             [&](size_t i) {
                 uint16_t width = 0, height = 0;
                 ComputeTextRegionSize(line(i).c_str(), &p, nullptr, &width, &height, nullptr);
                 sink = height;
             }},
            {"DT_CALCRECT per line",
             [&](size_t i) { sink = uintptr_t(TextSurface(description).Measure(language, line(i))); }},
            {"DT_CALCRECT kept", [&](size_t i) { sink = uintptr_t(kept.Measure(language, line(i))); }},
        };
        for (int round = 0; round < kRounds; ++round) {
            for (Contender& c : contenders) {
                const Rates r = Rate(c.call, seconds);
                c.cpu.push_back(r.cpu);
                c.wall.push_back(r.wall);
            }
        }
        names.push_back(language.code);
        for (int clock = 0; clock < 2; ++clock) {
            std::vector<double> v;
            for (const Contender& c : contenders) v.push_back(Median(clock == 0 ? c.cpu : c.wall));
            medians[clock].push_back(v);
        }
        std::fprintf(stderr, "%s done\n", language.code);
    }
    auto print = [](const char* name, const std::vector<double>& v) {
        std::printf("| %s | %.0f | %.0f | %.0f | %.2f× | %.2f× | %.0f | %.0f | %.0f | %.2f× | %.2f× |\n", name, v[0],
                    v[1], v[2], v[0] / v[1], v[0] / v[2], v[3], v[4], v[5], v[3] / v[4], v[3] / v[5]);
    };
    for (int clock = 0; clock < 2; ++clock) {
        std::printf(
            "\n%d-bit, lines per second of %s\n\n"
            "| language | RenderText | DrawTextW per line | DrawTextW kept | ÷ per line | ÷ kept |"
            " ComputeTextRegionSize | DT_CALCRECT per line | DT_CALCRECT kept | ÷ per line | ÷ kept |\n"
            "|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|\n",
            int(sizeof(void*) * 8), clock == 0 ? "CPU time" : "wall-clock time");
        std::vector<double> logSums(6, 0.0);
        for (size_t l = 0; l < names.size(); ++l) {
            print(names[l], medians[clock][l]);
            for (int k = 0; k < 6; ++k) logSums[k] += std::log(medians[clock][l][k]);
        }
        std::vector<double> geometric;
        for (double sum : logSums) geometric.push_back(std::exp(sum / double(names.size())));
        print("geometric mean", geometric);
    }
    return 0;
}
