#include "platform/portable/surface_blocks.h"

#include <cstdlib>

namespace textraster::portable {

BlockPool& SurfaceBlocks() {
    // Smaller blocks than 64 KB are freed at once: the C library keeps those itself.
    static BlockPool* pool = new BlockPool({8, size_t(96) << 20, size_t(64) << 10}, std::malloc, std::free);
    return *pool;  // outlives every static destructor
}

}  // namespace textraster::portable
