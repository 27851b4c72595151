// NormalizeText over arbitrary UTF-16 and arbitrary mode values.
//
// Input: spaceMode, newlineMode, preserveSpaces, leadingSpaceMode (int32
// each), then the text as UTF-16LE up to the first zero unit.
//
// Beyond memory safety (the input and the output blocks are exactly as large
// as the callers make them), checks that the result is that of the plain
// definition (tests/support/normalize_reference.h), and what holds for every
// request:
// - the output is terminated within the input's length plus one unit;
// - only white space is removed or replaced: the other characters come out
//   in order, so U+00A0, U+2028 and U+2029 keep their counts;
// - LF survives only when newlineMode keeps it;
// - without preserveSpaces no white space (LF aside) follows white space;
// - white space other than LF is only ever written as itself, as U+0020, or
//   as the zero-width space that newlineMode 3 gives an LF.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "support/normalize_reference.h"
#include "text/char_class.h"
#include "text/normalize.h"

using namespace textraster;

namespace {

std::vector<TextChar> NonWhiteSpace(const TextChar* text, size_t length) {
    std::vector<TextChar> kept;
    for (size_t i = 0; i < length; ++i)
        if (!IsWhiteSpace(text[i])) kept.push_back(text[i]);
    return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    const int32_t spaceMode = input.I32(), newlineMode = input.I32();
    const int32_t preserveSpaces = input.I32(), leadingSpaceMode = input.I32();
    const fuzz::HeapText text(input.RestAsUnits());
    const size_t length = text.length();

    // As the entry points allocate it: one unit per input unit and the
    // terminator. Filled with a non-zero unit, so that a missing terminator shows.
    std::unique_ptr<TextChar[]> output(new TextChar[length + 1]);
    for (size_t i = 0; i <= length; ++i) output[i] = TextChar(0x7777);
    NormalizeText(text.get(), output.get(), spaceMode, newlineMode, preserveSpaces, leadingSpaceMode);

    size_t outLength = 0;
    while (outLength <= length && output[outLength] != 0) ++outLength;
    FUZZ_CHECK(outLength <= length);  // terminated, never longer than the input
    const std::vector<TextChar> units(text.get(), text.end());
    FUZZ_CHECK(std::vector<TextChar>(output.get(), output.get() + outLength) ==
               test::NormalizeByDefinition(units, spaceMode, newlineMode, preserveSpaces, leadingSpaceMode));

    FUZZ_CHECK(NonWhiteSpace(text.get(), length) == NonWhiteSpace(output.get(), outLength));
    auto count = [](const TextChar* s, size_t n, TextChar c) {
        size_t k = 0;
        for (size_t i = 0; i < n; ++i) k += s[i] == c;
        return k;
    };
    for (TextChar kept : {TextChar(0x00A0), TextChar(0x2028), TextChar(0x2029)})
        FUZZ_CHECK(count(text.get(), length, kept) == count(output.get(), outLength, kept));

    for (size_t i = 0; i < outLength; ++i) {
        const TextChar c = output[i];
        if (c == kLineFeed) FUZZ_CHECK(newlineMode == 2);
        if (!IsWhiteSpace(c) || c == kLineFeed) continue;
        if (preserveSpaces == 0) FUZZ_CHECK(i == 0 || !IsWhiteSpace(output[i - 1]));
        const bool fromLineFeed = (newlineMode == 0 && c == kSpace) || (newlineMode == 3 && c == kZeroWidthSpace);
        const bool keptAsIs = spaceMode == 0 || spaceMode == 3 || spaceMode == 4;
        FUZZ_CHECK(fromLineFeed || (spaceMode == 2 && c == kSpace) || (keptAsIs && count(text.get(), length, c) > 0));
    }
    return 0;
}
