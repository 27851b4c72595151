// What the platform alone costs a line that never fills, when it must be
// measured prefix by prefix. Windows shapes right-to-left text, bidi
// controls and joined letters in context, so the extent of a prefix of such
// a run is not a partial extent of the whole run: the breaking rules need
// the platform's own answer for every prefix, one GetTextExtentPoint32W
// each, and a prefix of k characters costs the platform time in proportion
// to k. On a line that never fills (a wide region, a tiny font, characters
// of no width) that is the square of the line's length before the library
// does anything. This program times the DLL's ComputeTextRegionSize on such
// texts beside exactly those platform calls made directly (one memory
// context and the same font, made once), at n and 4n: where the DLL's
// ratio is the platform's, the platform is the bound.
//
// Usage: prefix_floor [n]   (n: the shorter length in units, 2000 by default)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "render/log_font.h"
#include "textraster.h"

namespace {

using Text = std::basic_string<TextChar>;

double CpuSeconds() {
    FILETIME creation, exit, kernel, user;
    GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user);
    auto seconds = [](const FILETIME& t) { return double(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) * 1e-7; };
    return seconds(kernel) + seconds(user);
}

Text Repeat(const char16_t* piece, size_t length) {
    Text text;
    while (text.size() < length)
        for (const char16_t* p = piece; *p && text.size() < length; ++p) text += TextChar(*p);
    return text;
}

struct Case {
    const char* name;
    Text (*text)(size_t);
    uint8_t fontHeight;
    int writingMode;
};

const TextChar kFace[] = {'D', 'e', 'j', 'a', 'V', 'u', ' ', 'S', 'a', 'n', 's', 0};

// The widest region there is, so that the line never fills.
TextLayoutParams Request(const Case& c) {
    TextLayoutParams p{};
    p.size = int16_t(sizeof p);
    p.regionWidth = p.bufferWidth = 0xFFFF;
    p.regionHeight = p.bufferHeight = 4;
    p.bufferSize = 0xFFFFu * 4u * 4u;
    p.topDown = 1;
    p.textColor = 0xFFFFFFFF;
    p.faceName = kFace;
    p.fontHeight = c.fontHeight;
    p.linePitch = c.fontHeight;
    p.spaceMode = 2;
    p.newlineMode = 2;
    p.preserveSpaces = 1;
    p.wordWrap = 1;
    p.writingMode = c.writingMode;
    p.alignment = 1;
    return p;
}

// Seconds of CPU time of `call`, repeated until it has taken a quarter of a
// second (Wine's clock is coarse); the median of three such figures.
template <typename Call>
double Time(Call call) {
    std::vector<double> figures;
    for (int round = 0; round < 3; ++round) {
        const double start = CpuSeconds();
        int calls = 0;
        double elapsed = 0;
        do {
            call();
            ++calls;
            elapsed = CpuSeconds() - start;
        } while (elapsed < 0.25);
        figures.push_back(elapsed / calls);
    }
    std::sort(figures.begin(), figures.end());
    return figures[1];
}

double LibraryCall(const Case& c, const Text& text) {
    const TextLayoutParams p = Request(c);
    return Time([&] {
        uint16_t width = 0, height = 0;
        ComputeTextRegionSize(text.c_str(), &p, nullptr, &width, &height, nullptr);
    });
}

// Every prefix measured alone, as the breaking rules need them.
double PlatformFloor(const Case& c, const Text& text) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    const LOGFONTW description = textraster::BuildLogFont(c.fontHeight, kFace, 0, false);
    HFONT font = CreateFontIndirectW(&description);
    HGDIOBJ old = SelectObject(dc, font);
    if (c.writingMode == 2) SetTextAlign(dc, TA_RTLREADING);
    const double seconds = Time([&] {
        SIZE size{};
        for (size_t k = 1; k <= text.size(); ++k)
            GetTextExtentPoint32W(dc, reinterpret_cast<LPCWSTR>(text.c_str()), int(k), &size);
    });
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const size_t n = argc > 1 ? size_t(std::strtoul(argv[1], nullptr, 10)) : 2000;
    const Case cases[] = {
        {"embeddings opened and closed", [](size_t m) { return Repeat(u"\u202b\u202c", m); }, 20, 1},
        {"Hebrew in brackets, 1-pixel font", [](size_t m) { return Repeat(u"(\u05e9\u05dc\u05d5\u05dd) ", m); }, 1, 1},
        {"explicit bidi controls and letters",
         [](size_t m) { return Repeat(u"\u202ba\u2067\u05d0\u2069\u202c\u202d1\u202c ", m); }, 12, 2},
        {"U+0631, then one joined word of U+0628",
         [](size_t m) { return Text(1, TextChar(0x0631)) + Repeat(u"\u0628", m - 1); }, 12, 2},
    };
    std::printf(
        "| text (widest region) | units | ComputeTextRegionSize | prefixes on the platform alone | "
        "library ÷ platform |\n|---|---|---|---|---|\n");
    for (const Case& c : cases)
        for (const size_t length : {n, 4 * n}) {
            const Text text = c.text(length);
            const double library = LibraryCall(c, text), floor = PlatformFloor(c, text);
            std::printf("| %s | %zu | %.0f ms | %.0f ms | %.2f |\n", c.name, length, library * 1e3, floor * 1e3,
                        library / floor);
            std::fflush(stdout);
        }
    return 0;
}
