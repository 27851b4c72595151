// Normalisation written the plain way, to hold the library's one-pass
// version to: three passes, each reading a copy of the previous pass's
// result, and every white-space unit looking ahead over the rest of its run
// for a line feed on its own (which costs the square of the run's length,
// and is why the library does not do it so).
#pragma once

#include <cstdint>

#include "text/char_class.h"
#include "textraster.h"

namespace textraster::test {

template <typename Units>
Units NormalizeByDefinition(const Units& input, int32_t spaceMode, int32_t newlineMode, int32_t preserveSpaces,
                            int32_t leadingSpaceMode) {
    using Unit = typename Units::value_type;
    Units text = input, out;
    auto lineFeedAhead = [&text](size_t at) {
        for (size_t k = at + 1; k < text.size() && IsWhiteSpace(char16_t(text[k])); ++k)
            if (text[k] == kLineFeed) return true;
        return false;
    };
    for (size_t at = 0; at < text.size(); ++at) {
        const Unit c = text[at];
        if (!IsWhiteSpace(char16_t(c)) || c == kLineFeed) {
            out.push_back(c);
            continue;
        }
        const bool lineStart = out.empty() ? leadingSpaceMode == 2 : out.back() == kLineFeed;
        const bool dropped = (spaceMode == 0 && (lineStart || lineFeedAhead(at))) ||
                             (spaceMode == 3 && lineFeedAhead(at)) || (spaceMode == 4 && lineStart) ||
                             (spaceMode != 0 && spaceMode != 2 && spaceMode != 3 && spaceMode != 4);
        if (!dropped) out.push_back(spaceMode == 2 ? Unit(kSpace) : c);
    }

    text.swap(out);
    out.clear();
    for (const Unit c : text) {
        if (c != kLineFeed)
            out.push_back(c);
        else if (newlineMode == 0)
            out.push_back(Unit(kSpace));
        else if (newlineMode == 2)
            out.push_back(c);
        else if (newlineMode == 3)
            out.push_back(Unit(kZeroWidthSpace));
    }
    if (preserveSpaces != 0) return out;

    text.swap(out);
    out.clear();
    for (size_t at = 0; at < text.size(); ++at) {
        const Unit c = text[at];
        const bool collapsible = IsWhiteSpace(char16_t(c)) && c != kLineFeed;
        const bool afterWhiteSpace = !out.empty() && IsWhiteSpace(char16_t(out.back()));
        const bool beforeLineFeed = at + 1 < text.size() && text[at + 1] == kLineFeed;
        if (!(collapsible && (afterWhiteSpace || beforeLineFeed))) out.push_back(c);
    }
    return out;
}

}  // namespace textraster::test
