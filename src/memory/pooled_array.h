// A growable array of plain values whose memory comes from a BlockPool: for
// what one call builds up to megabytes and drops at its end. Taken from the
// heap each call, memory that large comes with fresh pages every time (see
// memory/block_pool.h).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

#include "memory/block_pool.h"

namespace textraster {

template <class T>
class PooledArray {
    static_assert(std::is_trivially_copyable<T>::value, "values are copied as bytes");

   public:
    explicit PooledArray(BlockPool& pool) : pool_(pool) {}
    ~PooledArray() { pool_.GiveBack(data_); }
    PooledArray(const PooledArray&) = delete;
    PooledArray& operator=(const PooledArray&) = delete;

    size_t size() const { return size_; }
    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }

    // Grows or shrinks to `size` values, new ones set to `fill`; throws
    // std::bad_alloc, leaving the array as it was.
    void resize(size_t size, T fill = T()) {
        if (size > capacity_) Reserve(std::max(size, capacity_ * 2));
        std::fill(data_ + std::min(size_, size), data_ + size, fill);
        size_ = size;
    }

   private:
    void Reserve(size_t capacity) {
        if (capacity > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        T* data = static_cast<T*>(pool_.TakeLargest(capacity * sizeof(T)));
        if (!data) throw std::bad_alloc();
        if (size_) std::memcpy(data, data_, size_ * sizeof(T));
        pool_.GiveBack(data_);
        data_ = data;
        capacity_ = BlockPool::Capacity(data) / sizeof(T);
    }

    BlockPool& pool_;
    T* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace textraster
