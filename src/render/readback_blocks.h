// Memory for reading surfaces back. Every drawing call reads two surfaces
// back, a band of some 256 KB each at a time (a line of a very wide region
// takes more), and the process heap can hand blocks that large straight back
// to the system when they are freed (Windows above its virtual-allocation
// threshold, Wine alike, the C library above its own): mapping them in again
// costs a page fault per page, more than drawing the text. So the blocks of
// the last calls are kept, a bounded few, for the next call that needs as
// much.
#pragma once

#include <cstddef>

namespace textraster {

// At least `bytes` of uninitialised memory, aligned for any type: a kept
// block that fits, else a new one from the process heap; null when there is
// none to be had.
void* TakeReadBackBlock(size_t bytes);

// Gives back a block from TakeReadBackBlock, kept for the next call or freed;
// null is ignored.
void KeepReadBackBlock(void* block);

// Frees every kept block (when the library is unloaded).
void FreeReadBackBlocks();

// How many blocks are kept, and their bytes, for tests.
size_t KeptReadBackBlocks();
size_t KeptReadBackBytes();

// What is kept at most.
constexpr size_t kKeptReadBackBlocks = 4;
constexpr size_t kKeptReadBackBytes = size_t(64) << 20;

}  // namespace textraster
