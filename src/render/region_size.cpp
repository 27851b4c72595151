// ComputeTextRegionSize: the region a text needs under a request, measured
// with the font RenderText would draw it with.
#include "platform/gdi.h"
#include "render/call_paths.h"
#include "render/dc_canvas.h"
#include "render/gdi_handles.h"
#include "render/log_font.h"
#include "render/normalized_text.h"
#include "text/measure_lines.h"
#include "textraster.h"

namespace textraster {

int32_t ComputeTextRegionSizeUsing(const CallPaths& paths, const TextChar* text, const TextLayoutParams* params,
                                   uint16_t* ascent, uint16_t* neededWidth, uint16_t* neededHeight,
                                   uint16_t* lastLineExtent) {
    if (!text || !text[0] || !neededWidth || !neededHeight || !params) return TR_INVALID_ARGUMENT;
    const TextLayoutParams& p = *params;
    const bool vertical = p.writingMode == TR_WRITING_VERTICAL;
    const bool horizontal = p.writingMode == TR_WRITING_HORIZONTAL || p.writingMode == TR_WRITING_RIGHT_TO_LEFT;
    if (p.fontHeight == 0 || (horizontal && p.regionWidth == 0) || (vertical && p.regionHeight == 0) ||
        p.linePitch == 0)
        return TR_INVALID_ARGUMENT;
    if (p.size != int16_t(sizeof(TextLayoutParams))) return TR_BAD_RECORD_SIZE;
    NormalizedText normalized(text, p);
    if (!normalized.ok()) return TR_OUT_OF_MEMORY;

    ScreenDc screen;
    const LOGFONTW description = BuildLogFont(p.fontHeight, p.faceName, p.fontStyle, vertical);
    GdiObject<HFONT> font(CreateFontIndirectW(&description));
    Selection selected(screen.get(), font.get());

    if (ascent) {
        *ascent = 0;
        TEXTMETRICW metrics{};
        if (GetTextMetricsW(screen.get(), &metrics)) *ascent = uint16_t(metrics.tmAscent);
    }

    uint16_t extent = 0;
    if (horizontal || vertical) {
        // Lines run along the width, or down the height for vertical columns;
        // the inline size is tight only for one line aligned to the start.
        const uint16_t lineLength = vertical ? p.regionHeight : p.regionWidth;
        uint16_t lineCount = 0;
        MeasuredRuns measured;
        DcCanvas measurer(screen.get(), paths.measureOnce ? &measured : nullptr);
        MeasureLines(normalized.get(), measurer, lineLength, p.alignment, p.firstLineIndent, p.wordWrap,
                     p.leadingSpaceMode, &lineCount, &extent);
        const int32_t inlineSize =
            lineCount == 1 && p.alignment == TR_ALIGN_START ? int32_t(extent) + p.firstLineIndent : int32_t(lineLength);
        const uint16_t blockSize = uint16_t(int32_t(lineCount) * p.linePitch);
        *(vertical ? neededHeight : neededWidth) = uint16_t(inlineSize);
        *(vertical ? neededWidth : neededHeight) = blockSize;
    }
    if (lastLineExtent) *lastLineExtent = extent;
    return TR_OK;
}

}  // namespace textraster

extern "C" TEXTRASTER_API int32_t TEXTRASTER_CALL ComputeTextRegionSize(const TextChar* text,
                                                                        const TextLayoutParams* params,
                                                                        uint16_t* ascent, uint16_t* neededWidth,
                                                                        uint16_t* neededHeight,
                                                                        uint16_t* lastLineExtent) {
    return textraster::ComputeTextRegionSizeUsing(textraster::CallPaths{}, text, params, ascent, neededWidth,
                                                  neededHeight, lastLineExtent);
}
