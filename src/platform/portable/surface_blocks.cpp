#include "platform/portable/surface_blocks.h"

#include <cstdlib>

namespace textraster::portable {

BlockPool& SurfaceBlocks() {
    // Eight blocks are the two surfaces of four calls at once. 96 MiB holds
    // those of four threads drawing full-HD frames (8 x 7.9 MiB), or of one
    // call on a 4K frame (2 x 31.6 MiB). Smaller blocks than 64 KB are freed
    // at once: the C library keeps those itself.
    static BlockPool* pool = new BlockPool({8, size_t(96) << 20, size_t(64) << 10}, std::malloc, std::free);
    return *pool;  // outlives every static destructor
}

}  // namespace textraster::portable
