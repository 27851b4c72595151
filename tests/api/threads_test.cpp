// Calls from many threads at once: each gets exactly what the same call gets
// alone. The library keeps no state of its own; what the threads share is the
// system (its font cache, the handle table, private fonts) and the heap.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "api/api_support.h"

namespace textraster::test {
namespace {

constexpr int kThreads = 8;
constexpr auto kDuration = std::chrono::seconds(2);

struct Call {
    const char* what;
    Text text;
    TextLayoutParams params;
};

std::vector<Call> Calls() {
    std::vector<Call> requests;
    auto add = [&](const char* what, const char16_t* text, auto change) {
        TextLayoutParams p = Request(160, 90);
        change(p);
        requests.push_back({what, T(text), p});
    };
    add("wrapped", u"Threads meet only in the heap and in the system.", [](TextLayoutParams&) {});
    add("centred bold serif", u"Centred\nbold serif", [](TextLayoutParams& p) {
        p.faceName = Face(u"Liberation Serif");
        p.fontStyle = 1;
        p.alignment = 2;
        p.backColor = 0x80402000;
    });
    add("italic, end, inside a larger buffer", u"italic at the end", [](TextLayoutParams& p) {
        p.fontStyle = 2;
        p.alignment = 3;
        p.bufferWidth = 200;
        p.bufferHeight = 120;
        p.bufferSize = 200 * 120 * 4;
        p.destX = 30;
        p.destY = 20;
        p.topDown = 0;
    });
    add("vertical columns", u"\x7E26\x66F8\x304D\x306E\x6587\x7AE0\n\x65E5\x672C", [](TextLayoutParams& p) {
        p.faceName = Face(u"WenQuanYi Micro Hei");
        p.writingMode = 3;
        p.fontHeight = 20;
        p.linePitch = 22;
    });
    add("default face, small", u"The system's own choice of face", [](TextLayoutParams& p) {
        p.faceName = nullptr;
        p.fontHeight = 12;
        p.linePitch = 14;
    });
#ifndef _WIN32
    // Right-to-left drawing on several threads at once can crash Wine's own
    // script cache, so these run natively only.
    add("right to left", u"\x05E9\x05DC\x05D5\x05DD \x05E2\x05D5\x05DC\x05DD, 123",
        [](TextLayoutParams& p) { p.writingMode = 2; });
    add("joined letters", u"\x0645\x0631\x062D\x0628\x0627 \x0628\x0627\x0644\x0639\x0627\x0644\x0645",
        [](TextLayoutParams& p) {
            p.writingMode = 2;
            p.alignment = 2;
        });
#endif
    return requests;
}

struct Outcome {
    Rendering drawn;
    int32_t code = -1;
    uint16_t ascent = 0, width = 0, height = 0, extent = 0;

    bool operator==(const Outcome& o) const {
        return drawn.code == o.drawn.code && drawn.pixels == o.drawn.pixels && drawn.ascent == o.drawn.ascent &&
               drawn.usedLinePitch == o.drawn.usedLinePitch && drawn.lastLineExtent == o.drawn.lastLineExtent &&
               code == o.code && ascent == o.ascent && width == o.width && height == o.height && extent == o.extent;
    }
};

Outcome Make(const Call& r) {
    Outcome o;
    o.drawn = Render(r.text, r.params, 0x12345678);
    o.code = ComputeTextRegionSize(r.text.c_str(), &r.params, &o.ascent, &o.width, &o.height, &o.extent);
    return o;
}

struct CellRequest {
    const TextChar* face;
    int32_t height, style;
};

const CellRequest kCells[] = {{Face(u"DejaVu Sans"), 20, 0},
                              {Face(u"Liberation Serif"), 33, 3},
                              {Face(u"WenQuanYi Micro Hei"), 15, 0},
                              {nullptr, 40, 1}};

uint8_t CellHeight(const CellRequest& c) {
    uint8_t cell = 0;
    return GetFontCharacterCellHeight(c.face, c.height, c.style, &cell) == TR_OK ? cell : 0;
}

TEST(Threads, EachCallGetsWhatItGetsAlone) {
    const std::vector<Call> requests = Calls();
    // The references come from a thread of their own, as the calls under test
    // do: on 32-bit Windows the main thread computes with another x87
    // precision than the threads it starts.
    std::vector<Outcome> expected;
    std::vector<uint8_t> cells;
    std::thread([&] {
        for (const Call& r : requests) expected.push_back(Make(r));
        for (const CellRequest& c : kCells) cells.push_back(CellHeight(c));
    }).join();
    for (size_t i = 0; i < requests.size(); ++i) {
        SCOPED_TRACE(requests[i].what);
        ASSERT_EQ(expected[i].drawn.code, TR_OK);
        ASSERT_EQ(expected[i].code, TR_OK);
        ASSERT_FALSE(InkBox(expected[i].drawn.pixels, requests[i].params.bufferWidth).empty());
    }
    for (uint8_t cell : cells) ASSERT_GT(cell, 0);

    std::atomic<int> mismatches{0}, calls{0};
    std::atomic<const char*> firstMismatch{nullptr};
    const auto deadline = std::chrono::steady_clock::now() + kDuration;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            // Each thread walks the requests from its own starting point, so
            // that different requests overlap.
            for (size_t i = size_t(t); std::chrono::steady_clock::now() < deadline; ++i) {
                const size_t k = i % requests.size();
                if (!(Make(requests[k]) == expected[k])) {
                    ++mismatches;
                    const char* none = nullptr;
                    firstMismatch.compare_exchange_strong(none, requests[k].what);
                }
                const size_t c = i % (sizeof kCells / sizeof kCells[0]);
                if (CellHeight(kCells[c]) != cells[c]) {
                    ++mismatches;
                    const char* none = nullptr;
                    firstMismatch.compare_exchange_strong(none, "cell height");
                }
                ++calls;
            }
        });
    for (auto& thread : threads) thread.join();

    EXPECT_EQ(mismatches.load(), 0) << "first: " << (firstMismatch.load() ? firstMismatch.load() : "");
    EXPECT_GE(calls.load(), kThreads);
    std::cout << calls.load() << " rounds of calls on " << kThreads << " threads\n";
}

}  // namespace
}  // namespace textraster::test
