// The extents of the runs one call has measured, by where they start and how
// many characters they hold. Line layout measures the same runs in every walk
// over a text: counting the lines, then drawing them, on each of the two
// surfaces, which carry the same font. Measured once per call, every walk
// after the first reads them here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "memory/pooled_array.h"
#include "textraster.h"

namespace textraster {

// The pool the extents of every call come from, kept for the next call.
BlockPool& MeasuredRunsBlocks();

class MeasuredRuns {
   public:
    // The extent remembered for the `count` characters from `start`, if any.
    bool Find(const TextChar* start, uint32_t count, int32_t& extent);
    // Remembers an extent; when memory runs out it is simply not remembered.
    void Remember(const TextChar* start, uint32_t count, int32_t extent) noexcept;
    // Remembers the extents of the first 1, 2, ... `count` characters from
    // `start`, in that order; as many as memory allows.
    void RememberPrefixes(const TextChar* start, const int32_t* extents, uint32_t count) noexcept;

   private:
    // The runs from one start: the extent of `count` characters lies at
    // `offset + count` of the pools, for counts below `size`. A text of many
    // short lines has as many starts: they share two pools instead of each
    // holding blocks of its own.
    struct Runs {
        size_t offset = 0;
        uint32_t size = 0;
    };
    Runs* RunsFrom(const TextChar* start);
    // Makes room for counts below `size`: in place when the runs end the
    // pools (as the line being walked does), else moved to their end.
    void Grow(Runs& runs, uint32_t size);
    // The runs from `start`, made when there are none yet; throws when memory runs out.
    Runs& RunsMadeFrom(const TextChar* start);

    std::unordered_map<const TextChar*, Runs> byStart_;
    PooledArray<int32_t> extents_{MeasuredRunsBlocks()};
    PooledArray<uint8_t> known_{MeasuredRunsBlocks()};  // whether the extent at the same place was measured
    // The walks ask about one line start many times in a row.
    const TextChar* lastStart_ = nullptr;
    Runs* last_ = nullptr;
};

}  // namespace textraster
