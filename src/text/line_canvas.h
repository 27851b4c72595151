// What the line walks need from the surface they lay text out on: the extent
// of a run, and for drawing the text-alignment flags and the drawing of a run.
// Production code implements it on a device context; tests on fixed widths.
#pragma once

#include <cstdint>

#include "textraster.h"

namespace textraster {

// Measures runs of the text being laid out. Every extent is of a whole run (never a sum of widths).
class RunMeasurer {
   public:
    // The extent (GetTextExtentPoint32W's cx) of the `count` characters from `start`.
    virtual int32_t Extent(const TextChar* start, uint32_t count) = 0;
    // The same, for the first `count` characters of a line that starts at
    // `start`: line layout asks for a line's prefixes from the shortest up,
    // until one is longer than `limit`, so that a measurer may measure them
    // all at once, as the platform measures every prefix of a run in one call.
    virtual int32_t PrefixExtent(const TextChar* start, uint32_t count, int32_t limit) {
        (void)limit;
        return Extent(start, count);
    }

   protected:
    ~RunMeasurer() = default;
};

// Text-alignment flags, with the platform's values.
constexpr uint32_t kAlignRight = 2, kAlignCenter = 6, kAlignRtlReading = 256;

// Where DrawLines draws: a measurer that also sets alignment flags and draws runs.
class LineCanvas : public RunMeasurer {
   public:
    virtual uint32_t GetAlign() = 0;
    virtual void SetAlign(uint32_t flags) = 0;
    // Draws `count` characters from `start` with the reference point (x, y) (TextOutW).
    virtual void DrawRun(int32_t x, int32_t y, const TextChar* start, uint32_t count) = 0;

   protected:
    ~LineCanvas() = default;
};

}  // namespace textraster
