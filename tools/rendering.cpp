#include "rendering.h"

#include <utility>

namespace textraster::tool {
namespace {

const TextChar* FaceOrNull(const Text& face) {
    return face.empty() ? nullptr : face.c_str();
}

}  // namespace

Rendering Render(const Text& text, TextLayoutParams record, const Text& face) {
    return RenderOnto(Image(record.bufferWidth, record.bufferHeight), text, record, face);
}

Rendering RenderOnto(Image canvas, const Text& text, TextLayoutParams record, const Text& face) {
    record.faceName = FaceOrNull(face);
    Rendering r;
    r.image = std::move(canvas);
    if (!record.topDown) FlipRows(r.image);
    // The library writes at most bufferWidth x bufferHeight pixels and refuses
    // a smaller bufferSize, so the image's own pixels are the whole buffer. An
    // empty buffer still gets a pixel, so that the library judges the sizes
    // rather than a null pointer.
    if (r.image.pixels.empty()) r.image.pixels.resize(1);
    r.code = RenderText(text.c_str(), &record, r.image.pixels.data(), &r.ascent, &r.usedLinePitch, &r.lastLineExtent);
    r.image.pixels.resize(size_t(r.image.width) * r.image.height);
    if (!record.topDown) FlipRows(r.image);
    return r;
}

Measurement Measure(const Text& text, TextLayoutParams record, const Text& face) {
    record.faceName = FaceOrNull(face);
    Measurement m;
    m.code =
        ComputeTextRegionSize(text.c_str(), &record, &m.ascent, &m.neededWidth, &m.neededHeight, &m.lastLineExtent);
    return m;
}

int32_t CellHeight(const TextLayoutParams& record, const Text& face, uint8_t& cellHeight) {
    return GetFontCharacterCellHeight(FaceOrNull(face), record.fontHeight, record.fontStyle, &cellHeight);
}

}  // namespace textraster::tool
