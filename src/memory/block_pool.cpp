#include "memory/block_pool.h"

#include <cstdint>

namespace textraster {
namespace {

// Each block starts with its capacity, in a prefix that keeps what follows
// aligned for any type.
struct alignas(std::max_align_t) Prefix {
    size_t capacity;
};

Prefix& PrefixOf(void* block) {
    return *(static_cast<Prefix*>(block) - 1);
}

}  // namespace

BlockPool::BlockPool(Limits limits, void* (*allocate)(size_t), void (*free)(void*))
    : limits_{limits.blocks < kMaxBlocks ? limits.blocks : kMaxBlocks, limits.bytes, limits.smallest},
      allocate_(allocate),
      free_(free) {}

void* BlockPool::Take(size_t bytes) {
    if (bytes >= limits_.smallest) {
        std::lock_guard<std::mutex> guard(lock_);
        size_t best = count_;
        for (size_t i = 0; i < count_; ++i) {
            const size_t capacity = PrefixOf(kept_[i]).capacity;
            if (capacity >= bytes && capacity / 2 <= bytes &&
                (best == count_ || capacity < PrefixOf(kept_[best]).capacity))
                best = i;
        }
        if (best < count_) return Unkeep(best);
    }
    return Fresh(bytes);
}

void* BlockPool::TakeLargest(size_t bytes) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        size_t best = count_;
        for (size_t i = 0; i < count_; ++i)
            if (best == count_ || PrefixOf(kept_[i]).capacity > PrefixOf(kept_[best]).capacity) best = i;
        if (best < count_ && PrefixOf(kept_[best]).capacity >= bytes) return Unkeep(best);
    }
    return Fresh(bytes);
}

void* BlockPool::Fresh(size_t bytes) {
    if (bytes > SIZE_MAX - sizeof(Prefix)) return nullptr;
    auto* prefix = static_cast<Prefix*>(allocate_(sizeof(Prefix) + bytes));
    if (!prefix) return nullptr;
    prefix->capacity = bytes;
    return prefix + 1;
}

size_t BlockPool::Capacity(void* block) {
    return PrefixOf(block).capacity;
}

void BlockPool::GiveBack(void* block) {
    if (!block) return;
    const size_t capacity = PrefixOf(block).capacity;
    if (capacity < limits_.smallest || capacity > limits_.bytes || limits_.blocks == 0) return Free(block);
    std::lock_guard<std::mutex> guard(lock_);
    while (count_ == limits_.blocks || bytes_ + capacity > limits_.bytes) DropOldest();
    kept_[count_++] = block;
    bytes_ += capacity;
}

void BlockPool::FreeAll() {
    std::lock_guard<std::mutex> guard(lock_);
    while (count_ > 0) DropOldest();
}

size_t BlockPool::KeptBlocks() {
    std::lock_guard<std::mutex> guard(lock_);
    return count_;
}

size_t BlockPool::KeptBytes() {
    std::lock_guard<std::mutex> guard(lock_);
    return bytes_;
}

void BlockPool::Free(void* block) {
    free_(&PrefixOf(block));
}

void* BlockPool::Unkeep(size_t index) {
    void* block = kept_[index];
    bytes_ -= PrefixOf(block).capacity;
    for (size_t i = index + 1; i < count_; ++i) kept_[i - 1] = kept_[i];
    --count_;
    return block;
}

void BlockPool::DropOldest() {
    Free(Unkeep(0));
}

}  // namespace textraster
