#include "buffer_limits.h"

#include <cstdint>
#include <limits>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace textraster::tool {
namespace {

// The most memory one block can take here: the physical memory, and on
// Windows also the address space left to the process (2 GB for 32-bit).
uint64_t MemoryLimit() {
#ifdef _WIN32
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return std::numeric_limits<uint64_t>::max();
    return status.ullTotalPhys < status.ullAvailVirtual ? status.ullTotalPhys : status.ullAvailVirtual;
#else
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE);
    return pages > 0 && pageSize > 0 ? uint64_t(pages) * uint64_t(pageSize) : std::numeric_limits<uint64_t>::max();
#endif
}

std::string Size(const TextLayoutParams& r, uint64_t bytes) {
    return "a buffer of " + std::to_string(r.bufferWidth) + " x " + std::to_string(r.bufferHeight) + " pixels needs " +
           std::to_string(bytes) + " bytes";
}

}  // namespace

std::string CheckBuffer(const TextLayoutParams& record) {
    const uint64_t bytes = uint64_t(record.bufferWidth) * record.bufferHeight * 4;
    const uint64_t describable = std::numeric_limits<uint32_t>::max();
    if (bytes > describable)
        return Size(record, bytes) + ", more than the " + std::to_string(describable) +
               " bytes the record's 32-bit bufferSize can describe";
    const uint64_t memory = MemoryLimit();
    if (bytes > memory)
        return Size(record, bytes) + ", more than the " + std::to_string(memory) + " bytes this process can have";
    return "";
}

}  // namespace textraster::tool
