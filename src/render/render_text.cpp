// RenderText: the text drawn twice, once in its colours and once with the two
// opacities as red intensities, read back and merged into straight-alpha
// BGRA pixels in the host's buffer.
#include <algorithm>
#include <cstring>

#include "platform/gdi.h"
#include "render/call_paths.h"
#include "render/dc_canvas.h"
#include "render/dib.h"
#include "render/drawn_rows.h"
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
    ScanLineReader ReadBack() {
        selection_.Restore();
        return ScanLineReader(dc_.get(), bitmap_.get());
    }

   private:
    MemoryDc dc_;
    GdiObject<HBITMAP> bitmap_;
    Selection selection_;
};

// Reads both surfaces back a band at a time and merges them into the host's
// buffer, clipped to it, in the row order the host asked for: one pass over
// the lines that reach the host, none over those that the clipping cuts.
// Rows outside `drawn` (from the top) are zero on both surfaces: they are
// written as zeros without being read. False when the system gives fewer
// lines than asked for; then nothing was written, as every band asks the same
// of the same bitmaps as the first.
bool CopyRegion(const TextLayoutParams& p, ScanLineReader& colour, ScanLineReader& alpha, const RowSpan& drawn,
                uint32_t* pixels) {
    const int32_t height = colour.height(), width = colour.width();
    const int32_t rows = std::min(int32_t(p.bufferHeight) - int32_t(p.destY), int32_t(p.regionHeight));
    const int32_t columns = std::min(int32_t(p.bufferWidth) - int32_t(p.destX), int32_t(p.regionWidth));
    if (rows <= 0 || columns <= 0) return true;
    // Scan lines count from the bottom: host row i is line height - 1 - i
    // when the host's rows run top-down, line i otherwise.
    const int32_t firstLine = p.topDown ? height - rows : 0, endLine = p.topDown ? height : rows;
    const int32_t firstDrawn = std::max(firstLine, height - drawn.end);
    const int32_t endDrawn = std::max(firstDrawn, std::min(endLine, height - drawn.first));
    uint32_t* const region = pixels + (size_t(p.destY) * p.bufferWidth + p.destX);
    auto hostRow = [&](int32_t line) { return region + size_t(p.topDown ? height - 1 - line : line) * p.bufferWidth; };
    const int band = colour.bandLines();
    for (int32_t first = firstDrawn; first < endDrawn; first += band) {
        const int count = std::min(band, endDrawn - first);
        const uint32_t* colourLines = colour.Read(first, count);
        const uint32_t* alphaLines = alpha.Read(first, count);
        if (!colourLines || !alphaLines) return false;
        for (int k = 0; k < count; ++k)
            MergeAlpha(hostRow(first + k), colourLines + size_t(k) * width, alphaLines + size_t(k) * width,
                       size_t(columns));
    }
    for (int32_t line = firstLine; line < endLine; ++line)
        if (line < firstDrawn || line >= endDrawn) std::memset(hostRow(line), 0, size_t(columns) * sizeof(uint32_t));
    return true;
}

}  // namespace

int32_t RenderTextUsing(const CallPaths& paths, const TextChar* text, const TextLayoutParams* params, uint32_t* pixels,
                        uint16_t* ascent, uint8_t* usedLinePitch, uint16_t* lastLineExtent) {
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
    SetOpacitySurface(alpha.dc(), TRUE);

    RowSpan drawn;
    {
        const LOGFONTW description =
            BuildLogFont(p.fontHeight, p.faceName, p.fontStyle, p.writingMode == TR_WRITING_VERTICAL);
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
        MeasuredRuns* const shared = paths.measureOnce ? &measured : nullptr;
        DcCanvas colourCanvas(colour.dc(), shared), alphaCanvas(alpha.dc(), shared);
        const DrawnRows colourRows(colour.dc(), paths.readDrawnRowsOnly);
        DrawLines(normalized.get(), colourCanvas, p, usedLinePitch, lastLineExtent);
        const DrawnRows alphaRows(alpha.dc(), paths.readDrawnRowsOnly);
        DrawLines(normalized.get(), alphaCanvas, p, nullptr, nullptr);
        drawn = Union(colourRows.Rows(height), alphaRows.Rows(height));
    }  // both fonts deselected, then the font deleted

    ScanLineReader colourLines = colour.ReadBack();
    ScanLineReader alphaLines = alpha.ReadBack();
    if (!colourLines || !alphaLines) return TR_OUT_OF_MEMORY;
    if (!CopyRegion(p, colourLines, alphaLines, drawn, pixels)) return TR_OUT_OF_MEMORY;
    return TR_OK;
}

}  // namespace textraster

extern "C" TEXTRASTER_API int32_t TEXTRASTER_CALL RenderText(const TextChar* text, const TextLayoutParams* params,
                                                             uint32_t* pixels, uint16_t* ascent, uint8_t* usedLinePitch,
                                                             uint16_t* lastLineExtent) {
    return textraster::RenderTextUsing(textraster::CallPaths{}, text, params, pixels, ascent, usedLinePitch,
                                       lastLineExtent);
}
