// Probing the system's GDI handle table from a test, on Windows.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace textraster::test {

inline uint32_t SlotOf(HGDIOBJ object) {
    return uint32_t(reinterpret_cast<uintptr_t>(object) & 0xFFFF);
}

// The GDI handle table hands out freed slots again before new ones, so the
// slot of a fresh object climbs once objects are left behind. (Object
// counters are not available everywhere the library runs.) Which freed slot
// comes first is the table's business (Wine: the one freed last), so the
// slot says little of how many objects are alive at a given moment.
inline uint32_t FreshGdiSlot() {
    HBRUSH probe = CreateSolidBrush(0);
    const uint32_t slot = SlotOf(probe);
    DeleteObject(probe);
    return slot;
}

// The objects alive, but for a constant: once more probes are alive than
// the table has freed slots, the highest slot they got lies that constant
// plus the objects alive above their number. Objects that other threads
// make meanwhile count as alive.
inline uint32_t LiveGdiObjects() {
    constexpr uint32_t kProbes = 1024;  // more than the slots a test ever frees
    std::vector<HBRUSH> probes;
    probes.reserve(kProbes);
    uint32_t highest = 0;
    for (uint32_t i = 0; i < kProbes; ++i) {
        HBRUSH probe = CreateSolidBrush(0);
        if (!probe) break;
        highest = std::max(highest, SlotOf(probe));
        probes.push_back(probe);
    }
    for (HBRUSH probe : probes) DeleteObject(probe);
    return highest + 1 > kProbes ? highest + 1 - kProbes : 0;
}

}  // namespace textraster::test
#endif
