// The line-breaking rules, written once. Counting lines (MeasureLines) and
// drawing them (DrawLines) are two walks over these rules; what each walk does
// with a line, and the one rule where they part (giving up on a character
// that does not fit on a fresh line), is a LineSink.
#pragma once

#include <cstdint>

#include "text/line_canvas.h"
#include "textraster.h"

namespace textraster {

struct LineRules {
    // A character fits while the run from the line start through it, plus the
    // indent on the first line, is at most this long.
    int32_t lineLength;
    // Zero: only forced breaks end a line.
    bool wordWrap;
    // With wordWrap: no character ever fits (a writing mode without a line
    // direction). lineLength still decides the break position.
    bool neverFits;
    // Added to the first line's extent when testing the fit; callers pass 0
    // for alignments where the indent does not count.
    int32_t firstLineIndent;
    // leadingSpaceMode nonzero: white space at the start of the text stays, and
    // a first line that only the indent made too long moves whole to the next.
    bool keepLeadingSpace;
};

// The rules for the request's fields; the first-line indent counts only
// when lines are aligned to their start.
inline LineRules MakeLineRules(uint16_t lineLength, int32_t alignment, int16_t firstLineIndent, int32_t wordWrap,
                               int32_t leadingSpaceMode) {
    return LineRules{lineLength, wordWrap != 0, false, alignment == TR_ALIGN_START ? firstLineIndent : 0,
                     leadingSpaceMode != 0};
}

// What a walk does with the lines the rules produce.
class LineSink {
   public:
    // True: a character that does not fit while it is the first one examined
    // since the start of the text or the last automatic break ends the walk
    // (the text cannot be laid out). False: it is broken before like any other.
    virtual bool GivesUpOnFreshOverflow() const = 0;
    // A line of `count` characters from `start` ended at a forced or automatic
    // break. Returning false ends the walk.
    virtual bool EndLine(const TextChar* start, uint32_t count, bool firstLine, bool automatic) = 0;
    // The run left when the text ends; possibly empty.
    virtual void EndText(const TextChar* start, uint32_t count, bool firstLine) = 0;

   protected:
    ~LineSink() = default;
};

enum class WalkEnd {
    kTextEnd,  // the whole text was walked and EndText called
    kStopped,  // EndLine returned false
    kGaveUp,   // a character can never fit (see WalkLines)
};

// Walks `text` line by line, measuring each examined character's run once
// when wrapping (only forced breaks need no measuring).
// It always ends: every automatic break moves the line start on, except a
// break to an empty line that changes what the next examination sees (white
// space that will be dropped, or the first line's indent that will no longer
// count), and a break that could change nothing ends the walk with kGaveUp.
WalkEnd WalkLines(const TextChar* text, RunMeasurer& measurer, const LineRules& rules, LineSink& sink);

// The extent of a run; an empty run is 0 without asking the measurer.
inline int32_t RunExtent(RunMeasurer& measurer, const TextChar* start, uint32_t count) {
    return count > 0 ? measurer.Extent(start, count) : 0;
}

}  // namespace textraster
