// kernel32's process heap, as the library uses it: plain blocks from the C
// library (what drawing keeps between calls, the library keeps itself).
#include <cstdlib>

#include "platform/gdi.h"

namespace {

int processHeap;  // its address is the one heap's handle

}  // namespace

HANDLE GetProcessHeap() {
    return &processHeap;
}

LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    if (heap != &processHeap) return nullptr;
    // A block of zero bytes is still a block.
    const size_t size = bytes > 0 ? bytes : 1;
    return (flags & HEAP_ZERO_MEMORY) ? std::calloc(1, size) : std::malloc(size);
}

BOOL HeapFree(HANDLE heap, DWORD /*flags*/, LPVOID block) {
    if (heap != &processHeap) return FALSE;
    std::free(block);
    return TRUE;
}
