// RenderText: the text drawn twice, once in its colours and once with the two
// opacities as red intensities, read back and merged into straight-alpha
// BGRA pixels in the host's buffer.
#include <algorithm>

#include "platform/gdi.h"
#include "render/dc_canvas.h"
#include "render/dib.h"
#include "render/gdi_handles.h"
#include "render/log_font.h"
#include "render/normalized_text.h"
#include "text/draw_lines.h"
#include "textraster.h"

namespace textraster {
namespace {

// A memory device context with its own bitmap of the region's size, made
// compatible with the screen (the memory context's own default bitmap is
// monochrome). A new bitmap is all zero.
class Surface {
public:
    Surface(HDC screen, int width, int height)
        : dc_(screen), bitmap_(CreateCompatibleBitmap(screen, width, height)), selection_(dc_.get(), bitmap_.get()) {}
    bool ok() const { return dc_.get() && bitmap_.get(); }
    HDC dc() const { return dc_.get(); }
    // The bitmap must be out of its context before it is read back.
    Capture ReadBack() {
        selection_.Restore();
        return CaptureBitmap(dc_.get(), bitmap_.get(), 32, BI_RGB);
    }

private:
    MemoryDc dc_;
    GdiObject<HBITMAP> bitmap_;
    Selection selection_;
};

// Merges the two captures (bottom-up rows) into the host's buffer, clipped to
// it, in the row order the host asked for: one pass over the pixels that
// reach the host, none over those that the clipping cuts.
void CopyRegion(const TextLayoutParams& p, const uint32_t* colour, const uint32_t* alpha, uint32_t* pixels) {
    const int32_t rows = std::min(int32_t(p.bufferHeight) - int32_t(p.destY), int32_t(p.regionHeight));
    const int32_t columns = std::min(int32_t(p.bufferWidth) - int32_t(p.destX), int32_t(p.regionWidth));
    if (rows <= 0 || columns <= 0) return;
    uint32_t* destination = pixels + (size_t(p.destY) * p.bufferWidth + p.destX);
    for (int32_t i = 0; i < rows; ++i, destination += p.bufferWidth) {
        const int32_t sourceRow = p.topDown ? int32_t(p.regionHeight) - 1 - i : i;
        const size_t offset = size_t(sourceRow) * p.regionWidth;
        MergeAlpha(destination, colour + offset, alpha + offset, size_t(columns));
    }
}

}  // namespace
}  // namespace textraster

using namespace textraster;

extern "C" TEXTRASTER_API int32_t TEXTRASTER_CALL RenderText(const TextChar* text, const TextLayoutParams* params,
                                                             uint32_t* pixels, uint16_t* ascent,
                                                             uint8_t* usedLinePitch, uint16_t* lastLineExtent) {
    if (!text || !text[0] || !params || !pixels) return TR_INVALID_ARGUMENT;
    const TextLayoutParams& p = *params;
    if (p.bufferWidth < p.regionWidth || p.bufferHeight < p.regionHeight) return TR_INVALID_ARGUMENT;
    if (p.size != int16_t(sizeof(TextLayoutParams))) return TR_BAD_RECORD_SIZE;
    if (p.bufferSize < uint64_t(p.bufferWidth) * p.bufferHeight * 4) return TR_BUFFER_TOO_SMALL;

    if (usedLinePitch) *usedLinePitch = 0;
    if (lastLineExtent) *lastLineExtent = 0;
    NormalizedText normalized(text, p);
    if (!normalized.ok()) return TR_OUT_OF_MEMORY;

    ScreenDc screen;
    // The platform gives a 1x1 bitmap for an empty region; ask for that
    // explicitly so that an empty region is no failure anywhere.
    const int width = std::max<int>(p.regionWidth, 1), height = std::max<int>(p.regionHeight, 1);
    Surface colour(screen.get(), width, height);
    Surface alpha(screen.get(), width, height);
    // A region too large for memory is reported, not drawn as an empty success.
    if (!colour.ok() || !alpha.ok()) return TR_OUT_OF_MEMORY;
    SetBkMode(colour.dc(), OPAQUE);
    SetBkMode(alpha.dc(), OPAQUE);

    int32_t result;
    {
        const LOGFONTW description = BuildLogFont(p.fontHeight, p.faceName, p.fontStyle, p.writingMode == 3);
        GdiObject<HFONT> font(CreateFontIndirectW(&description));
        Selection colourFont(colour.dc(), font.get());
        Selection alphaFont(alpha.dc(), font.get());

        // The opacity bytes become red intensities on the alpha surface.
        SetBkColor(colour.dc(), p.backColor & 0xFFFFFF);
        SetBkColor(alpha.dc(), p.backColor >> 24);
        SetTextColor(colour.dc(), p.textColor & 0xFFFFFF);
        SetTextColor(alpha.dc(), p.textColor >> 24);

        if (ascent) {
            *ascent = 0;
            TEXTMETRICW metrics{};
            if (GetTextMetricsW(colour.dc(), &metrics)) *ascent = uint16_t(metrics.tmAscent);
        }

        // Both surfaces carry the same font: each run is measured once.
        MeasuredRuns measured;
        DcCanvas colourCanvas(colour.dc(), measured), alphaCanvas(alpha.dc(), measured);
        DrawLines(normalized.get(), colourCanvas, p, usedLinePitch, lastLineExtent);
        result = DrawLines(normalized.get(), alphaCanvas, p, nullptr, nullptr);
    }  // both fonts deselected, then the font deleted

    Capture colourPixels = colour.ReadBack();
    Capture alphaPixels = alpha.ReadBack();
    if (!colourPixels || !alphaPixels) return TR_OUT_OF_MEMORY;
    CopyRegion(p, DibPixels(*colourPixels), DibPixels(*alphaPixels), pixels);
    return result;
}
