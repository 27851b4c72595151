// Many calls must leave no system object, no open file and no memory behind.
// The calls go to the library's own code, where the platform's objects can
// be counted: the handle table natively, its lowest free slot on Windows.
#include <gtest/gtest.h>

#include <vector>

#include "support/request.h"
#include "support/test_text.h"
#include "textraster.h"

#ifdef _WIN32
#include "support/gdi_handles.h"
// clang-format off: psapi needs windows.h first
#include <psapi.h>
#include <windows.h>
// clang-format on
#else
#include <malloc.h>

#include <filesystem>

#include "platform/portable/portable_object.h"
#endif

namespace textraster {
namespace {

using test::T;
using test::Text;

// What is left behind: system objects (or, on Windows, how far the handle
// table's lowest free slot has moved), open files and heap bytes.
struct Footprint {
    size_t objects = 0;
    size_t files = 0;
    size_t bytes = 0;
};

Footprint Now() {
    Footprint now;
#ifdef _WIN32
    now.objects = test::FreshGdiSlot();
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    now.bytes = counters.PagefileUsage;
#else
    now.objects = portable::CountObjects();
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) now.files += !entry.is_directory();
    now.bytes = mallinfo2().uordblks;
#endif
    return now;
}

#ifdef TEXTRASTER_SANITIZED
// LeakSanitizer accounts for every block at the end; a few hundred calls show
// a leak per call as surely, at a fraction of the time its unwinder takes.
constexpr int kCalls = 300;
#else
constexpr int kCalls = 10000;
#endif

TEST(Resources, TenThousandCallsLeaveNothingBehind) {
    static const Text face = T(u"DejaVu Sans");
    TextLayoutParams p = test::ValidRequest(face.c_str(), 24, 64, 32);
    const Text text = T(u"Leak? \x05E9\x05DC\x05D5\x05DD");
    std::vector<uint32_t> pixels(64 * 32);
    uint16_t width = 0, height = 0;
    uint8_t cell = 0;
    auto call = [&] {
        ASSERT_EQ(RenderText(text.c_str(), &p, pixels.data(), nullptr, nullptr, nullptr), TR_OK);
        ASSERT_EQ(ComputeTextRegionSize(text.c_str(), &p, nullptr, &width, &height, nullptr), TR_OK);
        ASSERT_EQ(GetFontCharacterCellHeight(p.faceName, 20, 1, &cell), TR_OK);
    };
    for (int i = 0; i < 100; ++i) call();  // warm the caches: the same font and text from here on
    const Footprint before = Now();
    for (int i = 0; i < kCalls; ++i) call();
    const Footprint after = Now();
#ifdef _WIN32
    // Each call makes at least five objects: a leak of one per call would move the slot by thousands.
    EXPECT_LE(after.objects, before.objects + 16);
    EXPECT_LT(after.bytes, before.bytes + (4u << 20));
#else
    EXPECT_EQ(after.objects, before.objects);
    EXPECT_EQ(after.files, before.files);
    // A block per call would be kCalls blocks; what moves is the C library's own bookkeeping.
    EXPECT_LT(after.bytes, before.bytes + 64 * 1024);
#endif
}

}  // namespace
}  // namespace textraster
