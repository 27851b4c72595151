// Bytes placed so that they end exactly where an inaccessible page begins:
// reading even one byte past their end faults at once.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace textraster::test {

class GuardedMemory {
   public:
    explicit GuardedMemory(const std::vector<uint8_t>& bytes) {
#ifdef _WIN32
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page_ = info.dwPageSize;
#else
        page_ = size_t(sysconf(_SC_PAGESIZE));
#endif
        const size_t dataPages = (bytes.size() + page_ - 1) / page_;
        total_ = (dataPages + 1) * page_;
#ifdef _WIN32
        base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, total_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        if (base_) VirtualProtect(base_ + dataPages * page_, page_, PAGE_NOACCESS, &old);
#else
        void* base = mmap(nullptr, total_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base_ = base == MAP_FAILED ? nullptr : static_cast<uint8_t*>(base);
        if (base_) mprotect(base_ + dataPages * page_, page_, PROT_NONE);
#endif
        if (base_) {
            data_ = base_ + dataPages * page_ - bytes.size();
            if (!bytes.empty()) std::memcpy(data_, bytes.data(), bytes.size());
        }
    }
    ~GuardedMemory() {
#ifdef _WIN32
        if (base_) VirtualFree(base_, 0, MEM_RELEASE);
#else
        if (base_) munmap(base_, total_);
#endif
    }
    GuardedMemory(const GuardedMemory&) = delete;
    GuardedMemory& operator=(const GuardedMemory&) = delete;

    // Null when the pages could not be had.
    const void* data() const {
        return data_;
    }

   private:
    size_t page_ = 0;
    size_t total_ = 0;
    uint8_t* base_ = nullptr;
    uint8_t* data_ = nullptr;
};

}  // namespace textraster::test
