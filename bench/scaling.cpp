// Every call must cost time in proportion to its text. For texts that a
// host could send to stall a frame loop (long runs of white space in each
// space mode, many line feeds and separators, long words, marks, one
// character repeated, right-to-left runs with brackets), each call is timed
// at a length n and at 4n: a linear call takes about 4 times as long, one
// that grows with the square 16 times. A ratio above 5 is a fault, and the
// program then fails. Natively, each call's peak memory at 4n is measured
// too, one call in a child process of its own (see PeakMemory): more than
// 64 MiB beyond the call's two drawing surfaces is a fault as well.
//
// Usage: scaling [n] [filter]   (n: the shorter length, 50000 by default;
//                               filter: only cases whose name contains it)
// Prints a Markdown table (docs/scaling.md holds one).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <malloc.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#endif

#include "textraster.h"

namespace {

using Text = std::basic_string<TextChar>;

constexpr double kFaultRatio = 5.0;
constexpr double kFaultMiB = 64.0;
constexpr unsigned kLongestCall = 60;  // seconds of one call whose memory is measured
constexpr int kRounds = 5;             // n and 4n alternate; the median of each counts

// The calling thread's CPU time in seconds: the machine may be shared.
double CpuSeconds() {
#ifdef _WIN32
    FILETIME creation, exit, kernel, user;
    GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user);
    auto seconds = [](const FILETIME& t) { return double(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) * 1e-7; };
    return seconds(kernel) + seconds(user);
#else
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
#endif
}

Text Repeat(const char16_t* piece, size_t length) {
    Text text;
    text.reserve(length + 8);
    while (text.size() < length)
        for (const char16_t* p = piece; *p && text.size() < length; ++p) text += TextChar(*p);
    return text;
}

Text Of(const char16_t* s) {
    Text text;
    for (; *s; ++s) text += TextChar(*s);
    return text;
}

const Text& Face(const char16_t* name) {
    static std::vector<Text>* faces = new std::vector<Text>;
    for (const Text& face : *faces)
        if (face == Of(name)) return face;
    faces->reserve(16);
    faces->push_back(Of(name));
    return faces->back();
}

// The request the cases start from: a 640 x 120 region, DejaVu Sans with a
// 20-pixel cell, wrapped, white space kept, LF kept.
TextLayoutParams BaseRequest() {
    TextLayoutParams p{};
    p.size = int16_t(sizeof p);
    p.regionWidth = p.bufferWidth = 640;
    p.regionHeight = p.bufferHeight = 120;
    p.bufferSize = 640u * 120u * 4u;
    p.topDown = 1;
    p.textColor = 0xFFFFFFFF;
    p.backColor = 0x80000000;
    p.faceName = Face(u"DejaVu Sans").c_str();
    p.fontHeight = 20;
    p.spaceMode = 2;
    p.newlineMode = 2;
    p.preserveSpaces = 1;
    p.wordWrap = 1;
    p.linePitch = 20;
    p.writingMode = 1;
    p.alignment = 1;
    return p;
}

struct Case {
    std::string name;
    std::function<Text(size_t)> text;  // the text of about that length
    TextLayoutParams params;
    size_t divisor;  // timed at n / divisor and 4n / divisor: a text too slow for n
};

template <typename Change>
Case Make(std::string name, std::function<Text(size_t)> text, Change change, size_t divisor = 1) {
    TextLayoutParams p = BaseRequest();
    change(p);
    return {std::move(name), std::move(text), p, divisor};
}

