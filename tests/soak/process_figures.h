// What the soak samples of its own process: resident memory, open files,
// and live drawing objects, each as the platform lets a program see them.
//
// Natively: resident pages from /proc/self/statm, descriptors listed in
// /proc/self/fd, and the portable layer's table of live objects. On Windows
// (and under Wine): the working set, the kernel's handle table probed by
// the slot a fresh handle gets (the lowest free one, so the slot grows only
// with handles alive at that moment), and the objects alive in GDI's, whose
// freed slots come back in no such order, counted by filling its freed
// slots (support/gdi_handles.h).
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include "support/gdi_handles.h"  // windows.h first
// clang-format off
#include <psapi.h>
// clang-format on
#else
#include <dirent.h>
#include <unistd.h>

#include <cstdio>

#include "platform/portable/portable_object.h"
#endif

namespace textraster::soak {

struct ProcessFigures {
    uint64_t residentBytes = 0;
    uint32_t openFiles = 0;    // descriptors natively, the slot of a fresh kernel handle on Windows
    uint32_t liveObjects = 0;  // drawing objects alive (but for a constant on Windows)
};

#ifdef _WIN32

inline ProcessFigures Sample() {
    ProcessFigures figures;
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        figures.residentBytes = counters.WorkingSetSize;
    // Kernel handles are handed out the lowest free slot first (a process's
    // handle count is not available everywhere).
    HANDLE probe = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    figures.openFiles = uint32_t(reinterpret_cast<uintptr_t>(probe) / 4);
    CloseHandle(probe);
    figures.liveObjects = test::LiveGdiObjects();
    return figures;
}

constexpr const char* kObjectsMeaning = "GDI objects alive, but for a constant";
constexpr const char* kFilesMeaning = "the slot a fresh kernel handle gets";

#else

inline ProcessFigures Sample() {
    ProcessFigures figures;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        unsigned long long size = 0, resident = 0;
        if (std::fscanf(statm, "%llu %llu", &size, &resident) == 2)
            figures.residentBytes = resident * uint64_t(sysconf(_SC_PAGESIZE));
        std::fclose(statm);
    }
    if (DIR* fds = opendir("/proc/self/fd")) {
        uint32_t entries = 0;
        while (const dirent* entry = readdir(fds))
            if (entry->d_name[0] != '.') ++entries;
        closedir(fds);
        figures.openFiles = entries - 1;  // not the listing's own descriptor
    }
    figures.liveObjects = uint32_t(portable::CountObjects());
    return figures;
}

constexpr const char* kObjectsMeaning = "live objects in the portable layer's handle table";
constexpr const char* kFilesMeaning = "open file descriptors";

#endif

}  // namespace textraster::soak
