#include "render/measured_runs.h"

#include <new>

namespace textraster {
namespace {

// From the C++ heap, as the extents were before they were pooled: a failed
// allocation only means an extent is measured again.
void* Allocate(size_t bytes) {
    return ::operator new(bytes, std::nothrow);
}

void Free(void* block) {
    ::operator delete(block);
}

}  // namespace

BlockPool& MeasuredRunsBlocks() {
    // A call on a text of many lines keeps some hundred thousand extents;
    // blocks under 64 KB the heap keeps for reuse by itself. Four blocks are
    // a call's two pools for two threads at once; at five bytes a place,
    // 32 MiB keeps the pools of texts of millions of characters, and a
    // larger text's blocks go back to the heap.
    static BlockPool* pool = new BlockPool({4, size_t(32) << 20, size_t(64) << 10}, Allocate, Free);
    return *pool;  // outlives every static destructor
}

MeasuredRuns::Runs* MeasuredRuns::RunsFrom(const TextChar* start) {
    if (start == lastStart_) return last_;
    auto found = byStart_.find(start);
    if (found == byStart_.end()) return nullptr;
    lastStart_ = start;
    last_ = &found->second;
    return last_;
}

bool MeasuredRuns::Find(const TextChar* start, uint32_t count, int32_t& extent) {
    const Runs* runs = RunsFrom(start);
    if (!runs || count >= runs->size || !known_[runs->offset + count]) return false;
    extent = extents_[runs->offset + count];
    return true;
}

void MeasuredRuns::Grow(Runs& runs, uint32_t size) {
    const bool last = runs.offset + runs.size == extents_.size();
    const size_t offset = last ? runs.offset : extents_.size();
    // Both pools first: `runs` changes only once both have the room.
    extents_.resize(offset + size, 0);
    known_.resize(offset + size, false);
    if (!last) {
        for (uint32_t c = 0; c < runs.size; ++c) {
            extents_[offset + c] = extents_[runs.offset + c];
            known_[offset + c] = known_[runs.offset + c];
        }
        runs.offset = offset;
    }
    runs.size = size;
}

MeasuredRuns::Runs& MeasuredRuns::RunsMadeFrom(const TextChar* start) {
    Runs* runs = RunsFrom(start);
    if (!runs) {
        runs = &byStart_[start];
        runs->offset = extents_.size();
        lastStart_ = start;
        last_ = runs;
    }
    return *runs;
}

void MeasuredRuns::Remember(const TextChar* start, uint32_t count, int32_t extent) noexcept {
    try {
        Runs& runs = RunsMadeFrom(start);
        if (count >= runs.size) Grow(runs, count + 1);
        known_[runs.offset + count] = true;
        extents_[runs.offset + count] = extent;
    } catch (const std::bad_alloc&) {
        // Measured again when asked again.
    }
}

void MeasuredRuns::RememberPrefixes(const TextChar* start, const int32_t* extents, uint32_t count) noexcept {
    try {
        Runs& runs = RunsMadeFrom(start);
        if (count >= runs.size) Grow(runs, count + 1);
        for (uint32_t k = 1; k <= count; ++k) {
            known_[runs.offset + k] = true;
            extents_[runs.offset + k] = extents[k - 1];
        }
    } catch (const std::bad_alloc&) {
        // Measured one by one when asked.
    }
}

}  // namespace textraster
