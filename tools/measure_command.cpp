// textraster measure: what the library's two measuring functions report.
#include <cstdio>

#include "commands.h"
#include "face_choice.h"
#include "messages.h"
#include "region_fit.h"
#include "rendering.h"
#include "result_codes.h"
#include "text_source.h"

namespace textraster::tool {

int RunMeasure(const Options& options) {
    std::string error;
    Text text;
    FaceChoice face;
    PrivateFonts fonts;
    if (!LoadText(options, text, error) || !ChooseFace(options, fonts, face, error)) return Fail(error);

    const TextLayoutParams& record = options.record;
    const Measurement m = Measure(text, record, face.name);
    if (m.code != TR_OK) return Fail(DescribeFailure("ComputeTextRegionSize", m.code));
    uint16_t lines = 0;
    const int32_t linesCode = CountLines(text, record, face.name, lines);
    if (linesCode != TR_OK) return Fail(DescribeFailure("ComputeTextRegionSize", linesCode));
    uint8_t cellHeight = 0;
    const int32_t cellCode = CellHeight(record, face.name, cellHeight);
    if (cellCode != TR_OK) return Fail(DescribeFailure("GetFontCharacterCellHeight", cellCode));

    // The block size is lines x linePitch in 16 bits: past 65535 the library's
    // number has wrapped, and the whole one is given instead.
    const bool vertical = record.writingMode == 3;
    const unsigned wrapped = vertical ? m.neededWidth : m.neededHeight;
    const unsigned block = unsigned(lines) * record.linePitch;
    const bool overflow = (record.writingMode == 1 || record.writingMode == 2 || vertical) && block > 65535;
    const unsigned width = vertical && overflow ? block : m.neededWidth;
    const unsigned height = !vertical && overflow ? block : m.neededHeight;

    const unsigned fontHeight = record.fontHeight;
    if (options.json) {
        std::printf(
            "{\"ascent\": %u, \"neededWidth\": %u, \"neededHeight\": %u, \"lastLineExtent\": %u, \"lines\": %u, "
            "\"fontHeight\": %u, \"cellHeight\": %u%s}\n",
            unsigned(m.ascent), width, height, unsigned(m.lastLineExtent), unsigned(lines), fontHeight,
            unsigned(cellHeight), overflow ? Format(", \"wrappedFrom\": %u", wrapped).c_str() : "");
    } else {
        const std::string note = overflow ? Format(" (more than 65535: the library's 16-bit %s wrapped to %u)",
                                                   vertical ? "needed width" : "needed height", wrapped)
                                          : "";
        std::printf(
            "ascent:           %u\n"
            "needed width:     %u%s\n"
            "needed height:    %u%s\n"
            "last line extent: %u\n"
            "lines:            %u\n"
            "cell height:      %u (of the font whose character height is %u)\n",
            unsigned(m.ascent), width, vertical ? note.c_str() : "", height, vertical ? "" : note.c_str(),
            unsigned(m.lastLineExtent), unsigned(lines), unsigned(cellHeight), fontHeight);
    }
    return kExitDone;
}

}  // namespace textraster::tool
