// What a device context is asked ahead of line layout. Line layout measures
// a line from its start one character longer each time; measuring further
// than it asked, once, lets most of the extents it asks for next be found
// among those remembered, instead of each costing a call into the platform.
#pragma once

#include <cstdint>

#include "platform/gdi.h"
#include "render/measured_runs.h"
#include "textraster.h"

namespace textraster {

// Measures the run of `ahead` characters from `start`, of which line layout
// asked for the first `count`, and remembers what that gives in `measured`.
//
// On Windows: the extent of every prefix of the run's context-free part
// (render/context_free_text.h), in one call (GetTextExtentExPointW), when
// that part holds the `count` characters asked for; a run that is not
// context-free that far is left to be measured prefix by prefix.
// On the portable layer: the whole run's extent; the layer keeps the shaping
// of the runs it measured and reads the prefixes' extents off it.
void MeasureAhead(HDC dc, const TextChar* start, uint32_t count, uint32_t ahead, MeasuredRuns& measured);

// The extent of the `count` characters from `start`, where the text stays put
// for the whole call (as the measured runs' own keys assume). Line layout
// asks for a line that never fills (zero-width characters, a 1-pixel font)
// once per character; on the portable layer, which reads a run it is asked
// for whole to know it as one it measured, that would cost the square of
// the line's length, so there the run is known by where it starts. On
// Windows, GetTextExtentPoint32W.
int32_t MeasureRunInPlace(HDC dc, const TextChar* start, uint32_t count);

}  // namespace textraster
