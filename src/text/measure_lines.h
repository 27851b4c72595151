#pragma once
#include <cstdint>
#include "text/line_canvas.h"
namespace textraster {
void MeasureLines(const TextChar* text, RunMeasurer& measurer, uint16_t lineLength, int32_t alignment,
                  int16_t firstLineIndent, int32_t wordWrap, int32_t leadingSpaceMode,
                  uint16_t* lineCount, uint16_t* lineExtent);
}
