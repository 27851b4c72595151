// Address space that may not be touched: any read or write faults at once.
// Given to a call that must refuse its request, it stands in for a buffer of
// the size the request claims, without the memory.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <sys/mman.h>
#endif

namespace textraster::test {

class ReservedMemory {
   public:
    // As many bytes as the process can reserve, up to `bytes`: a 32-bit
    // process cannot reserve 4 GB.
    explicit ReservedMemory(uint64_t bytes) {
        for (uint64_t want = bytes; want >= 4096 && !base_; want /= 2) {
            if (want > SIZE_MAX) continue;
            size_ = size_t(want);
#ifdef _WIN32
            base_ = VirtualAlloc(nullptr, size_, MEM_RESERVE, PAGE_NOACCESS);
#else
            void* base = mmap(nullptr, size_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
            base_ = base == MAP_FAILED ? nullptr : base;
#endif
        }
    }
    ~ReservedMemory() {
#ifdef _WIN32
        if (base_) VirtualFree(base_, 0, MEM_RELEASE);
#else
        if (base_) munmap(base_, size_);
#endif
    }
    ReservedMemory(const ReservedMemory&) = delete;
    ReservedMemory& operator=(const ReservedMemory&) = delete;

    uint32_t* pixels() const {
        return static_cast<uint32_t*>(base_);
    }

   private:
    void* base_ = nullptr;
    size_t size_ = 0;
};

}  // namespace textraster::test
