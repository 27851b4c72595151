// The extents a call has measured are found again by where their run starts
// and how long it is, and by nothing else.
#include "render/measured_runs.h"

#include <gtest/gtest.h>

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
