// Counts the lines a normalised text takes under the line-breaking rules, for
// sizing a region and for choosing the line pitch before drawing.
#pragma once

#include <cstdint>

#include "text/line_canvas.h"
#include "textraster.h"

namespace textraster {

// `lineLength` is the region's width, or its height for vertical columns.
// Writes the number of lines to `lineCount` and, when `lineExtent` is not
// null, the extent of the last line counted (left unwritten when no line is
// counted). A character that does not fit on a line of its own gives 0 lines
// and an extent of 0: the text cannot be laid out.
void MeasureLines(const TextChar* text, RunMeasurer& measurer, uint16_t lineLength, int32_t alignment,
                  int16_t firstLineIndent, int32_t wordWrap, int32_t leadingSpaceMode, uint16_t* lineCount,
                  uint16_t* lineExtent);

}  // namespace textraster
