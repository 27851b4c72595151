// The short cut for lines under the implicit rules alone must give FriBidi's
// levels wherever it answers at all, in paragraphs of either direction.
#include "platform/portable/bidi_levels.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/portable/unicode_classes.h"
#include "text/utf.h"

namespace textraster::test {
namespace {

// BidiLevels' answer, and the bidi types and brackets of the text in
// `scratch` even where BidiLevels had no need of them.
bool LevelsAndTypes(const FriBidiChar* text, size_t length, bool rtlReading, portable::BidiScratch& scratch,
                    std::vector<FriBidiLevel>& levels) {
    const bool plain = portable::BidiLevels(text, length, rtlReading, scratch, levels);
    scratch.types.resize(length);
    scratch.brackets.resize(length);
    fribidi_get_bidi_types(text, FriBidiStrIndex(length), scratch.types.data());
    fribidi_get_bracket_types(text, FriBidiStrIndex(length), scratch.types.data(), scratch.brackets.data());
    return plain;
}

// The short cut for plainly left-to-right text must know every code point
// that can take another level.
TEST(BidiLevels, EveryCodePointThatCanRaiseLevelsIsKnown) {
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (portable::RaisesLevels(fribidi_get_bidi_type(c))) {
            ASSERT_TRUE(portable::MayRaiseLevels(c)) << std::hex << uint32_t(c);
        }
    }
}

TEST(ImplicitLevels, AgreeWithFriBidi) {
    // Letters of both directions, numbers (European, Arabic, and Persian
    // digits, which count as European), the separators and terminators
    // around them, neutrals and brackets, marks; and what the short cut must
    // leave to FriBidi: tabs, embeddings, isolates.
    static const char32_t kPieces[] = {
        U'\u05D0', U'\u05E9', U'\u0628', U'\u0644', U'a',      U'Z',      U' ',      U' ',  U'(',      U')',
        U'[',      U']',      U'{',      U'}',      U'\u2329', U'\u3009', U'.',      U',',  U':',      U'/',
        U'-',      U'+',      U'%',      U'#',      U'$',      U'\u00B0', U'!',      U'"',  U'\u00A0', U'1',
        U'7',      U'\u0661', U'\u0662', U'\u06F1', U'\u05B0', U'\u064E', U'\u0301', U'\t', U'\u202B', U'\u2067'};
    std::mt19937 random(5);
    portable::BidiScratch scratch;
    std::vector<FriBidiLevel> expected, got;
    int answered = 0, withBrackets = 0, withNumbers = 0, withMarks = 0;
    for (int i = 0; i < 40000; ++i) {
        portable::CodePoints text;
        const size_t length = 1 + random() % 24;
        // Mostly without what the short cut refuses, so that it answers often.
        const size_t choices = random() % 4 == 0 ? std::size(kPieces) : std::size(kPieces) - 3;
        text.push_back(random() % 3 == 0 ? U'b' : random() % 2 ? U'\u05D3' : U'\u0645');
        while (text.size() < length) text.push_back(kPieces[random() % choices]);
        const bool rtlReading = i % 2 == 1;
        const bool plain = LevelsAndTypes(text.data(), text.size(), rtlReading, scratch, got);
        portable::FriBidiLevels(scratch.types.data(), scratch.brackets.data(), text.size(), rtlReading, expected);
        if (plain) {
            ASSERT_EQ(expected, std::vector<FriBidiLevel>(text.size(), 0));
        }
        ASSERT_EQ(got, expected) << Utf16ToUtf8(std::u16string(text.begin(), text.end())) << " rtl " << rtlReading;
        std::vector<FriBidiLevel> direct;
        if (!portable::ImplicitLevels(scratch.types.data(), scratch.brackets.data(), text.size(), rtlReading, direct))
            continue;
        ++answered;
        const std::u32string answeredText(text.begin(), text.end());
        withBrackets += answeredText.find_first_of(U"()[]{}") != std::u32string::npos;
        withNumbers += answeredText.find_first_of(U"17\u0661\u0662\u06F1") != std::u32string::npos;
        withMarks += answeredText.find_first_of(U"\u05B0\u064E\u0301") != std::u32string::npos;
        ASSERT_EQ(direct, expected) << Utf16ToUtf8(std::u16string(text.begin(), text.end()));
    }
    // Without the FriBidi the short cut was checked against, FriBidi answers alone.
    if (!portable::kImplicitLevelsChecked) {
        EXPECT_EQ(answered, 0);
        return;
    }
    EXPECT_GT(answered, 20000);
    EXPECT_GT(withBrackets, 10000);
    EXPECT_GT(withNumbers, 10000);
    EXPECT_GT(withMarks, 2000);
}

// FriBidi stops pairing brackets at the one that would nest too deep; the
// short cut answers only below that, and then as FriBidi does.
TEST(ImplicitLevels, DeepBracketsAsFriBidiPairsThem) {
    const size_t limit = FRIBIDI_BIDI_MAX_NESTED_BRACKET_PAIRS;
    for (size_t depth : {limit - 1, limit, limit + 1, limit + 2}) {
        SCOPED_TRACE(depth);
        portable::CodePoints text(depth, U'(');
        text.push_back(U'\u05D0');
        text.insert(text.end(), depth, U')');
        text.push_back(U'a');
        portable::BidiScratch scratch;
        std::vector<FriBidiLevel> expected, direct;
        LevelsAndTypes(text.data(), text.size(), false, scratch, expected);
        std::vector<std::pair<size_t, size_t>> pairs;
        const size_t paired = portable::PairBrackets(scratch.types.data(), scratch.brackets.data(), text.size(), pairs);
        EXPECT_EQ(paired, depth <= limit ? text.size() : limit);
        const bool answered =
            portable::ImplicitLevels(scratch.types.data(), scratch.brackets.data(), text.size(), false, direct);
        EXPECT_EQ(answered, depth <= limit);
        portable::FriBidiLevels(scratch.types.data(), scratch.brackets.data(), text.size(), false, expected);
        if (answered) {
            EXPECT_EQ(direct, expected);
        }
    }
}

// FriBidi joins marks to the neutral before them, and a neutral right after
// them to that neutral too: a bracket there pairs with nothing. Pairs as
// they show in FriBidi's levels for these texts.
TEST(PairBrackets, BracketsAfterMarksJoinTheNeutralBefore) {
    struct Case {
        std::u32string text;
        std::vector<std::pair<size_t, size_t>> pairs;
    };
    const Case kCases[] = {
        {U"\u0628(\u064B)\u0628e)", {{1, 6}}},        // joined to the opening bracket
        {U"\u0628(\u064B\u064B)\u0628e)", {{1, 7}}},  // after several marks
        {U"\u0628(\u064B))\u0628e)", {{1, 4}}},       // the next one closes it
        {U"\u0628[!\u064B]\u0628e]", {{1, 7}}},       // joined to another neutral
        {U"\u0628(\u200D\u064B)\u0628e)", {{1, 7}}},  // through a joiner
        {U"\u0628(.\u064B)\u0628e)", {{1, 4}}},       // a separator is no neutral yet
        {U"\u0628(\u064B.)\u0628e)", {{1, 4}}},       // marks after the bracket only
        {U"\u0628()\u064B\u0628e)", {{1, 2}}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(Utf16ToUtf8(std::u16string(c.text.begin(), c.text.end())));
        portable::CodePoints text(c.text.begin(), c.text.end());
        portable::BidiScratch scratch;
        std::vector<FriBidiLevel> levels;
        LevelsAndTypes(text.data(), text.size(), false, scratch, levels);
        std::vector<std::pair<size_t, size_t>> pairs;
        EXPECT_EQ(portable::PairBrackets(scratch.types.data(), scratch.brackets.data(), text.size(), pairs),
                  text.size());
        EXPECT_EQ(pairs, c.pairs);
    }
}

TEST(ImplicitLevels, LeaveOtherTextsToFriBidi) {
    // Tabs, embeddings and isolates; marks at the start or after a neutral.
    const std::u16string kTexts[] = {u"\u05D0\t",     u"\u05D0\u202B",  u"a\u2067b",
                                     u"\u05B0\u05D0", u"\u05D0 \u05B0", u"\u05D0(\u05B0)"};
    portable::BidiScratch scratch;
    std::vector<FriBidiLevel> levels;
    for (const std::u16string& text : kTexts) {
        const portable::CodePoints codePoints(text.begin(), text.end());  // no surrogates here
        LevelsAndTypes(codePoints.data(), codePoints.size(), false, scratch, levels);
        EXPECT_FALSE(
            portable::ImplicitLevels(scratch.types.data(), scratch.brackets.data(), codePoints.size(), false, levels))
            << Utf16ToUtf8(text);
    }
}

}  // namespace
}  // namespace textraster::test
