// Every prefix extent of a run in one call into the platform
// (GetTextExtentExPointW). Line layout measures a line from its start one
// character longer each time: a call per prefix would cost the platform the
// square of the line's length.
#pragma once

#include <cstdint>

#include "platform/gdi.h"
#include "render/measured_runs.h"
#include "textraster.h"

namespace textraster {

// Measures the prefixes of the `count` characters from `start`, from the
// shortest up to the first longer than `limit`, and remembers them in
// `measured`; fewer when the platform measures them otherwise.
//
// On Windows, only a run's context-free part (render/context_free_text.h),
// whose partial extents are the extents of its prefixes measured alone;
// when that part is shorter than `needed` characters nothing is measured,
// and the rest is measured prefix by prefix, as the platform shapes it in
// context. On the portable layer, every run: its GetTextExtentExPointW
// answers each prefix as measured alone.
void MeasurePrefixes(HDC dc, const TextChar* start, uint32_t count, uint32_t needed, int32_t limit,
                     MeasuredRuns& measured);

}  // namespace textraster
