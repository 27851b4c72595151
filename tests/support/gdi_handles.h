// Probing the system's GDI handle table from a test, on Windows.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>

namespace textraster::test {

// The GDI handle table hands out the lowest free slots again, so the slot of
// a fresh object grows only when objects are left behind. (Object counters
// are not available everywhere the library runs.)
inline uint32_t FreshGdiSlot() {
    HBRUSH probe = CreateSolidBrush(0);
    const uint32_t slot = uint32_t(reinterpret_cast<uintptr_t>(probe) & 0xFFFF);
    DeleteObject(probe);
    return slot;
}

}  // namespace textraster::test
#endif
