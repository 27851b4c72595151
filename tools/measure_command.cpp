// textraster measure: what the library's two measuring functions report.
#include "commands.h"
#include "face_choice.h"
#include "files.h"
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
    int32_t code = CountLines(text, record, face.name, lines);
    if (code != TR_OK) return Fail(DescribeFailure("ComputeTextRegionSize", code));
    // Unwrapped, a line longer than 65535 pixels has a 16-bit extent that
    // has wrapped; it shows as a line that would break at that length.
    bool longLine = false;
    if (!record.wordWrap) {
        code = HasOverlongLine(text, record, face.name, longLine);
        if (code != TR_OK) return Fail(DescribeFailure("ComputeTextRegionSize", code));
    }
    uint8_t cellHeight = 0;
    code = CellHeight(record, face.name, cellHeight);
    if (code != TR_OK) return Fail(DescribeFailure("GetFontCharacterCellHeight", code));

    // The block size is lines x linePitch in 16 bits: past 65535 the library's
    // number has wrapped, and the whole one is given instead.
    const bool vertical = record.writingMode == TR_WRITING_VERTICAL;
    const unsigned wrapped = vertical ? m.neededWidth : m.neededHeight;
    const unsigned block = unsigned(lines) * record.linePitch;
    const bool overflow =
        (record.writingMode == TR_WRITING_HORIZONTAL || record.writingMode == TR_WRITING_RIGHT_TO_LEFT || vertical) &&
        block > 65535;
    const unsigned width = vertical && overflow ? block : m.neededWidth;
    const unsigned height = !vertical && overflow ? block : m.neededHeight;

    const unsigned fontHeight = record.fontHeight;
    std::string out;
    if (options.json) {
        out = Format(
            "{\"ascent\": %u, \"neededWidth\": %u, \"neededHeight\": %u, \"lastLineExtent\": %u, \"lines\": %u, "
            "\"fontHeight\": %u, \"cellHeight\": %u%s%s}\n",
            unsigned(m.ascent), width, height, unsigned(m.lastLineExtent), unsigned(lines), fontHeight,
            unsigned(cellHeight), overflow ? Format(", \"wrappedFrom\": %u", wrapped).c_str() : "",
            longLine ? ", \"lineLongerThan65535\": true" : "");
    } else {
        const std::string note = overflow ? Format(" (more than 65535: the library's 16-bit %s wrapped to %u)",
                                                   vertical ? "needed width" : "needed height", wrapped)
                                          : "";
        out = Format(
            "ascent:           %u\n"
            "needed width:     %u%s\n"
            "needed height:    %u%s\n"
            "last line extent: %u\n"
            "lines:            %u\n"
            "cell height:      %u (of the font whose character height is %u)\n%s",
            unsigned(m.ascent), width, vertical ? note.c_str() : "", height, vertical ? "" : note.c_str(),
            unsigned(m.lastLineExtent), unsigned(lines), unsigned(cellHeight), fontHeight,
            longLine ? "note:             a line is longer than 65535 pixels: the extents above that hold it are "
                       "its length in 16 bits, wrapped\n"
                     : "");
    }
    if (!WriteStandardOutput(out, error)) return Fail(error);
    return kExitDone;
}

}  // namespace textraster::tool
