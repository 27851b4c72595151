// The blocks kept between calls: a kept block serves the next request it
// fits without wasting more than half of itself, and what is kept stays
// within its bounds.
#include "memory/block_pool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace textraster {
namespace {

// Counts the blocks the pool allocates and frees, to see that what leaves
// the pool is freed exactly once.
size_t allocated = 0, freed = 0;
void* Allocate(size_t bytes) {
    ++allocated;
    return std::malloc(bytes);
}
void Free(void* block) {
    ++freed;
    std::free(block);
}

class Pool : public testing::Test {
   protected:
    static constexpr BlockPool::Limits kLimits{4, 1 << 20, 0};
    void SetUp() override { allocated = freed = 0; }
    void TearDown() override {
        pool->FreeAll();
        EXPECT_EQ(allocated, freed);
    }
    BlockPool pool_{kLimits, Allocate, Free};
    BlockPool* pool = &pool_;
};

TEST_F(Pool, AKeptBlockServesTheRequestsItFits) {
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
        void* block = pool->Take(c.kept);
        ASSERT_NE(block, nullptr);
        std::memset(block, 0xAB, c.kept);  // all of it is there to be written
        pool->GiveBack(block);
        void* next = pool->Take(c.asked);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next == block, c.reused);
        pool->GiveBack(next);
        pool->FreeAll();
        EXPECT_EQ(pool->KeptBlocks(), 0u);
    }
}

TEST_F(Pool, KeepsWithinItsBounds) {
    // More blocks than are kept: the oldest go.
    std::vector<void*> blocks;
    for (size_t i = 0; i < kLimits.blocks + 2; ++i) blocks.push_back(pool->Take(1000 + i));
    for (void* block : blocks) pool->GiveBack(block);
    EXPECT_EQ(pool->KeptBlocks(), kLimits.blocks);
    // The newest are the ones kept.
    EXPECT_EQ(pool->Take(1000 + kLimits.blocks + 1), blocks.back());
    pool->GiveBack(blocks.back());
    pool->FreeAll();

    // Bytes: two blocks of more than half the bound are never kept together,
    // and one larger than the bound is not kept at all.
    const size_t large = kLimits.bytes / 2 + 1;
    void* first = pool->Take(large);
    void* second = pool->Take(large);
    ASSERT_TRUE(first && second);
    pool->GiveBack(first);
    pool->GiveBack(second);
    EXPECT_EQ(pool->KeptBlocks(), 1u);
    EXPECT_LE(pool->KeptBytes(), kLimits.bytes);
    pool->FreeAll();
    void* huge = pool->Take(kLimits.bytes + 1);
    ASSERT_NE(huge, nullptr);
    pool->GiveBack(huge);
    EXPECT_EQ(pool->KeptBlocks(), 0u);

    pool->GiveBack(nullptr);
    EXPECT_EQ(pool->KeptBlocks(), 0u);
}

TEST_F(Pool, SmallBlocksAreNotKept) {
    BlockPool small({4, 1 << 20, 4096}, Allocate, Free);
    void* below = small.Take(4095);
    void* at = small.Take(4096);
    ASSERT_TRUE(below && at);
    small.GiveBack(below);  // freed at once
    small.GiveBack(at);
    EXPECT_EQ(small.KeptBlocks(), 1u);
    EXPECT_EQ(freed, 1u);
    void* fresh = small.Take(4095);  // too small to be served from the pool
    EXPECT_NE(fresh, at);
    small.GiveBack(fresh);
    EXPECT_EQ(small.Take(4096), at);
    small.GiveBack(at);
    small.FreeAll();
}

}  // namespace
}  // namespace textraster
