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
    static BlockPool* pool = new BlockPool({4, size_t(64) << 20, 0}, Allocate, Free);
    return *pool;  // outlives every static destructor
}

}  // namespace textraster
