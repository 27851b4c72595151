#include "render/readback_blocks.h"

#include "platform/gdi.h"

namespace textraster {
namespace {

void* Allocate(size_t bytes) {
    return HeapAlloc(GetProcessHeap(), 0, bytes);
}

void Free(void* block) {
    HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace

BlockPool& ReadBackBlocks() {
    // Four blocks are the colour and the opacity band of two calls at once.
    // A band is some 256 KB, or one scan line where that is more (at most
    // 65,535 pixels, 256 KiB), so the bytes never turn one away; small ones
    // are kept too, as every call takes two.
    static BlockPool* pool = new BlockPool({4, size_t(64) << 20, 0}, Allocate, Free);
    return *pool;  // outlives every static destructor
}

}  // namespace textraster
