#include "rendering.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <utility>

namespace textraster::tool {
namespace {

const TextChar* FaceOrNull(const Text& face) {
    return face.empty() ? nullptr : face.c_str();
}

}  // namespace

Rendering Render(const Text& text, TextLayoutParams record, const Text& face) {
    // calloc's large blocks come from the system already zero and are
    // faulted in only where they are written: a huge buffer that the library
    // then refuses costs no time, where an Image's would be written whole
    // first (4 GB took 18 s). A buffer of no pixels still gets one, so that
    // the library judges the sizes rather than a null pointer.
    const size_t count = size_t(record.bufferWidth) * record.bufferHeight;
    const std::unique_ptr<uint32_t, void (*)(void*)> buffer(
        static_cast<uint32_t*>(std::calloc(std::max<size_t>(count, 1), sizeof(uint32_t))), std::free);
    if (!buffer) throw std::bad_alloc();
    record.faceName = FaceOrNull(face);
    Rendering r;
    r.code = RenderText(text.c_str(), &record, buffer.get(), &r.ascent, &r.usedLinePitch, &r.lastLineExtent);
    if (r.code != TR_OK) return r;
    r.image.width = record.bufferWidth, r.image.height = record.bufferHeight;
    r.image.pixels.assign(buffer.get(), buffer.get() + count);
    if (!record.topDown) FlipRows(r.image);
    return r;
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
