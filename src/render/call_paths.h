// The ways to the same results a call can take. The exported functions take
// the fast ones; tests take the straightforward ones beside them and hold the
// two to the same pixels and figures.
#pragma once

#include <cstdint>

#include "textraster.h"

namespace textraster {

struct CallPaths {
    // Each run is measured once per call and its extent shared by every walk
    // over the text, and runs are measured ahead of what line layout asks,
    // in one platform call for many prefixes where the platform allows.
    // Off: every extent is asked of the platform when line layout asks for
    // it, on the context it lays out on.
    bool measureOnce = true;
    // Only the scan lines that the drawing changed are read back; the others
    // are known to be zero. Off: both surfaces are read back whole.
    bool readDrawnRowsOnly = true;

    static CallPaths Straightforward() { return CallPaths{false, false}; }
};

// RenderText and ComputeTextRegionSize by the given paths; the exported
// functions are these with the default (fast) paths.
int32_t RenderTextUsing(const CallPaths& paths, const TextChar* text, const TextLayoutParams* params, uint32_t* pixels,
                        uint16_t* ascent, uint8_t* usedLinePitch, uint16_t* lastLineExtent);
int32_t ComputeTextRegionSizeUsing(const CallPaths& paths, const TextChar* text, const TextLayoutParams* params,
                                   uint16_t* ascent, uint16_t* neededWidth, uint16_t* neededHeight,
                                   uint16_t* lastLineExtent);

}  // namespace textraster
