// Memory for surfaces. Every drawing call makes two surfaces of its
// region's size, and blocks that large go back to the system when they are
// freed: touching them again costs a page fault per page, several times what
// drawing a line costs. So blocks given back are kept, a bounded few, for the
// next call that needs as much.
#pragma once

#include <cstddef>

namespace textraster::portable {

// `bytes` of uninitialised memory, aligned for any type; null when there is
// none to be had.
void* TakeBlock(size_t bytes);

// Gives back a block from TakeBlock; null is ignored.
void GiveBack(void* block);

// What the pool keeps at most.
constexpr size_t kKeptBlocks = 8;
constexpr size_t kKeptBytes = size_t(96) << 20;
// Smaller blocks are freed at once: the C library keeps those itself.
constexpr size_t kSmallestKeptBlock = size_t(64) << 10;

}  // namespace textraster::portable
