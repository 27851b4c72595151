// The DLL on the benchmark job beside one bare GDI pass doing the same job
// the plain way: a memory context, a bitmap and the font made for the call,
// the line drawn with DrawTextW (centred, word-wrapped) and the frame read
// back. RenderText draws twice by design (colour and opacity), so it costs
// at least as much; the ratio says how much more. Measuring alone is set
// beside DrawTextW with DT_CALCRECT on the screen's context.
//
// Usage: windows_bench [seconds per figure]   (corpus: TEXTRASTER_CORPUS)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "bench/job.h"
#include "render/log_font.h"

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

// Calls per CPU second of `call(i)` with i counting up, run for `seconds`.
double Rate(const std::function<void(size_t)>& call, double seconds) {
    size_t calls = 0;
    const double start = CpuSeconds();
    double elapsed = 0;
    do {
        for (int k = 0; k < 20; ++k) call(calls++);
        elapsed = CpuSeconds() - start;
    } while (elapsed < seconds);
    return double(calls) / elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The font the library makes for the job's requests.
LOGFONTW JobFont(const Text& face) {
    return BuildLogFont(kCellHeight, face.c_str(), 0, false);
}

UINT DrawFlags(const Language& language) {
    return DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | (language.rightToLeft ? DT_RTLREADING : 0);
}

// One pass of the job through GDI, every object made for the call.
void DrawTextPass(const Language& language, const LOGFONTW& description, const Text& line, uint32_t* frame) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kFrameWidth, kFrameHeight);
    HGDIOBJ previousBitmap = SelectObject(dc, bitmap);
    HFONT font = CreateFontIndirectW(&description);
    HGDIOBJ previousFont = SelectObject(dc, font);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, 0x000000);
    SetTextColor(dc, 0xFFFFFF);
    RECT rect{0, 0, kFrameWidth, kFrameHeight};
    DrawTextW(dc, line.c_str(), int(line.size()), &rect, DrawFlags(language));
    SelectObject(dc, previousFont);
    DeleteObject(font);
    SelectObject(dc, previousBitmap);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kFrameWidth;
    info.bmiHeader.biHeight = -kFrameHeight;  // top-down, straight into the frame
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GetDIBits(dc, bitmap, 0, kFrameHeight, frame, &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

// DrawTextW measuring the wrapped, centred line on the screen's context.
void DrawTextMeasure(const Language& language, const LOGFONTW& description, const Text& line) {
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontIndirectW(&description);
    HGDIOBJ previous = SelectObject(screen, font);
    RECT rect{0, 0, kFrameWidth, kFrameHeight};
    DrawTextW(screen, line.c_str(), int(line.size()), &rect, DrawFlags(language) | DT_CALCRECT);
    SelectObject(screen, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace textraster::bench

int main(int argc, char** argv) {
    using namespace textraster::bench;
    const double seconds = argc > 1 ? std::atof(argv[1]) : 1.0;
    constexpr int kRounds = 5;  // the two sides alternate, the median of each counts
    std::printf(
        "| language | RenderText lines/s | one DrawTextW pass lines/s | RenderText ÷ DrawTextW time |"
        " ComputeTextRegionSize /s | DrawTextW measuring /s | time ratio |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const Language& language : Languages()) {
        const std::vector<Text> lines = Corpus(language.code);
        const Text face = FromUtf8(language.family);
        const TextLayoutParams p = Request(language, face);
        const LOGFONTW description = JobFont(face);
        std::vector<uint32_t> frame(size_t(kFrameWidth) * kFrameHeight);
        auto render = [&](size_t i) {
            RenderText(lines[i % lines.size()].c_str(), &p, frame.data(), nullptr, nullptr, nullptr);
        };
        auto pass = [&](size_t i) { DrawTextPass(language, description, lines[i % lines.size()], frame.data()); };
        auto measure = [&](size_t i) {
            uint16_t width = 0, height = 0;
            ComputeTextRegionSize(lines[i % lines.size()].c_str(), &p, nullptr, &width, &height, nullptr);
        };
        auto calc = [&](size_t i) { DrawTextMeasure(language, description, lines[i % lines.size()]); };
        std::vector<double> renders, passes, measures, calcs;
        for (int round = 0; round < kRounds; ++round) {
            renders.push_back(Rate(render, seconds));
            passes.push_back(Rate(pass, seconds));
            measures.push_back(Rate(measure, seconds));
            calcs.push_back(Rate(calc, seconds));
        }
        const double r = Median(renders), d = Median(passes), m = Median(measures), c = Median(calcs);
        std::printf("| %s | %.1f k | %.1f k | %.2f× | %.1f k | %.1f k | %.2f× |\n", language.code, r / 1000, d / 1000,
                    d / r, m / 1000, c / 1000, c / m);
        std::fflush(stdout);
    }
    return 0;
}
