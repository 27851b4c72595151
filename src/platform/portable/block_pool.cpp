#include "platform/portable/block_pool.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

namespace textraster::portable {
namespace {

// Placed before every block.
struct alignas(std::max_align_t) Header {
    size_t capacity;
};

std::mutex poolLock;
size_t keptBytes = 0;
std::vector<Header*>& Kept() {
    static auto* kept = new std::vector<Header*>;  // outlives every static destructor
    return *kept;
}

}  // namespace

void* TakeBlock(size_t bytes) {
    if (bytes >= kSmallestKeptBlock) {
        std::lock_guard<std::mutex> guard(poolLock);
        std::vector<Header*>& kept = Kept();
        // The smallest kept block that holds `bytes` without wasting more than as much again.
        auto best = kept.end();
        for (auto it = kept.begin(); it != kept.end(); ++it)
            if ((*it)->capacity >= bytes && (*it)->capacity / 2 <= bytes &&
                (best == kept.end() || (*it)->capacity < (*best)->capacity))
                best = it;
        if (best != kept.end()) {
            Header* header = *best;
            kept.erase(best);
            keptBytes -= header->capacity;
            return header + 1;
        }
    }
    if (bytes > SIZE_MAX - sizeof(Header)) return nullptr;
    auto* header = static_cast<Header*>(std::malloc(sizeof(Header) + bytes));
    if (!header) return nullptr;
    header->capacity = bytes;
    return header + 1;
}

void GiveBack(void* block) {
    if (!block) return;
    Header* header = static_cast<Header*>(block) - 1;
    if (header->capacity >= kSmallestKeptBlock) {
        std::lock_guard<std::mutex> guard(poolLock);
        std::vector<Header*>& kept = Kept();
        if (kept.size() < kKeptBlocks && keptBytes + header->capacity <= kKeptBytes) {
            try {
                kept.push_back(header);
                keptBytes += header->capacity;
                return;
            } catch (const std::bad_alloc&) {
            }
        }
    }
    std::free(header);
}

}  // namespace textraster::portable
