#include "text/normalize.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <vector>

#include "support/normalize_reference.h"
#include "support/test_text.h"

namespace textraster {
namespace {

using test::Show;
using test::T;
using test::Text;

struct NormalizeCase {
    const char16_t* input;
    int32_t spaceMode;
    int32_t newlineMode;
    int32_t preserveSpaces;
    int32_t leadingSpaceMode;
    const char16_t* expected;
};

Text Normalize(const Text& input, const NormalizeCase& k) {
    // As the entry points do: a zero-filled buffer of length + 1 units.
    std::vector<TextChar> out(input.size() + 1, TextChar(0x7777));
    NormalizeText(input.c_str(), out.data(), k.spaceMode, k.newlineMode, k.preserveSpaces, k.leadingSpaceMode);
    return Text(out.data());
}

// Unless a case says otherwise: newlineMode 2, preserveSpaces 1, leadingSpaceMode 0.
const NormalizeCase kCases[] = {
    {u"", 0, 2, 1, 0, u""},
    // spaceMode 3 removes white space before an LF, CR of CR LF included.
    {u"a \t\r\nb", 3, 2, 1, 0, u"a\nb"},
    {u"a ", 3, 2, 1, 0, u"a "},
    // spaceMode 4 removes white space at line starts; the text start only with leadingSpaceMode 2.
    {u"  a\n  b", 4, 2, 1, 2, u"a\nb"},
    {u"  a\n  b", 4, 2, 1, 0, u"  a\nb"},
    // spaceMode 0 applies both rules.
    {u"  a  \n  b  ", 0, 2, 1, 0, u"  a\nb  "},
    {u"  a  \n  b  ", 0, 2, 1, 2, u"a\nb  "},
    // spaceMode 2 turns every white space but LF into a space.
    {u"a\tb", 2, 2, 1, 0, u"a b"},
    {u"a\n\tb", 2, 2, 1, 0, u"a\n b"},
    {u"a\n\tb", 2, 2, 0, 0, u"a\nb"},
    {u"a\x3000\x200B b", 2, 2, 1, 0, u"a   b"},
    // spaceMode 1 and unknown modes remove white space other than LF.
    {u"a b\tc", 1, 2, 1, 0, u"abc"},
    {u"a b\tc", 5, 2, 1, 0, u"abc"},
    {u"a b\tc", -1, 2, 1, 0, u"abc"},
    {u"a\nb", 1, 2, 1, 0, u"a\nb"},
    // newlineMode 0: LF becomes a space, which then collapses.
    {u"a \nb", 2, 0, 1, 0, u"a  b"},
    {u"a \nb", 2, 0, 0, 0, u"a b"},
    // newlineMode 3: a zero-width space, which survives collapsing.
    {u"a\nb", 2, 3, 1, 0,
     u"a\x200B"
     u"b"},
    {u"a\nb", 2, 3, 0, 0,
     u"a\x200B"
     u"b"},
    // newlineMode 1 and unknown modes remove LF.
    {u"a\nb", 2, 1, 1, 0, u"ab"},
    {u"a\nb", 2, 9, 1, 0, u"ab"},
    {u"a\nb", 2, -7, 1, 0, u"ab"},
    // Collapsing looks exactly one unit ahead.
    {u"a  \nb", 2, 2, 0, 0, u"a \nb"},
    {u"  a", 2, 2, 0, 0, u" a"},
    {u"  a", 4, 2, 0, 0, u" a"},
    {u"a \t b", 3, 2, 0, 0, u"a b"},
    {u"a\n\n b", 3, 2, 0, 0, u"a\n\nb"},
    // Any nonzero preserveSpaces skips collapsing.
    {u"a  b", 2, 2, -5, 0, u"a  b"},
    // The line-start rule sees the output: after a removed space the last written unit is still LF.
    {u"a\n \t b", 4, 2, 1, 0, u"a\nb"},
    // leadingSpaceMode 1 has no effect on normalisation.
    {u"  a", 4, 2, 1, 1, u"  a"},
    // The look-ahead for a line feed runs over the whole white-space run of the input.
    {u"a \t\x3000\nb", 3, 2, 1, 0, u"a\nb"},
    {u"a \tc\nb", 3, 2, 1, 0, u"a \tc\nb"},
    // A run that holds several line feeds: only what follows its last LF stays.
    {u"a \n \r\n\t b", 3, 2, 1, 0, u"a\n\n\t b"},
    {u"a \n \r\n\t b", 0, 2, 1, 0, u"a\n\nb"},
    {u"a \n \r\n\t ", 3, 2, 1, 0, u"a\n\n\t "},
};

TEST(NormalizeText, ModesAndRules) {
    for (const NormalizeCase& k : kCases) {
        const Text input = T(k.input);
        SCOPED_TRACE(testing::Message() << Show(input) << " space " << k.spaceMode << " newline " << k.newlineMode
                                        << " preserve " << k.preserveSpaces << " leading " << k.leadingSpaceMode);
        EXPECT_EQ(Show(Normalize(input, k)), Show(T(k.expected)));
    }
}

TEST(NormalizeText, SeparatorsAndNoBreakSpacePassUnchanged) {
    const Text input =
        T(u"\x00A0"
          u"a\x2028 b\x2029\x00A0");
    for (int32_t space : {0, 1, 2, 3, 4, 7})
        for (int32_t newline : {0, 1, 2, 3, 8})
            for (int32_t preserve : {0, 1}) {
                const NormalizeCase k{nullptr, space, newline, preserve, 2, nullptr};
                const Text out = Normalize(input, k);
                EXPECT_EQ(out.front(), 0x00A0);
                EXPECT_EQ(out.back(), 0x00A0);
                EXPECT_NE(out.find(TextChar(0x2028)), Text::npos);
                EXPECT_NE(out.find(TextChar(0x2029)), Text::npos);
            }
}

// The library answers the look-ahead for a line feed once per white-space
// run; the plain definition asks it for every unit. Random texts made mostly
// of white space, with line feeds inside runs, in every mode.
TEST(NormalizeText, AgreesWithThePlainDefinition) {
    static const char16_t kPieces[] = {u' ', u'\t', u'\r', u'\n', 0x2003, 0x200B, 0x3000, 0x00A0, 0x2028, u'a', u'b'};
    std::mt19937 rng(18);
    for (int round = 0; round < 4000; ++round) {
        Text input;
        const size_t length = rng() % 24;
        for (size_t k = 0; k < length; ++k) input += TextChar(kPieces[rng() % std::size(kPieces)]);
        const NormalizeCase k{
            nullptr, int32_t(rng() % 7) - 1, int32_t(rng() % 6) - 1, int32_t(rng() % 2), int32_t(rng() % 3), nullptr};
        SCOPED_TRACE(testing::Message() << Show(input) << " space " << k.spaceMode << " newline " << k.newlineMode
                                        << " preserve " << k.preserveSpaces << " leading " << k.leadingSpaceMode);
        ASSERT_EQ(Show(Normalize(input, k)), Show(test::NormalizeByDefinition(input, k.spaceMode, k.newlineMode,
                                                                              k.preserveSpaces, k.leadingSpaceMode)));
    }
}

TEST(NormalizeText, NeverLongerThanInput) {
    const Text input = T(u" \t\r\n\n a\x200B\n\x3000 b \n\r\t c\n\n  ");
    for (int32_t space = -1; space <= 5; ++space)
        for (int32_t newline = -1; newline <= 4; ++newline)
            for (int32_t preserve : {0, 1})
                for (int32_t leading : {0, 1, 2}) {
                    const NormalizeCase k{nullptr, space, newline, preserve, leading, nullptr};
                    EXPECT_LE(Normalize(input, k).size(), input.size());
                }
}

}  // namespace
}  // namespace textraster
