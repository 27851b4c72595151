// Many calls must leave no system object and no memory behind.
#include <gtest/gtest.h>

#include "api/api_support.h"
#include "support/gdi_handles.h"

#ifdef _WIN32
#include <psapi.h>
#endif

namespace textraster::test {
namespace {

#ifdef _WIN32
size_t CommittedBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}
#endif

#ifdef TEXTRASTER_SANITIZED
// LeakSanitizer accounts for every block at the end; a few hundred calls show
// a leak per call as surely, at a fraction of the time its unwinder takes.
constexpr int kCalls = 300;
#else
constexpr int kCalls = 10000;
#endif

TEST(Resources, TenThousandCallsLeaveNothingBehind) {
    TextLayoutParams p = Request(64, 32);
    const Text text = T(u"Leak? \x05E9\x05DC\x05D5\x05DD");
    std::vector<uint32_t> pixels(64 * 32);
    uint16_t width = 0, height = 0;
    uint8_t cell = 0;
    auto call = [&] {
        ASSERT_EQ(RenderText(text.c_str(), &p, pixels.data(), nullptr, nullptr, nullptr), TR_OK);
        ASSERT_EQ(ComputeTextRegionSize(text.c_str(), &p, nullptr, &width, &height, nullptr), TR_OK);
        ASSERT_EQ(GetFontCharacterCellHeight(p.faceName, 20, 1, &cell), TR_OK);
    };
    for (int i = 0; i < 100; ++i) call();  // warm the system's caches
#ifdef _WIN32
    const uint32_t slotBefore = FreshGdiSlot();
    const size_t bytesBefore = CommittedBytes();
#endif
    for (int i = 0; i < kCalls; ++i) call();
#ifdef _WIN32
    // Each call makes at least five objects: a leak of one per call would move the slot by thousands.
    EXPECT_LE(FreshGdiSlot(), slotBefore + 16);
    EXPECT_LT(CommittedBytes(), bytesBefore + (4u << 20));
#endif
}

}  // namespace
}  // namespace textraster::test
