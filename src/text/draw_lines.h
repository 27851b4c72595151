#pragma once
#include <cstdint>
#include "text/line_canvas.h"
namespace textraster {
int32_t DrawLines(const TextChar* text, LineCanvas& canvas, const TextLayoutParams& params,
                  uint8_t* usedLinePitch, uint16_t* lastLineExtent);
}