std::vector<Case> Cases() {
    std::vector<Case> cases;
    auto none = [](TextLayoutParams&) {};
    // A run of white space before a letter, and before a line feed, in every
    // space mode, collapsed and kept.
    for (int mode : {0, 1, 2, 3, 4})
        for (int preserve : {0, 1}) {
            const std::string how = "space mode " + std::to_string(mode) + (preserve ? ", kept" : ", collapsed");
            auto set = [mode, preserve](TextLayoutParams& p) {
                p.spaceMode = mode;
                p.preserveSpaces = preserve;
            };
            cases.push_back(Make(
                "spaces then a letter, " + how, [](size_t n) { return Repeat(u" ", n) + TextChar('a'); }, set));
            cases.push_back(Make(
                "tabs and spaces then LF, " + how, [](size_t n) { return Repeat(u"\t ", n) + Of(u"\nb"); }, set));
        }
    cases.push_back(Make(
        "spaces inside a line, wrapped", [](size_t n) { return Of(u"a") + Repeat(u" ", n) + Of(u"b"); }, none));
    cases.push_back(Make(
        "spaces inside a line, leading kept", [](size_t n) { return Repeat(u" \t", n) + Of(u"b"); },
        [](TextLayoutParams& p) { p.leadingSpaceMode = 1; }));
    cases.push_back(Make(
        "line feeds", [](size_t n) { return Repeat(u"\n", n); }, none));
    cases.push_back(Make(
        "letter, line feed", [](size_t n) { return Repeat(u"a\n", n); }, none));
    cases.push_back(Make(
        "line feeds as spaces", [](size_t n) { return Repeat(u"a\n", n); },
        [](TextLayoutParams& p) { p.newlineMode = 0; }));
    cases.push_back(Make(
        "line feeds as zero-width spaces", [](size_t n) { return Repeat(u"a\n", n); },
        [](TextLayoutParams& p) { p.newlineMode = 3; }));
    cases.push_back(Make(
        "U+2028", [](size_t n) { return Repeat(u"a\u2028", n); }, none));
    cases.push_back(Make(
        "U+2029, right to left", [](size_t n) { return Repeat(u"\u05d0\u2029", n); },
        [](TextLayoutParams& p) { p.writingMode = 2; }));
    cases.push_back(Make(
        "one long word, wrapped", [](size_t n) { return Repeat(u"x", n); }, none));
    cases.push_back(Make(
        "one long word, unwrapped", [](size_t n) { return Repeat(u"x", n); },
        [](TextLayoutParams& p) { p.wordWrap = 0; }));
    cases.push_back(Make(
        "one long word, widest region", [](size_t n) { return Repeat(u"xi", n); },
        [](TextLayoutParams& p) {
            p.regionWidth = p.bufferWidth = 0xFFFF;
            p.regionHeight = p.bufferHeight = 4;
            p.bufferSize = 0xFFFFu * 4u * 4u;
        }));
    cases.push_back(Make(
        "one long word, 1-pixel font", [](size_t n) { return Repeat(u"xi", n); },
        [](TextLayoutParams& p) { p.fontHeight = p.linePitch = 1; }));
    cases.push_back(Make(
        "words", [](size_t n) { return Repeat(u"lorem ipsum dolor sit amet, ", n); }, none));
    cases.push_back(Make(
        "words, centred, vertical", [](size_t n) { return Repeat(u"lorem ipsum dolor sit amet, ", n); },
        [](TextLayoutParams& p) {
            p.writingMode = 3;
            p.alignment = 2;
            p.regionHeight = p.bufferHeight = 640;
            p.regionWidth = p.bufferWidth = 120;
        }));
    cases.push_back(Make(
        "one ideograph repeated", [](size_t n) { return Repeat(u"\u6f22", n); },
        [](TextLayoutParams& p) { p.faceName = Face(u"WenQuanYi Micro Hei").c_str(); }));
    cases.push_back(Make(
        "marks on one letter", [](size_t n) { return Of(u"a") + Repeat(u"\u0301", n); }, none, 100));
    cases.push_back(Make(
        "marks, unwrapped", [](size_t n) { return Of(u"a") + Repeat(u"\u0301", n); },
        [](TextLayoutParams& p) { p.wordWrap = 0; }, 5));
    cases.push_back(Make(
        "zero-width joiners", [](size_t n) { return Repeat(u"\u200d", n); }, none, 25));
    cases.push_back(Make(
        "word joiners", [](size_t n) { return Repeat(u"\u2060", n); }, none));
    cases.push_back(Make(
        "embeddings opened and closed", [](size_t n) { return Repeat(u"\u202b\u202c", n); }, none, 25));
    auto widest = [](TextLayoutParams& p) {
        p.regionWidth = p.bufferWidth = 0xFFFF;
        p.regionHeight = p.bufferHeight = 4;
        p.bufferSize = 0xFFFFu * 4u * 4u;
        p.fontHeight = p.linePitch = 1;
    };
    cases.push_back(Make(
        "Hebrew words, 1-pixel font, widest region", [](size_t n) { return Repeat(u"\u05e9\u05dc\u05d5\u05dd ", n); },
        widest));
    cases.push_back(Make(
        "Hebrew in brackets, 1-pixel font, widest region",
        [](size_t n) { return Repeat(u"(\u05e9\u05dc\u05d5\u05dd) ", n); }, widest, 25));
    cases.push_back(Make(
        "Latin and Hebrew, 1-pixel font, widest region", [](size_t n) { return Repeat(u"ab \u05e9\u05dc ", n); },
        widest));
    cases.push_back(Make(
        "zero-width spaces between letters", [](size_t n) { return Repeat(u"a\u200b", n); }, none));
    cases.push_back(Make(
        "Hebrew words, an open bracket", [](size_t n) { return Repeat(u"\u05e9\u05dc\u05d5\u05dd (", n); },
        [](TextLayoutParams& p) { p.writingMode = 2; }));
    cases.push_back(Make(
        "Hebrew and Latin, nested brackets",
        [](size_t n) { return Repeat(u"(\u05d0 [b", n / 2) + Repeat(u"] \u05d2)", n / 2); },
        [](TextLayoutParams& p) { p.writingMode = 2; }));
    cases.push_back(Make(
        "Arabic, one long word", [](size_t n) { return Repeat(u"\u0628\u064e", n); },
        [](TextLayoutParams& p) { p.writingMode = 2; }));
    // A letter that joins nothing, then one word of letters that all join:
    // every prefix of the word ends where its glyphs cannot be cut.
    auto arabic12 = [](TextLayoutParams& p) {
        p.regionWidth = p.bufferWidth = 0xFFFF;
        p.regionHeight = p.bufferHeight = 4;
        p.bufferSize = 0xFFFFu * 4u * 4u;
        p.fontHeight = p.linePitch = 12;
        p.writingMode = 2;
    };
    cases.push_back(Make(
        "Arabic, a letter then one joined word, widest region",
        [](size_t n) { return Of(u"\u0631") + Repeat(u"\u0628", n); }, arabic12));
    cases.push_back(Make(
        "Arabic with marks, a letter then one joined word, widest region",
        [](size_t n) { return Of(u"\u0631") + Repeat(u"\u0628\u064e", n); }, arabic12));
    // Explicit bidi controls of every kind among letters of both directions,
    // more opened than closed (so that the levels climb to the deepest and
    // overflow) and balanced.
    cases.push_back(Make(
        "explicit bidi controls, 1-pixel font, widest region",
        [](size_t n) {
            return Repeat(
                u"\u202ba\u2066\u05d0 \u202d(b\u2069\u202c\u2068\u05d1]\u202e c\u202c\u2067d\u2069"
                u"\u202a\u05d2 \u202c",
                n);
        },
        widest, 25));
    cases.push_back(Make(
        "explicit bidi controls, balanced",
        [](size_t n) {
            return Repeat(
                u"\u202ba\u202c \u2067\u05d0b\u2069\u202d\u05d1 \u202c\u2068c\u2069\u202e\u05d2\u202c "
                u"\u202a\u05d3d\u202c\u2066\u05d4\u2069 ",
                n);
        },
        none));
    cases.push_back(Make(
        "Arabic marks, unwrapped", [](size_t n) { return Of(u"\u0628") + Repeat(u"\u064e", n); },
        [](TextLayoutParams& p) {
            p.writingMode = 2;
            p.wordWrap = 0;
        },
        5));
    return cases;
}

