#include "text/normalize.h"

#include "text/char_class.h"

namespace textraster {
namespace {

// Every pass writes at most one unit for each unit it reads, and only looks
// ahead at units it has not yet read and behind at units it has written. So
// passes 2 and 3 can work in place on the output: the write position never
// passes the read position. This needs no scratch copy, and so nothing that
// could fail to be allocated.

// Rule B: the white space at `next` onwards (the input of pass 1) reaches an LF.
bool WhiteSpaceRunReachesLineFeed(const TextChar* next) {
    for (; IsWhiteSpace(*next); ++next)
        if (*next == kLineFeed) return true;
    return false;
}

void TreatWhiteSpace(const TextChar* in, TextChar* out, int32_t spaceMode, int32_t leadingSpaceMode) {
    uint32_t i = 0;
    for (const TextChar* p = in; *p; ++p) {
        const TextChar c = *p;
        if (!IsWhiteSpace(c) || c == kLineFeed) {
            out[i++] = c;
            continue;
        }
        // Rule A: at a line start, judged on what this pass has written.
        const bool atLineStart = i > 0 ? out[i - 1] == kLineFeed : leadingSpaceMode == 2;
        bool keep;
        switch (spaceMode) {
            case 0: keep = !atLineStart && !WhiteSpaceRunReachesLineFeed(p + 1); break;
            case 2: keep = true; break;
            case 3: keep = !WhiteSpaceRunReachesLineFeed(p + 1); break;
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
