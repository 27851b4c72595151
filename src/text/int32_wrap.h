// Pixel arithmetic in signed 32 bits, wrapping on overflow as the platform's
// own integer arithmetic does, instead of overflowing into undefined
// behaviour. Only extents measured by the system can get near the limits.
#pragma once

#include <cstdint>

namespace textraster {

constexpr int32_t AddInt32(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) + uint32_t(b));
}
constexpr int32_t SubInt32(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) - uint32_t(b));
}

}  // namespace textraster
