// The tool's only road into the library: RenderText, ComputeTextRegionSize
// and GetFontCharacterCellHeight, called through the public exports.
#pragma once

#include <cstdint>

#include "image.h"
#include "utf.h"

namespace textraster::tool {

struct Rendering {
    int32_t code = -1;  // RenderText's result
    Image image;        // the whole buffer, top row first whatever the record's row order
    uint16_t ascent = 0;
    uint8_t usedLinePitch = 0;
    uint16_t lastLineExtent = 0;
};

// Draws `text` as `record` asks, with `face` as its face name (empty: the
// system's choice), into a new, transparent buffer of bufferWidth x
// bufferHeight pixels; the image is empty when the library refuses.
Rendering Render(const Text& text, TextLayoutParams record, const Text& face);

// The same, into `canvas` as the buffer, which keeps its pixels outside the
// region; its size must be the record's bufferWidth x bufferHeight.
Rendering RenderOnto(Image canvas, const Text& text, TextLayoutParams record, const Text& face);

struct Measurement {
    int32_t code = -1;  // ComputeTextRegionSize's result
    uint16_t ascent = 0, neededWidth = 0, neededHeight = 0, lastLineExtent = 0;
};

Measurement Measure(const Text& text, TextLayoutParams record, const Text& face);

// GetFontCharacterCellHeight's result for a character height of the record's
// fontHeight, in the record's style.
int32_t CellHeight(const TextLayoutParams& record, const Text& face, uint8_t& cellHeight);

}  // namespace textraster::tool
