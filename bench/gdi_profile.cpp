// Where the time of one call goes, per platform call the DLL makes: every
// GDI and user32 import of textraster.dll is redirected to a wrapper that
// times it, and the time between two platform calls (the library's own
// code) is counted against the call that follows it ("own code, then X").
// Runs the benchmark job (bench/job.h) on the corpus, both entry points, and
// the platform's own call beside them the same way (bench/draw_text_peer.h,
// with the context, bitmap and font made per line), whose calls from this
// program are redirected too.
//
// Usage: gdi_profile [passes] [language]   (corpus: TEXTRASTER_CORPUS)
//
// Each figure is microseconds of wall-clock time per line: for every line
// and every row the smallest of the passes (a pass that another process
// interrupted counts for nothing), then the mean over the lines. Wall-clock
// time, not CPU time: under Wine a call may wait for the Wine server, and
// that wait is part of what the call costs its caller.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "bench/draw_text_peer.h"
#include "bench/job.h"

namespace textraster::bench {
namespace {

// Every platform call the DLL may import from gdi32 and user32, then rows
// of their own for calls whose cost depends on what they are given.
enum Call {
    kGetDC,
    kReleaseDC,
    kCreateCompatibleDC,
    kDeleteDC,
    kCreateCompatibleBitmap,
    kCreateFontIndirectW,
    kSelectObject,
    kDeleteObject,
    kGetObjectW,
    kGetTextMetricsW,
    kGetTextExtentPoint32W,
    kGetTextExtentExPointW,
    kGetTextAlign,
    kSetTextAlign,
    kSetBkMode,
    kSetBkColor,
    kSetTextColor,
    kTextOutW,
    kGetDIBits,
    kSetBoundsRect,
    kGetBoundsRect,
    kCreateDIBSection,
    kPatBlt,
    kDrawTextW,
    kGdiFlush,
    kSelectFont,
    kSelectBitmap,
    kDeleteFont,
    kDeleteBitmap,
    kGetDIBitsHeader,
    kDrawTextWMeasuring,
    kCalls
};

const char* const kCallNames[] = {
    "GetDC",
    "ReleaseDC",
    "CreateCompatibleDC",
    "DeleteDC",
    "CreateCompatibleBitmap",
    "CreateFontIndirectW",
    "SelectObject",
    "DeleteObject",
    "GetObjectW",
    "GetTextMetricsW",
    "GetTextExtentPoint32W",
    "GetTextExtentExPointW",
    "GetTextAlign",
    "SetTextAlign",
    "SetBkMode",
    "SetBkColor",
    "SetTextColor",
    "TextOutW",
    "GetDIBits",
    "SetBoundsRect",
    "GetBoundsRect",
    "CreateDIBSection",
    "PatBlt",
    "DrawTextW",
    "GdiFlush",
    "SelectObject (a font)",
    "SelectObject (a bitmap)",
    "DeleteObject (a font)",
    "DeleteObject (a bitmap)",
    "GetDIBits (no pixels: the header)",
    "DrawTextW (DT_CALCRECT)",
};

// What the summary tables add up a call's rows into.
const char* GroupOf(int row) {
    switch (row) {
        case kGetDC:
        case kReleaseDC: return "GetDC, ReleaseDC";
        case kCreateCompatibleDC:
        case kDeleteDC: return "CreateCompatibleDC, DeleteDC";
        case kCreateCompatibleBitmap:
        case kCreateDIBSection: return "the bitmaps made";
        case kSelectBitmap: return "the bitmaps selected and put back";
        case kDeleteBitmap: return "the bitmaps deleted";
        case kCreateFontIndirectW:
        case kSelectFont:
        case kDeleteFont:
        case kGetTextMetricsW: return "the font made, selected, deleted";
        case kGetTextExtentPoint32W:
        case kGetTextExtentExPointW: return "measuring (GetTextExtent*)";
        case kTextOutW: return "TextOutW";
        case kDrawTextW: return "DrawTextW";
        case kDrawTextWMeasuring: return "DrawTextW (DT_CALCRECT)";
        case kGetDIBits:
        case kGetDIBitsHeader:
        case kGetObjectW: return "reading back (GetObjectW, GetDIBits)";
        default: return "colours, modes, alignment, bounds, flush";
    }
}

// The row a call counts in: selecting, deleting and reading back by what.
template <int Id, typename... Args>
int RowOf(Args... args) {
    if constexpr (Id == kSelectObject || Id == kDeleteObject) {
        const HGDIOBJ object = std::get < Id == kSelectObject ? 1 : 0 > (std::make_tuple(args...));
        switch (GetObjectType(object)) {
            case OBJ_FONT: return Id == kSelectObject ? kSelectFont : kDeleteFont;
            case OBJ_BITMAP: return Id == kSelectObject ? kSelectBitmap : kDeleteBitmap;
            default: return Id;
        }
    } else if constexpr (Id == kGetDIBits) {
        return std::get<4>(std::make_tuple(args...)) ? Id : kGetDIBitsHeader;
    } else if constexpr (Id == kDrawTextW) {
        return std::get<4>(std::make_tuple(args...)) & DT_CALCRECT ? kDrawTextWMeasuring : Id;
    } else {
        return Id;
    }
}

int64_t Ticks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Ticks spent in each platform call and in the library's own code before
// each, with the number of calls, for the entry point call being profiled.
struct Tally {
    int64_t inCall[kCalls]{}, before[kCalls]{}, atEnd = 0, whole = 0;
    int calls[kCalls]{};
};

Tally tally;
int64_t lastStamp = 0;

template <int Id, typename Function>
struct Hook;

template <int Id, typename Result, typename... Args>
struct Hook<Id, Result(WINAPI*)(Args...)> {
    static inline Result(WINAPI* original)(Args...) = nullptr;
    static Result WINAPI Call(Args... args) {
        const int row = RowOf<Id>(args...);
        const int64_t enter = Ticks();
        tally.before[row] += enter - lastStamp;
        Result result = original(args...);
        lastStamp = Ticks();
        tally.inCall[row] += lastStamp - enter;
        ++tally.calls[row];
        return result;
    }
};

struct Redirect {
    const char* name;
    void* wrapper;
    void** original;
};

template <int Id, typename Function>
Redirect To(const char* name, Function) {
    return {name, reinterpret_cast<void*>(&Hook<Id, Function>::Call),
            reinterpret_cast<void**>(&Hook<Id, Function>::original)};
}

const Redirect kRedirects[] = {
    To<kGetDC>("GetDC", &GetDC),
    To<kReleaseDC>("ReleaseDC", &ReleaseDC),
    To<kCreateCompatibleDC>("CreateCompatibleDC", &CreateCompatibleDC),
    To<kDeleteDC>("DeleteDC", &DeleteDC),
    To<kCreateCompatibleBitmap>("CreateCompatibleBitmap", &CreateCompatibleBitmap),
    To<kCreateFontIndirectW>("CreateFontIndirectW", &CreateFontIndirectW),
    To<kSelectObject>("SelectObject", &SelectObject),
    To<kDeleteObject>("DeleteObject", &DeleteObject),
    To<kGetObjectW>("GetObjectW", &GetObjectW),
    To<kGetTextMetricsW>("GetTextMetricsW", &GetTextMetricsW),
    To<kGetTextExtentPoint32W>("GetTextExtentPoint32W", &GetTextExtentPoint32W),
    To<kGetTextExtentExPointW>("GetTextExtentExPointW", &GetTextExtentExPointW),
    To<kGetTextAlign>("GetTextAlign", &GetTextAlign),
    To<kSetTextAlign>("SetTextAlign", &SetTextAlign),
    To<kSetBkMode>("SetBkMode", &SetBkMode),
    To<kSetBkColor>("SetBkColor", &SetBkColor),
    To<kSetTextColor>("SetTextColor", &SetTextColor),
    To<kTextOutW>("TextOutW", &TextOutW),
    To<kGetDIBits>("GetDIBits", &GetDIBits),
    To<kSetBoundsRect>("SetBoundsRect", &SetBoundsRect),
    To<kGetBoundsRect>("GetBoundsRect", &GetBoundsRect),
    To<kCreateDIBSection>("CreateDIBSection", &CreateDIBSection),
    To<kPatBlt>("PatBlt", &PatBlt),
    To<kDrawTextW>("DrawTextW", &DrawTextW),
    To<kGdiFlush>("GdiFlush", &GdiFlush),
};

// Points the module's import slots for the calls above at their wrappers.
// Returns how many were redirected.
int RedirectImports(HMODULE module) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int redirected = 0;
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); import->Name;
         ++import) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const char* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            for (const Redirect& redirect : kRedirects) {
                if (std::strcmp(name, redirect.name) != 0) continue;
                DWORD protection;
                VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
                *redirect.original = reinterpret_cast<void*>(slots->u1.Function);
                slots->u1.Function = reinterpret_cast<ULONG_PTR>(redirect.wrapper);
                VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
                ++redirected;
            }
        }
    }
    return redirected;
}

