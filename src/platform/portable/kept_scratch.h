// How much of the memory the stages of setting a line use on every call a
// thread keeps for its next call. Keeping it spares the allocations of
// every call (a long line's shaping buffer alone is larger than what the C
// library keeps for reuse); bounding it keeps one long line from leaving
// its megabytes with the thread for good.
#pragma once

#include <cstddef>
#include <vector>

namespace textraster::portable {

// A call on at most this many code units keeps its scratch; a longer one's
// is released when it ends. Lines people read are far shorter (a subtitle's
// is under a hundred), and so are the stretches line layout measures ahead;
// at this length the line scratch holds under 200 KB of arrays (measured
// by tests/portable/scratch_test.cpp), besides the shaping buffer.
constexpr size_t kKeptScratchUnits = 4096;

// A stage's array of one entry per code point, kept by its thread:
// released when the call that used it ends, if that call made it longer
// than kKeptScratchUnits.
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
