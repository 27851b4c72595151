#include "render/readback_blocks.h"

#include <cstdint>
#include <mutex>

#include "platform/gdi.h"

namespace textraster {
namespace {

// Each block starts with its capacity, in a prefix that keeps what follows
// aligned for any type.
constexpr size_t kPrefix = 16;

size_t& Capacity(void* block) {
    return *reinterpret_cast<size_t*>(static_cast<unsigned char*>(block) - kPrefix);
}

void FreeBlock(void* block) {
    HeapFree(GetProcessHeap(), 0, static_cast<unsigned char*>(block) - kPrefix);
}

struct Kept {
    std::mutex lock;
    void* blocks[kKeptReadBackBlocks] = {};  // oldest first
    size_t count = 0;
    size_t bytes = 0;

    void* Take(size_t wanted) {
        std::lock_guard<std::mutex> guard(lock);
        // The smallest that fits, if it is not more than twice too large.
        size_t best = count;
        for (size_t i = 0; i < count; ++i) {
            const size_t capacity = Capacity(blocks[i]);
            if (capacity >= wanted && capacity / 2 <= wanted && (best == count || capacity < Capacity(blocks[best])))
                best = i;
        }
        if (best == count) return nullptr;
        void* block = blocks[best];
        bytes -= Capacity(block);
        for (size_t i = best + 1; i < count; ++i) blocks[i - 1] = blocks[i];
        --count;
        return block;
    }

    void Keep(void* block) {
        std::lock_guard<std::mutex> guard(lock);
        const size_t capacity = Capacity(block);
        if (capacity > kKeptReadBackBytes) return FreeBlock(block);
        while (count == kKeptReadBackBlocks || bytes + capacity > kKeptReadBackBytes) {
            bytes -= Capacity(blocks[0]);
            FreeBlock(blocks[0]);
            for (size_t i = 1; i < count; ++i) blocks[i - 1] = blocks[i];
            --count;
        }
        blocks[count++] = block;
        bytes += capacity;
    }

    void FreeAll() {
        std::lock_guard<std::mutex> guard(lock);
        for (size_t i = 0; i < count; ++i) FreeBlock(blocks[i]);
        count = 0;
        bytes = 0;
    }
};

Kept& KeptBlocks() {
    static Kept* kept = new Kept;  // outlives every static destructor
    return *kept;
}

}  // namespace

void* TakeReadBackBlock(size_t bytes) {
    if (void* block = KeptBlocks().Take(bytes)) return block;
    if (bytes > SIZE_MAX - kPrefix) return nullptr;
    auto* memory = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, bytes + kPrefix));
    if (!memory) return nullptr;
    void* block = memory + kPrefix;
    Capacity(block) = bytes;
    return block;
}

void KeepReadBackBlock(void* block) {
    if (block) KeptBlocks().Keep(block);
}

void FreeReadBackBlocks() {
    KeptBlocks().FreeAll();
}

size_t KeptReadBackBlocks() {
    Kept& kept = KeptBlocks();
    std::lock_guard<std::mutex> guard(kept.lock);
    return kept.count;
}

size_t KeptReadBackBytes() {
    Kept& kept = KeptBlocks();
    std::lock_guard<std::mutex> guard(kept.lock);
    return kept.bytes;
}

}  // namespace textraster
