// Other renderers doing the benchmark job in the same run, where their
// packages were found when the benchmarks were configured.
#pragma once

#include "bench/job.h"

namespace textraster::bench {

// Registers every available contender's benchmarks for one language.
void RegisterContenders(const Language& language);

// The character (em) height in pixels whose cell is kCellHeight in `family`,
// as the library sizes it: what the contenders are given.
int EmForCell(const Language& language);

void RegisterPango(const Language& language);
void RegisterAss(const Language& language);

// Moves a premultiplied or coverage-built pixel into the host's straight-alpha
// BGRA form.
inline uint32_t Unpremultiply(uint32_t pixel) {
    const uint32_t a = pixel >> 24;
    if (a == 0) return 0;
    if (a == 255) return pixel;
    const uint32_t r = ((pixel >> 16) & 0xFF) * 255 / a;
    const uint32_t g = ((pixel >> 8) & 0xFF) * 255 / a;
    const uint32_t b = (pixel & 0xFF) * 255 / a;
    return a << 24 | r << 16 | g << 8 | b;
}

}  // namespace textraster::bench
