// The request record's layout is asserted by the header wherever it is
// compiled as C++ or C11; a host in older C gets no such check. This
// compares the layout a C99 compilation of the header gives with the one
// the library was built with.
#include <gtest/gtest.h>

#include <cstddef>

#include "textraster.h"

extern "C" const size_t kRecordLayoutAsSeenFromC[];

namespace {

TEST(TextLayoutParams, CHostsSeeTheLayoutTheLibraryUses) {
    const size_t fromCxx[] = {
        sizeof(TextLayoutParams),
        offsetof(TextLayoutParams, destX),
        offsetof(TextLayoutParams, destY),
        offsetof(TextLayoutParams, regionWidth),
        offsetof(TextLayoutParams, regionHeight),
        offsetof(TextLayoutParams, topDown),
        offsetof(TextLayoutParams, bufferWidth),
        offsetof(TextLayoutParams, bufferHeight),
        offsetof(TextLayoutParams, bufferSize),
        offsetof(TextLayoutParams, backColor),
        offsetof(TextLayoutParams, textColor),
        offsetof(TextLayoutParams, faceName),
        offsetof(TextLayoutParams, fontHeight),
        offsetof(TextLayoutParams, fontStyle),
        offsetof(TextLayoutParams, spaceMode),
        offsetof(TextLayoutParams, newlineMode),
        offsetof(TextLayoutParams, preserveSpaces),
        offsetof(TextLayoutParams, wordWrap),
        offsetof(TextLayoutParams, leadingSpaceMode),
        offsetof(TextLayoutParams, blockStartOffset),
        offsetof(TextLayoutParams, linePitch),
        offsetof(TextLayoutParams, firstLineIndent),
        offsetof(TextLayoutParams, writingMode),
        offsetof(TextLayoutParams, alignment),
        sizeof(TextChar),
    };
    for (size_t i = 0; i < sizeof fromCxx / sizeof fromCxx[0]; ++i)
        EXPECT_EQ(kRecordLayoutAsSeenFromC[i], fromCxx[i]) << "entry " << i;
}

}  // namespace
