// Lays a normalised text out in lines inside the region and draws each line.
#pragma once

#include <cstdint>

#include "text/line_canvas.h"
#include "textraster.h"

namespace textraster {

// Counts the lines first (MeasureLines) to choose the line pitch, ORs the
// alignment flags of the writing mode and alignment into the canvas's once,
// then walks the text with the same breaking rules and draws every line.
// `usedLinePitch` receives the pitch before anything is drawn;
// `lastLineExtent` the extent of each line as it is drawn (the final run only
// when it has characters). Either may be null. Nothing it does can fail:
// what the platform does not draw stays undrawn.
void DrawLines(const TextChar* text, LineCanvas& canvas, const TextLayoutParams& params, uint8_t* usedLinePitch,
               uint16_t* lastLineExtent);

}  // namespace textraster