enum class Call { kMeasure, kRender };

// CPU seconds of one call on the text: the call repeated until it has taken
// at least kShortest, so that a fast call's time is not the clock's grain
// (coarser under Wine).
#ifdef _WIN32
constexpr double kShortest = 0.25;
#else
constexpr double kShortest = 0.05;
#endif

double Time(const Case& c, Call call, const Text& text, std::vector<uint32_t>& pixels) {
    const double start = CpuSeconds();
    int calls = 0;
    double elapsed = 0;
    do {
        uint16_t width = 0, height = 0;
        if (call == Call::kMeasure)
            ComputeTextRegionSize(text.c_str(), &c.params, nullptr, &width, &height, nullptr);
        else
            RenderText(text.c_str(), &c.params, pixels.data(), nullptr, nullptr, nullptr);
        ++calls;
        elapsed = CpuSeconds() - start;
    } while (elapsed < kShortest);
    return elapsed / calls;
}

// The growth of the resident memory of a process making one call on the
// text beyond what it held before, less the call's two drawing surfaces
// (colour and opacity, the region's size each, for RenderText), in MiB; a
// negative value when it could not be measured. A child process of its own
// makes the font with a short text, gives the C library's free memory back
// to the system and resets the kernel's peak (VmHWM, by writing 5 to
// /proc/self/clear_refs), so that the peak counts every page the call
// touched, whether newly taken or freed earlier. Whatever the library keeps
// from call to call (font caches, pooled blocks) counts where this call
// takes it first. -3 when the call took more than kLongestCall.
double PeakMemory(const Case& c, Call call, const Text& text, const Text& warm, std::vector<uint32_t>& pixels) {
#ifdef _WIN32
    (void)c, (void)call, (void)text, (void)warm, (void)pixels;
    return -1;
#else
    int fds[2];
    if (pipe(fds) != 0) return -1;
    std::fflush(stdout);
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        close(fds[0]);
        alarm(kLongestCall);  // a call this slow is a fault of its own
        auto kib = [](const char* field) {
            long value = -1;
            if (FILE* status = std::fopen("/proc/self/status", "r")) {
                char line[256];
                const size_t length = std::strlen(field);
                while (std::fgets(line, sizeof line, status))
                    if (std::strncmp(line, field, length) == 0) value = std::strtol(line + length, nullptr, 10);
                std::fclose(status);
            }
            return value;
        };
        auto once = [&](const Text& t) {
            uint16_t width = 0, height = 0;
            if (call == Call::kMeasure)
                ComputeTextRegionSize(t.c_str(), &c.params, nullptr, &width, &height, nullptr);
            else
                RenderText(t.c_str(), &c.params, pixels.data(), nullptr, nullptr, nullptr);
        };
        once(warm);
        malloc_trim(0);
        const long before = kib("VmRSS:");
        FILE* refs = std::fopen("/proc/self/clear_refs", "w");
        const bool reset = refs && std::fputs("5", refs) >= 0 && std::fclose(refs) == 0;
        once(text);
        const long peak = kib("VmHWM:");
        double mib = -1;
        if (reset && before >= 0 && peak >= 0) {
            const double surfaces =
                call == Call::kRender ? 2.0 * double(c.params.regionWidth) * c.params.regionHeight * 4 : 0;
            mib = std::max(0.0, (double(peak - before) * 1024 - surfaces) / (1024.0 * 1024.0));
        }
        const ssize_t written = write(fds[1], &mib, sizeof mib);
        _exit(written == sizeof mib ? 0 : 1);
    }
    close(fds[1]);
    double mib = -1;
    const ssize_t got = read(fds[0], &mib, sizeof mib);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) return -3;
    return got == sizeof mib && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? mib : -2;