template <typename Entry>
Tally Profile(const Entry& entry) {
    tally = Tally{};
    const int64_t start = Ticks();
    lastStamp = start;
    entry();
    const int64_t end = Ticks();
    tally.atEnd = end - lastStamp;
    tally.whole = end - start;
    return tally;
}

// Per line, each figure's smallest over the passes.
void KeepSmallest(Tally& kept, const Tally& t, bool first) {
    auto keep = [first](int64_t& a, int64_t b) { a = first ? b : std::min(a, b); };
    for (int c = 0; c < kCalls; ++c) {
        keep(kept.inCall[c], t.inCall[c]);
        keep(kept.before[c], t.before[c]);
        kept.calls[c] = t.calls[c];
    }
    keep(kept.atEnd, t.atEnd);
    keep(kept.whole, t.whole);
}

// Per entry point, per language, microseconds per line by group.
struct Summary {
    std::vector<std::string> languages;
    std::vector<std::string> groups;
    std::vector<std::vector<double>> byLanguage;  // [language][group]
};
Summary summaries[4];
const char* const kEntries[] = {"RenderText", "ComputeTextRegionSize", "DrawTextW, objects made per line",
                                "DrawTextW(DT_CALCRECT), objects made per line"};

void Summarise(Summary& summary, const char* language, const std::vector<Tally>& lines, double ticksPerMicrosecond) {
    const std::string ownCode = "the caller's own code between platform calls";
    std::vector<double> values(summary.groups.size(), 0.0);
    auto add = [&](const std::string& group, double microseconds) {
        size_t g = std::find(summary.groups.begin(), summary.groups.end(), group) - summary.groups.begin();
        if (g == summary.groups.size()) {
            summary.groups.push_back(group);
            for (std::vector<double>& v : summary.byLanguage) v.push_back(0.0);
            values.push_back(0.0);
        }
        values[g] += microseconds;
    };
    const double n = double(lines.size()) * ticksPerMicrosecond;
    double whole = 0;
    for (const Tally& t : lines) {
        for (int c = 0; c < kCalls; ++c) {
            if (t.inCall[c]) add(GroupOf(c), double(t.inCall[c]) / n);
            if (t.before[c]) add(ownCode, double(t.before[c]) / n);
        }
        add(ownCode, double(t.atEnd) / n);
        whole += double(t.whole) / n;
    }
    add("the whole call", whole);
    summary.languages.push_back(language);
    summary.byLanguage.push_back(values);
}

