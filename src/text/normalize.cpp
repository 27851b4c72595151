#include "text/normalize.h"

#include "text/char_class.h"

namespace textraster {
namespace {

// Every pass writes at most one unit for each unit it reads, and only looks
// ahead at units it has not yet read and behind at units it has written. So
// passes 2 and 3 can work in place on the output: the write position never
// passes the read position. This needs no scratch copy, and so nothing that
// could fail to be allocated.

// Whether the white space after a unit of the input, up to the first unit
// that is not white space, holds an LF: white space before a line feed.
// Every unit of one white-space run gets its answer from a single walk to
// the run's end, which remembers where the run's last LF lies, so that a
// long run costs time in proportion to its length, not to its square.
class LineFeedAhead {
   public:
    explicit LineFeedAhead(const TextChar* text) : walkedTo_(text) {}

    // `at` is white space other than LF, and the units are asked for in order.
    bool After(const TextChar* at) {
        if (at >= walkedTo_) Walk(at);
        return lastLineFeed_ && at < lastLineFeed_;
    }

   private:
    void Walk(const TextChar* from) {
        lastLineFeed_ = nullptr;
        for (walkedTo_ = from; IsWhiteSpace(*walkedTo_); ++walkedTo_)
            if (*walkedTo_ == kLineFeed) lastLineFeed_ = walkedTo_;
    }

    const TextChar* walkedTo_;                // the end of the run walked last
    const TextChar* lastLineFeed_ = nullptr;  // its last LF, if any
};

void TreatWhiteSpace(const TextChar* in, TextChar* out, int32_t spaceMode, int32_t leadingSpaceMode) {
    LineFeedAhead lineFeedAhead(in);
    uint32_t i = 0;
    for (const TextChar* p = in; *p; ++p) {
        const TextChar c = *p;
        if (!IsWhiteSpace(c) || c == kLineFeed) {
            out[i++] = c;
            continue;
        }
        // At a line start, judged on what this pass has written: once one
        // unit is dropped there, the last unit written is still the LF (or
        // nothing), so the rest of the run goes too.
        const bool atLineStart = i > 0 ? out[i - 1] == kLineFeed : leadingSpaceMode == 2;
        bool keep;
        switch (spaceMode) {
            case 0: keep = !atLineStart && !lineFeedAhead.After(p); break;
            case 2: keep = true; break;
            case 3: keep = !lineFeedAhead.After(p); break;
            case 4: keep = !atLineStart; break;
            default: keep = false; break;  // 1 and every unknown mode remove it
        }
        if (keep) out[i++] = spaceMode == 2 ? TextChar(kSpace) : c;
    }
    out[i] = 0;
}

void TreatLineFeeds(TextChar* text, int32_t newlineMode) {
    uint32_t i = 0;
    for (TextChar* p = text; *p; ++p) {
        if (*p != kLineFeed) {
            text[i++] = *p;
            continue;
        }
        switch (newlineMode) {
            case 0: text[i++] = kSpace; break;
            case 2: text[i++] = kLineFeed; break;
            case 3: text[i++] = kZeroWidthSpace; break;
            default: break;  // 1 and every unknown mode remove it
        }
    }
    text[i] = 0;
}

// Of each white-space run only the first unit survives, and it goes too when
// an LF follows it directly (one unit of look-ahead only). No LF is removed.
void CollapseWhiteSpace(TextChar* text) {
    uint32_t k = 0;
    for (TextChar* p = text; *p; ++p) {
        const TextChar c = *p;
        const bool removed =
            IsWhiteSpace(c) && c != kLineFeed && ((k > 0 && IsWhiteSpace(text[k - 1])) || p[1] == kLineFeed);
        if (!removed) text[k++] = c;
    }
    text[k] = 0;
}

}  // namespace

uint32_t TextLength(const TextChar* text) {
    uint32_t n = 0;
    while (text[n]) ++n;
    return n;
}

void NormalizeText(const TextChar* input, TextChar* output, int32_t spaceMode, int32_t newlineMode,
                   int32_t preserveSpaces, int32_t leadingSpaceMode) {
    TreatWhiteSpace(input, output, spaceMode, leadingSpaceMode);
    TreatLineFeeds(output, newlineMode);
    if (preserveSpaces == 0) CollapseWhiteSpace(output);
}

}  // namespace textraster
