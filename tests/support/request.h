// The one valid request every test, probe and benchmark starts from.
#pragma once

#include <cstdint>

#include "textraster.h"

namespace textraster::test {

// A width x height region filling a buffer of exactly that size, top-down;
// opaque white text on a transparent background in `face` (null: the
// system's choice) with a cell of `cell` pixels and the same line pitch;
// white space and line feeds kept, lines wrapped, horizontal, start-aligned.
// Each caller changes what its case is about.
inline TextLayoutParams ValidRequest(const TextChar* face, uint8_t cell, uint16_t width, uint16_t height) {
    TextLayoutParams p{};
    p.size = int16_t(sizeof(TextLayoutParams));
    p.regionWidth = p.bufferWidth = width;
    p.regionHeight = p.bufferHeight = height;
    p.bufferSize = uint32_t(width) * height * 4;
    p.topDown = 1;
    p.textColor = 0xFFFFFFFF;
    p.backColor = 0x00000000;
    p.faceName = face;
    p.fontHeight = p.linePitch = cell;
    p.spaceMode = 2;
    p.newlineMode = 2;
    p.preserveSpaces = 1;
    p.wordWrap = 1;
    p.writingMode = 1;
    p.alignment = 1;
    return p;
}

}  // namespace textraster::test