void PrintSummaries() {
    for (int e = 0; e < 4; ++e) {
        const Summary& s = summaries[e];
        if (s.languages.empty()) continue;
        std::printf("\n%s, µs per line\n\n| |", kEntries[e]);
        for (const std::string& language : s.languages) std::printf(" %s |", language.c_str());
        std::printf("\n|---|");
        for (size_t l = 0; l < s.languages.size(); ++l) std::printf("--:|");
        std::printf("\n");
        // The whole call first, then what it is made of.
        std::vector<size_t> order(s.groups.size());
        for (size_t g = 0; g < order.size(); ++g) order[g] = g;
        std::stable_partition(order.begin(), order.end(), [&](size_t g) { return s.groups[g] == "the whole call"; });
        for (size_t g : order) {
            std::printf("| %s |", s.groups[g].c_str());
            for (size_t l = 0; l < s.languages.size(); ++l)
                std::printf(" %.1f |", g < s.byLanguage[l].size() ? s.byLanguage[l][g] : 0.0);
            std::printf("\n");
        }
    }
}

void Report(const char* language, const char* entry, const std::vector<Tally>& lines, double ticksPerMicrosecond) {
    for (int e = 0; e < 4; ++e)
        if (std::strcmp(entry, kEntries[e]) == 0) Summarise(summaries[e], language, lines, ticksPerMicrosecond);
    struct Row {
        std::string what;
        double calls, microseconds;
    };
    std::vector<Row> rows;
    const double n = double(lines.size());
    auto mean = [&](auto field) {
        double sum = 0;
        for (const Tally& t : lines) sum += double(field(t));
        return sum / n / ticksPerMicrosecond;
    };
    double accounted = 0;
    for (int c = 0; c < kCalls; ++c) {
        double calls = 0;
        for (const Tally& t : lines) calls += t.calls[c];
        if (calls == 0) continue;
        const double in = mean([c](const Tally& t) { return t.inCall[c]; });
        const double before = mean([c](const Tally& t) { return t.before[c]; });
        rows.push_back({kCallNames[c], calls / n, in});
        rows.push_back({std::string("own code, then ") + kCallNames[c], 0, before});
        accounted += in + before;
    }
    const double atEnd = mean([](const Tally& t) { return t.atEnd; });
    rows.push_back({"own code, then return", 0, atEnd});
    accounted += atEnd;
    const double whole = mean([](const Tally& t) { return t.whole; });
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.microseconds > b.microseconds; });
    std::printf("\n%s, %s: %.1f µs per line (the rows add up to %.1f)\n\n", language, entry, whole, accounted);
    std::printf("| where | calls per line | µs per line | µs per call | share |\n|---|--:|--:|--:|--:|\n");
    for (const Row& row : rows) {
        if (row.microseconds < 0.05) continue;
        if (row.calls > 0)
            std::printf("| %s | %.1f | %.1f | %.2f | %.0f %% |\n", row.what.c_str(), row.calls, row.microseconds,
                        row.microseconds / row.calls, 100 * row.microseconds / accounted);
        else
            std::printf("| %s | | %.1f | | %.0f %% |\n", row.what.c_str(), row.microseconds,
                        100 * row.microseconds / accounted);
    }
    std::fflush(stdout);
}

