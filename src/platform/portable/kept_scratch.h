// How much of the memory the stages of setting a line use on every call a
// thread keeps for its next call. Keeping it spares the allocations of
// every call (a long line's shaping buffer alone is larger than what the C
// library keeps for reuse); bounding it keeps one long line from leaving
// its megabytes with the thread for good.
#pragma once

#include <cstddef>
#include <vector>

namespace textraster::portable {

// The text calls of one library call (one font object's life) on at most
// this many code units leave the thread's line scratch for its next call; a
// longer one's is released when the font object goes. The bound is above
// the longest lines the scaling benchmark sets (200,000 units): memory
// released after every call on such a line is faulted in again by the next
// one, which costs 40 to 50 percent of measuring and drawing it (measured
// at 4096). At the bound the line scratch holds some 12 MB of arrays
// (measured by tests/portable/scratch_test.cpp) besides HarfBuzz's buffer,
// and the spare runs of run_extents.h as many units in all.
constexpr size_t kKeptScratchUnits = size_t(1) << 18;

// A stage's array of one entry per code point, kept by its thread:
// released when the stage's call ends, if that call made it longer than
// kKeptScratchUnits.
template <typename T>
class ReleasedIfLong {
   public:
    explicit ReleasedIfLong(std::vector<T>& array) : array_(array) {}
    ~ReleasedIfLong() {
        if (array_.capacity() > kKeptScratchUnits) std::vector<T>().swap(array_);
    }
    ReleasedIfLong(const ReleasedIfLong&) = delete;
    ReleasedIfLong& operator=(const ReleasedIfLong&) = delete;

   private:
    std::vector<T>& array_;
};

}  // namespace textraster::portable
