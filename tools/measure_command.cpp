// textraster measure: what the library's two measuring functions report.
#include <cstdio>

#include "commands.h"
#include "face_choice.h"
#include "rendering.h"
#include "result_codes.h"
#include "text_source.h"

namespace textraster::tool {

int RunMeasure(const Options& options) {
    std::string error;
    Text text, face;
    PrivateFonts fonts;
    if (!LoadText(options, text, error) || !ChooseFace(options, fonts, face, error)) return Fail(error);

    const Measurement m = Measure(text, options.record, face);
    if (m.code != TR_OK) return Fail(DescribeFailure("ComputeTextRegionSize", m.code));
    if (m.cellCode != TR_OK) return Fail(DescribeFailure("GetFontCharacterCellHeight", m.cellCode));

    const unsigned fontHeight = options.record.fontHeight;
    if (options.json) {
        std::printf(
            "{\"ascent\": %u, \"neededWidth\": %u, \"neededHeight\": %u, \"lastLineExtent\": %u, "
            "\"fontHeight\": %u, \"cellHeight\": %u}\n",
            unsigned(m.ascent), unsigned(m.neededWidth), unsigned(m.neededHeight), unsigned(m.lastLineExtent),
            fontHeight, unsigned(m.cellHeight));
    } else {
        std::printf(
            "ascent:           %u\n"
            "needed width:     %u\n"
            "needed height:    %u\n"
            "last line extent: %u\n"
            "cell height:      %u (of the font whose character height is %u)\n",
            unsigned(m.ascent), unsigned(m.neededWidth), unsigned(m.neededHeight), unsigned(m.lastLineExtent),
            unsigned(m.cellHeight), fontHeight);
    }
    return kExitDone;
}

}  // namespace textraster::tool
