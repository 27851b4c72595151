// Whether the buffer a record describes can exist, asked before anything is
// allocated: a buffer of bufferWidth x bufferHeight pixels must fit the
// record's 32-bit bufferSize, and the machine must have the memory. Without
// this check a 65535 x 65535 region zero-fills 17 GB before the library
// refuses it with a misleading "buffer smaller than ...".
#pragma once

#include <string>

#include "textraster.h"

namespace textraster::tool {

// Empty when the buffer can be described and allocated; else why not, with
// the limit named.
std::string CheckBuffer(const TextLayoutParams& record);

}  // namespace textraster::tool
