#include "text/line_walker.h"

#include "text/char_class.h"
#include "text/int32_wrap.h"

namespace textraster {
namespace {

uint32_t Count(const TextChar* from, const TextChar* to) {
    return uint32_t(to - from);
}

// The longest extent of a line's prefix that fits: lineLength less the
// indent, clamped to what an extent can hold.
int32_t FitLimit(int32_t lineLength, int32_t indent) {
    const int64_t limit = int64_t(lineLength) - indent;
    return limit > INT32_MAX ? INT32_MAX : limit < INT32_MIN ? INT32_MIN : int32_t(limit);
}

}  // namespace

WalkEnd WalkLines(const TextChar* text, RunMeasurer& measurer, const LineRules& rules, LineSink& sink) {
    const TextChar* lineStart = text;
    const TextChar* p = text;           // the character being examined
    const TextChar* breakAt = nullptr;  // the latest break opportunity on the line, or none
    bool skipping = !rules.keepLeadingSpace;
    bool firstLine = true;
    // Set exactly while the character examined is the first one since the
    // start of the text or since the last automatic break.
    bool fresh = true;

    while (const TextChar c = *p) {
        if (IsForcedBreak(c)) {
            // The break character belongs to no line.
            if (!sink.EndLine(lineStart, Count(lineStart, p), firstLine, false)) return WalkEnd::kStopped;
            lineStart = ++p;
            breakAt = nullptr;
            skipping = true;
            firstLine = false;
            fresh = false;
            continue;
        }
        if (skipping && IsWhiteSpace(c)) {
            lineStart = ++p;
            fresh = false;
            continue;
        }
        skipping = false;
        // Remembered before measuring, so that the character that makes the
        // line too long can itself be where the line ends.
        if (CanBreakBefore(c)) breakAt = p;
        // Without wrapping every character fits, and nothing needs measuring.
        if (!rules.wordWrap) {
            ++p;
            fresh = false;
            continue;
        }
        const int32_t indent = firstLine ? rules.firstLineIndent : 0;
        const int32_t extent = measurer.PrefixExtent(lineStart, Count(lineStart, p) + 1,
                                                     rules.neverFits ? INT32_MIN : FitLimit(rules.lineLength, indent));
        if (!rules.neverFits && AddInt32(extent, indent) <= rules.lineLength) {
            ++p;
            fresh = false;
            continue;
        }
        if (fresh && sink.GivesUpOnFreshOverflow()) return WalkEnd::kGaveUp;

        // Automatic break. A break at the line start ends an empty line and
        // examines the same character again on the next one. That changes
        // something only when the character is white space (now dropped) or
        // when the first line's indent stops counting; otherwise the same
        // character overflows at the same place again, forever.
        const bool emptyBreakRepeats = (indent == 0 || rules.neverFits) && !IsWhiteSpace(*lineStart);
        // An opportunity at the line start (an ideograph, kana, U+FFFC that
        // begins the line, followed by characters without an opportunity) is
        // therefore no opportunity: the line is broken like a word without
        // one, before the character that overflows, so that the text flows on
        // instead of producing empty lines without end.
        if (breakAt == lineStart && emptyBreakRepeats) breakAt = nullptr;
        // Without an opportunity the line ends before the character that
        // overflows, unless leading white space is kept and only the indent
        // made the run too long: then the first line stays empty and its
        // characters start the next line, where the indent is gone.
        if (!breakAt) breakAt = rules.keepLeadingSpace && extent <= rules.lineLength ? lineStart : p;
        // Still empty with nothing to change: a character that does not fit on
        // a line of its own. The sink takes the empty line, then the walk
        // ends, as nothing from this character on can be laid out.
        const bool cannotFit = breakAt == lineStart && emptyBreakRepeats;
        if (!sink.EndLine(lineStart, Count(lineStart, breakAt), firstLine, true)) return WalkEnd::kStopped;
        if (cannotFit) return WalkEnd::kGaveUp;
        lineStart = p = breakAt;
        breakAt = nullptr;
        skipping = true;
        firstLine = false;
        fresh = true;
    }
    sink.EndText(lineStart, Count(lineStart, p), firstLine);
    return WalkEnd::kTextEnd;
}

}  // namespace textraster
