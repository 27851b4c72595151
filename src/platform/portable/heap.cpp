// kernel32's process heap, as the library uses it: blocks for reading
// surfaces back, served by the block pool so that a block of a size drawing
// needs again is not handed back to the system in between.
#include <cstring>

#include "platform/gdi.h"
#include "platform/portable/block_pool.h"

namespace {

int processHeap;  // its address is the one heap's handle

}  // namespace

HANDLE GetProcessHeap() {
    return &processHeap;
}

LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    if (heap != &processHeap) return nullptr;
    void* block = textraster::portable::TakeBlock(bytes);
    if (block && (flags & HEAP_ZERO_MEMORY)) std::memset(block, 0, bytes);
    return block;
}

BOOL HeapFree(HANDLE heap, DWORD /*flags*/, LPVOID block) {
    if (heap != &processHeap) return FALSE;
    textraster::portable::GiveBack(block);
    return TRUE;
}