// The cost of the timing itself: two clock reads per platform call.
double ClockReadMicroseconds(double ticksPerMicrosecond) {
    constexpr int kReads = 100000;
    const int64_t start = Ticks();
    for (int i = 0; i < kReads; ++i) Ticks();
    return double(Ticks() - start) / kReads / ticksPerMicrosecond;
}

}  // namespace
}  // namespace textraster::bench

int main(int argc, char** argv) {
    using namespace textraster::bench;
    const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const char* only = argc > 2 ? argv[2] : nullptr;
    HMODULE dll = GetModuleHandleW(L"textraster.dll");
    const int redirected = dll ? RedirectImports(dll) : 0;
    RedirectImports(GetModuleHandleW(nullptr));  // the peer's calls
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const double ticksPerMicrosecond = double(frequency.QuadPart) / 1e6;
    std::printf("%d imports redirected; %d-bit; a clock read costs %.3f µs; %d passes\n", redirected,
                int(sizeof(void*) * 8), ClockReadMicroseconds(ticksPerMicrosecond), passes);

    for (const Language& language : Languages()) {
        if (only && std::strcmp(only, language.code) != 0) continue;
        const std::vector<Text> lines = Corpus(language.code);
        const Text face = FromUtf8(language.family);
        const TextLayoutParams p = Request(language, face);
        std::vector<uint32_t> frame(size_t(kFrameWidth) * kFrameHeight);
        const LOGFONTW description = JobFont(face);
        std::vector<Tally> render(lines.size()), measure(lines.size()), peerDraw(lines.size()),
            peerMeasure(lines.size());
        // One pass unprofiled first: the fonts loaded, the caches warm.
        for (const Text& line : lines) RenderText(line.c_str(), &p, frame.data(), nullptr, nullptr, nullptr);
        for (int pass = 0; pass < passes; ++pass) {
            for (size_t i = 0; i < lines.size(); ++i) {
                const TextChar* text = lines[i].c_str();
                KeepSmallest(render[i], Profile([&] { RenderText(text, &p, frame.data(), nullptr, nullptr, nullptr); }),
                             pass == 0);
                uint16_t width = 0, height = 0;
                KeepSmallest(measure[i],
                             Profile([&] { ComputeTextRegionSize(text, &p, nullptr, &width, &height, nullptr); }),
                             pass == 0);
                KeepSmallest(peerDraw[i], Profile([&] { TextSurface(description).DrawFresh(language, lines[i]); }),
                             pass == 0);
                KeepSmallest(peerMeasure[i], Profile([&] { TextSurface(description).Measure(language, lines[i]); }),
                             pass == 0);
            }
        }
        Report(language.code, kEntries[0], render, ticksPerMicrosecond);
        Report(language.code, kEntries[1], measure, ticksPerMicrosecond);
        Report(language.code, kEntries[2], peerDraw, ticksPerMicrosecond);
        Report(language.code, kEntries[3], peerMeasure, ticksPerMicrosecond);
    }
    PrintSummaries();
    return 0;
}
