// The memory of bitmaps' pixels: every drawing call makes two surfaces of its
// region's size, and their blocks are kept for the next call that needs as
// much (see memory/block_pool.h).
#pragma once

#include "memory/block_pool.h"

namespace textraster::portable {

BlockPool& SurfaceBlocks();

}  // namespace textraster::portable
