// Large blocks of memory kept for reuse. A drawing call takes blocks as large
// as its surfaces and its read-back bands, and the heap hands blocks that
// large straight back to the system when they are freed (Windows above its
// virtual-allocation threshold, Wine alike, the C library above its own):
// mapping them in again costs a page fault per page, more than drawing the
// text. So the blocks of the last calls are kept, a bounded few, for the next
// call that needs as much. A kept block never holds anything a caller could
// read: it is handed out as uninitialised memory.
#pragma once

#include <cstddef>
#include <mutex>

namespace textraster {

class BlockPool {
   public:
    struct Limits {
        size_t blocks;    // kept at most; at most kMaxBlocks
        size_t bytes;     // kept at most, all blocks together
        size_t smallest;  // smaller blocks are freed at once (the heap keeps those itself)
    };
    static constexpr size_t kMaxBlocks = 8;

    // Blocks come from `allocate` and go back to `free`.
    BlockPool(Limits limits, void* (*allocate)(size_t), void (*free)(void*));

    // At least `bytes` of uninitialised memory, aligned for any type: the
    // smallest kept block that fits without being more than twice too large,
    // else a new one; null when there is none to be had.
    void* Take(size_t bytes);

    // At least `bytes` of uninitialised memory: the largest kept block when
    // it holds that much, however much more, else a new one; null when there
    // is none to be had. For what grows within a call and is dropped at its
    // end: taking the most there is spares it growing again.
    void* TakeLargest(size_t bytes);

    // The bytes a block from Take or TakeLargest holds.
    static size_t Capacity(void* block);

    // Keeps a block from Take for the next call, making room by freeing the
    // oldest kept ones, or frees it when it is too small or too large to
    // keep. Null is ignored.
    void GiveBack(void* block);

    // Frees every kept block.
    void FreeAll();

    // How many blocks are kept, and their bytes.
    size_t KeptBlocks();
    size_t KeptBytes();
    const Limits& limits() const { return limits_; }

   private:
    void* Fresh(size_t bytes);   // a new block
    void* Unkeep(size_t index);  // takes a kept block out of the list; the lock held
    void Free(void* block);
    void DropOldest();

    const Limits limits_;
    void* (*const allocate_)(size_t);
    void (*const free_)(void*);
    std::mutex lock_;
    void* kept_[kMaxBlocks] = {};  // oldest first
    size_t count_ = 0;
    size_t bytes_ = 0;
};

}  // namespace textraster
