// Calls from many threads at once: each gets exactly what the same call gets
// alone. The library keeps no state of its own; what the threads share is the
// system (its font cache, the handle table, private fonts) and the heap.
// Every thread also registers a private font from memory, draws with it and
// removes it again, while the others do the same.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "api/api_support.h"
#include "support/font_builder.h"
#include "support/font_files.h"

namespace textraster::test {
namespace {

using test::Bytes;
using test::NameTableBuilder;

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

// DejaVu Sans Mono under a family of its own: drawn with it only while
// registered, otherwise with some other face, which shows.
constexpr char16_t kMemoryFamily[] = u"Textraster Threads Mono";

const Bytes& MemoryFont() {
    static const Bytes font = ReplaceNameTable(
        ReadFileBytes(FontFile("DejaVu Sans Mono")),
        NameTableBuilder{}.AddWindowsNames(kMemoryFamily, kMemoryFamily).Add(3, 1, 0x409, 2, u"Regular"));
    return font;
}

struct Registered {
    int32_t code = -1;
    Text fullName;
    Outcome drawn;
    int32_t removed = -1;

    bool operator==(const Registered& o) const {
        return code == o.code && fullName == o.fullName && drawn == o.drawn && removed == o.removed;
    }
};

// Registers the memory font, draws with it, removes it.
Registered RegisterDrawRemove(const Call& call) {
    Registered r;
    void* handle = nullptr;
    uint32_t count = 0;
    TextChar fullName[TEXTRASTER_FULL_NAME_CAPACITY] = {};
    r.code = AddMemFont(MemoryFont().data(), uint32_t(MemoryFont().size()), &handle, &count, fullName);
    r.fullName = fullName;
    r.drawn = Make(call);
    r.removed = handle ? RemoveMemFont(handle) : -1;
    return r;
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
    ASSERT_FALSE(MemoryFont().empty());
    Call memoryCall{"private font from memory", T(u"Monospaced, privately"), Request(200, 40)};
    memoryCall.params.faceName = Face(kMemoryFamily);
    // The references come from a thread of their own, as the calls under test
    // do: on 32-bit Windows the main thread computes with another x87
    // precision than the threads it starts.
    std::vector<Outcome> expected;
    std::vector<uint8_t> cells;
    Registered registered;
    Outcome unregistered;
    std::thread([&] {
        for (const Call& r : requests) expected.push_back(Make(r));
        for (const CellRequest& c : kCells) cells.push_back(CellHeight(c));
        // What an unknown family is drawn with. (Not the memory font's own
        // family: the system may remember what it chose for a name.)
        Call unknown = memoryCall;
        unknown.params.faceName = Face(u"Textraster Threads Unknown");
        unregistered = Make(unknown);
        registered = RegisterDrawRemove(memoryCall);
    }).join();
    // The private font is what the drawing used.
    EXPECT_NE(registered.drawn.drawn.pixels, unregistered.drawn.pixels);
    ASSERT_EQ(registered.code, TR_OK);
    ASSERT_EQ(registered.fullName, T(kMemoryFamily));
    ASSERT_EQ(registered.removed, TR_OK);
    ASSERT_EQ(registered.drawn.drawn.code, TR_OK);
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
                if (!(RegisterDrawRemove(memoryCall) == registered)) {
                    ++mismatches;
                    const char* none = nullptr;
                    firstMismatch.compare_exchange_strong(none, memoryCall.what);
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
