// Memory for reading surfaces back: every drawing call reads two surfaces
// back, a band of some 256 KB each at a time (a line of a very wide region
// takes more), from blocks kept for the next call (see memory/block_pool.h).
#pragma once

#include "memory/block_pool.h"

namespace textraster {

// The pool, freed when the library is unloaded.
BlockPool& ReadBackBlocks();

}  // namespace textraster