#endif
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string Ms(double seconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer,
                  seconds < 0.01 ? "%.3f ms"
                  : seconds < 10 ? "%.0f ms"
                                 : "%.0f s",
                  seconds < 10 ? seconds * 1e3 : seconds);
    return buffer;
}

}  // namespace

int main(int argc, char** argv) {
    const size_t n = argc > 1 ? size_t(std::strtoul(argv[1], nullptr, 10)) : 50000;
    const char* filter = argc > 2 ? argv[2] : "";
    std::vector<uint32_t> pixels(size_t(0xFFFF) * 120);
    int faults = 0;
    std::printf(
        "| text (n = %zu units) | ComputeTextRegionSize, n | 4n | ratio | peak MiB | RenderText, n | 4n | ratio | "
        "peak MiB |\n",
        n);
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    // Memory first, every child forked from a process that has not called
    // the library yet: a child inherits the font caches of the calls made
    // before it, and the timing below makes every call at 4n many times.
    std::vector<Case> cases;
    for (Case& c : Cases())
        if (c.name.find(filter) != std::string::npos) cases.push_back(std::move(c));
    std::vector<double> peaks;
    for (const Case& c : cases) {
        const Text largest = c.text(4 * std::max<size_t>(1, n));  // at 4n whatever the divisor: one call
        for (const Call call : {Call::kMeasure, Call::kRender})
            peaks.push_back(PeakMemory(c, call, largest, c.text(16), pixels));
    }
    const double* peak = peaks.data();
    for (const Case& c : cases) {
        const size_t length = std::max<size_t>(1, n / c.divisor);
        const Text small = c.text(length), large = c.text(4 * length);
        std::string row = "| " + c.name + (c.divisor > 1 ? " (n / " + std::to_string(c.divisor) + ")" : "");
        bool fault = false;
        for (const Call call : {Call::kMeasure, Call::kRender}) {
            Time(c, call, small, pixels);  // the font made, the caches warm
            std::vector<double> shorter, longer;
            for (int round = 0; round < kRounds; ++round) {
                shorter.push_back(Time(c, call, small, pixels));
                longer.push_back(Time(c, call, large, pixels));
            }
            const double a = Median(shorter), b = Median(longer), ratio = b / a;
            const double mib = *peak++;
            fault = fault || ratio > kFaultRatio || mib > kFaultMiB || mib < -1.5;
            char memory[32] = "–";
            if (mib >= 0) std::snprintf(memory, sizeof memory, "%.1f", mib);
            if (mib < -1.5) std::snprintf(memory, sizeof memory, mib < -2.5 ? "over %u s" : "failed", kLongestCall);
            char cells[128];
            std::snprintf(cells, sizeof cells, " | %s | %s | %.1f | %s", Ms(a).c_str(), Ms(b).c_str(), ratio, memory);
            row += cells;
        }
        faults += fault;
        std::printf("%s |%s\n", row.c_str(), fault ? " **fault**" : "");
        std::fflush(stdout);
    }
    if (faults) std::printf("\n%d texts cost more than linear time or 64 MiB\n", faults);
    return faults ? 1 : 0;
}
