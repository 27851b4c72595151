// The read-back blocks kept between calls: a kept block serves the next
// request it fits without wasting more than half of itself, and what is kept
// stays within its bounds.
#include "render/readback_blocks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace textraster {
namespace {

class ReadBackBlocks : public testing::Test {
   protected:
    void SetUp() override { FreeReadBackBlocks(); }
    void TearDown() override { FreeReadBackBlocks(); }
};

TEST_F(ReadBackBlocks, AKeptBlockServesTheRequestsItFits) {
    struct Case {
        size_t kept;
        size_t asked;
        bool reused;
    };
    const Case kCases[] = {
        {819240, 819240, true},   // the same region again
        {819240, 409620, true},   // half as much
        {819240, 409619, false},  // less than half: its own block
        {819240, 819241, false},  // more
        {40, 40, true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.kept << " kept, " << c.asked << " asked");
        void* block = TakeReadBackBlock(c.kept);
        ASSERT_NE(block, nullptr);
        std::memset(block, 0xAB, c.kept);  // all of it is there to be written
        KeepReadBackBlock(block);
        void* next = TakeReadBackBlock(c.asked);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next == block, c.reused);
        KeepReadBackBlock(next);
        FreeReadBackBlocks();
        EXPECT_EQ(KeptReadBackBlocks(), 0u);
    }
}

TEST_F(ReadBackBlocks, AreKeptWithinBounds) {
    // More blocks than are kept: the oldest go.
    std::vector<void*> blocks;
    for (size_t i = 0; i < kKeptReadBackBlocks + 2; ++i) blocks.push_back(TakeReadBackBlock(1000 + i));
    for (void* block : blocks) KeepReadBackBlock(block);
    EXPECT_EQ(KeptReadBackBlocks(), kKeptReadBackBlocks);
    // The newest are the ones kept.
    EXPECT_EQ(TakeReadBackBlock(1000 + kKeptReadBackBlocks + 1), blocks.back());
    FreeReadBackBlocks();

    // Bytes: two blocks of more than half the bound are never kept together,
    // and one larger than the bound is not kept at all.
    const size_t large = kKeptReadBackBytes / 2 + 1;
    void* first = TakeReadBackBlock(large);
    void* second = TakeReadBackBlock(large);
    ASSERT_TRUE(first && second);
    KeepReadBackBlock(first);
    KeepReadBackBlock(second);
    EXPECT_EQ(KeptReadBackBlocks(), 1u);
    EXPECT_LE(KeptReadBackBytes(), kKeptReadBackBytes);
    FreeReadBackBlocks();
    void* huge = TakeReadBackBlock(kKeptReadBackBytes + 1);
    ASSERT_NE(huge, nullptr);
    KeepReadBackBlock(huge);
    EXPECT_EQ(KeptReadBackBlocks(), 0u);

    KeepReadBackBlock(nullptr);
    EXPECT_EQ(KeptReadBackBlocks(), 0u);
}

}  // namespace
}  // namespace textraster
