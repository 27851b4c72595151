#include "cue_picture.h"

#include <algorithm>
#include <cmath>

#include "buffer_limits.h"
#include "cue_layout.h"
#include "cue_markup.h"
#include "outline.h"
#include "region_fit.h"
#include "rendering.h"
#include "result_codes.h"

namespace textraster::tool {
namespace {

// The record for one cue: the style and colour its tags give.
TextLayoutParams CueRecord(const Options& options, const Cue& cue) {
    TextLayoutParams r = options.record;
    ApplyCueStyle(cue.style, r);
    return r;
}

LineAlign OptionAlign(int32_t alignment) {
    return alignment == TR_ALIGN_START ? LineAlign::Start
           : alignment == TR_ALIGN_END ? LineAlign::End
                                       : LineAlign::Centre;
}

}  // namespace

bool DrawCue(const Cue& cue, const Options& options, const Text& face, CuePicture& picture, std::string& error,
             std::string& warning) {
    TextLayoutParams record = CueRecord(options, cue);
    // Each line reads in its own direction unless --writing-mode says one for
    // all, or the cue says it stands in vertical columns.
    const int32_t forced = options.writingModeGiven ? options.record.writingMode : cue.writingMode;
    // A given region keeps its line length; a frame's or the cue's own is
    // the most a line may take, the picture as narrow as its lines.
    LineLength length = options.regionGiven           ? LineLength::Kept
                        : options.lineLengthFromFrame ? LineLength::AtMost
                                                      : LineLength::Free;
    if (options.fit && options.frameWidth &&
        (cue.sizePercent || (forced == TR_WRITING_VERTICAL && !options.writingModeGiven))) {
        // The cue's own line length, a share of the frame's side its lines
        // run along (a vertical cue's columns run down the frame's height).
        // Without --fit the picture is the region the command line gives.
        uint16_t& side = forced == TR_WRITING_VERTICAL ? record.regionHeight : record.regionWidth;
        const uint32_t frame = forced == TR_WRITING_VERTICAL ? options.frameHeight : options.frameWidth;
        const double share = cue.sizePercent ? *cue.sizePercent / 100 : 1.0 - 2.0 * options.frameMargin / frame;
        side = uint16_t(std::max(1L, std::lround(share * frame)));
        length = LineLength::AtMost;
    }
    const std::vector<CueRun> runs =
        forced
            ? std::vector<CueRun>{{cue.text,
                                   forced == TR_WRITING_RIGHT_TO_LEFT ? Direction::RightToLeft : Direction::LeftToRight,
                                   1}}
            : DirectionRuns(cue.text);
    if (options.fit &&
        !FitRuns(runs, forced, record, face, length, uint16_t(options.margin + options.outline), error, warning))
        return false;
    error = CheckBuffer(record);
    if (!error.empty()) return false;

    std::vector<RunCall> calls;
    record.faceName = face.empty() ? nullptr : face.c_str();
    const int32_t code = StackRuns(runs, record, cue.align.value_or(OptionAlign(options.record.alignment)), calls);
    if (code != TR_OK) {
        error = DescribeFailure("ComputeTextRegionSize", code);
        return false;
    }
    Image canvas;
    for (RunCall& call : calls) {
        if (forced) call.record.writingMode = forced;
        // The first run on a fresh buffer, the others onto what it drew.
        Rendering r = &call == &calls.front() ? Render(*call.text, call.record, face)
                                              : RenderOnto(std::move(canvas), *call.text, call.record, face);
        if (r.code != TR_OK) {
            error = DescribeFailure("RenderText", r.code);
            return false;
        }
        canvas = std::move(r.image);
    }
    if (options.outline) DrawOutline(canvas, options.outline, options.outlineColor);
    picture.image = std::move(canvas);
    picture.linePitch = record.linePitch;
    return true;
}

}  // namespace textraster::tool
