// The request record's binary layout, which hosts compiled against; checked at
// run time too, so that the Windows test run proves it on the target itself.
#include <gtest/gtest.h>

#include <cstddef>

#include "textraster.h"

namespace {

TEST(TextLayoutParams, LayoutHostsRelyOn) {
    // Fields after the face name pointer move by its extra width on 64-bit targets.
    const size_t shift = sizeof(void*) - 4;
    const struct {
        const char* field;
        size_t offset;
        size_t expected;
    } fields[] = {
        {"size", offsetof(TextLayoutParams, size), 0},
        {"destX", offsetof(TextLayoutParams, destX), 2},
        {"destY", offsetof(TextLayoutParams, destY), 4},
        {"regionWidth", offsetof(TextLayoutParams, regionWidth), 6},
        {"regionHeight", offsetof(TextLayoutParams, regionHeight), 8},
        {"topDown", offsetof(TextLayoutParams, topDown), 12},
        {"bufferWidth", offsetof(TextLayoutParams, bufferWidth), 16},
        {"bufferHeight", offsetof(TextLayoutParams, bufferHeight), 18},
        {"bufferSize", offsetof(TextLayoutParams, bufferSize), 20},
        {"backColor", offsetof(TextLayoutParams, backColor), 24},
        {"textColor", offsetof(TextLayoutParams, textColor), 28},
        {"faceName", offsetof(TextLayoutParams, faceName), 32},
        {"fontHeight", offsetof(TextLayoutParams, fontHeight), 36 + shift},
        {"fontStyle", offsetof(TextLayoutParams, fontStyle), 40 + shift},
        {"spaceMode", offsetof(TextLayoutParams, spaceMode), 44 + shift},
        {"newlineMode", offsetof(TextLayoutParams, newlineMode), 48 + shift},
        {"preserveSpaces", offsetof(TextLayoutParams, preserveSpaces), 52 + shift},
        {"wordWrap", offsetof(TextLayoutParams, wordWrap), 56 + shift},
        {"leadingSpaceMode", offsetof(TextLayoutParams, leadingSpaceMode), 60 + shift},
        {"blockStartOffset", offsetof(TextLayoutParams, blockStartOffset), 64 + shift},
        {"linePitch", offsetof(TextLayoutParams, linePitch), 66 + shift},
        {"firstLineIndent", offsetof(TextLayoutParams, firstLineIndent), 68 + shift},
        {"writingMode", offsetof(TextLayoutParams, writingMode), 72 + shift},
        {"alignment", offsetof(TextLayoutParams, alignment), 76 + shift},
    };
    for (const auto& f : fields) EXPECT_EQ(f.offset, f.expected) << f.field;
    EXPECT_EQ(sizeof(TextLayoutParams), sizeof(void*) == 4 ? 80u : 88u);
    EXPECT_EQ(sizeof(TextChar), 2u);
}

}  // namespace
