// The extents a call has measured are found again by where their run starts
// and how long it is, and by nothing else.
#include "render/measured_runs.h"

#include <gtest/gtest.h>

#include "memory/pooled_array.h"
#include "support/test_text.h"

namespace textraster {
namespace {

using test::T;
using test::Text;

TEST(MeasuredRuns, FindsWhatWasRememberedForThatStartAndCount) {
    const Text text = T(u"one line, and another");
    const TextChar* first = text.c_str();
    const TextChar* second = first + 10;
    MeasuredRuns measured;
    int32_t extent = 12345;
    EXPECT_FALSE(measured.Find(first, 3, extent));
    measured.Remember(first, 3, 31);
    measured.Remember(first, 9, 0);    // an extent of 0 is an extent
    measured.Remember(second, 3, -7);  // and so is a negative one
    measured.Remember(first, 200, 900);
    const struct {
        const TextChar* start;
        uint32_t count;
        bool found;
        int32_t extent;
    } cases[] = {
        {first, 3, true, 31}, {first, 9, true, 0},    {second, 3, true, -7},   {first, 200, true, 900},
        {first, 4, false, 0}, {first, 2, false, 0},   {second, 9, false, 0},   {first + 1, 3, false, 0},
        {first, 0, false, 0}, {first, 201, false, 0}, {second, 200, false, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << (k.start - first) << "+" << k.count);
        extent = 12345;
        EXPECT_EQ(measured.Find(k.start, k.count, extent), k.found);
        EXPECT_EQ(extent, k.found ? k.extent : 12345);
    }
    // Remembered again, the newer extent counts.
    measured.Remember(first, 3, 32);
    EXPECT_TRUE(measured.Find(first, 3, extent));
    EXPECT_EQ(extent, 32);
}

}  // namespace
}  // namespace textraster

namespace textraster {
namespace {

// What one call builds up to megabytes (the extents of a text of many
// lines) comes again from the blocks the last call gave back, not from
// fresh memory, whose pages the system maps in one by one.
size_t allocated = 0;  // bytes of fresh blocks
void* CountedAllocate(size_t bytes) {
    allocated += bytes;
    return ::operator new(bytes);
}
void CountedFree(void* block) {
    ::operator delete(block);
}

TEST(PooledArray, TheNextCallReusesTheLastOnesBlocks) {
    BlockPool pool({4, size_t(32) << 20, size_t(64) << 10}, CountedAllocate, CountedFree);
    auto fill = [&pool] {
        PooledArray<int32_t> values(pool);
        for (size_t n = 1; n <= 1000000; n += 1000) {
            const size_t before = values.size();
            values.resize(n, 7);
            for (size_t i = before; i < n; ++i) ASSERT_EQ(values[i], 7);
            values[n - 1] = int32_t(n);
        }
        EXPECT_EQ(values[1000000 - 1000], int32_t(1000000 - 999));
    };
    fill();
    const size_t first = allocated;
    EXPECT_GE(first, size_t(4) << 20);  // 4 MB reached by doubling
    allocated = 0;
    fill();
    EXPECT_LT(allocated, first / 4) << first;  // the large blocks came back
    pool.FreeAll();
}

}  // namespace
}  // namespace textraster
