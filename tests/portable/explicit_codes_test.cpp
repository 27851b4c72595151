// Lines of explicit formatting codes get the bidi algorithm's levels: those
// FriBidi 1.0.8 cannot take as they are (it follows freed memory, and some
// crash the process) as ICU reads them, the others as FriBidi does.
#include "platform/portable/explicit_codes.h"

#include <gtest/gtest.h>
#include <unicode/ubidi.h>

#include <random>
#include <string>
#include <vector>

#include "platform/portable/bidi_levels.h"
#include "text/utf.h"

namespace textraster::test {
namespace {

std::u16string Repeat(std::u16string_view piece, size_t times) {
    std::u16string text;
    while (times-- > 0) text += piece;
    return text;
}

struct Line {
    portable::CodePoints text;
    portable::BidiScratch bidi;
    std::vector<FriBidiLevel> levels;

    Line(const std::u16string& units, bool rtlReading) : text(units.begin(), units.end()) {
        portable::BidiLevels(text.data(), text.size(), rtlReading, bidi, levels);
        bidi.types.resize(text.size());
        fribidi_get_bidi_types(text.data(), FriBidiStrIndex(text.size()), bidi.types.data());
    }
};

// The letters' levels must be ICU's. Where ICU finds the whole text of one
// direction it gives every character the paragraph's level, which tells
// only that every letter's level has that direction.
void ExpectLettersAsIcuReadsThem(const std::u16string& text, bool rtlReading) {
    const Line line(text, rtlReading);
    UErrorCode error = U_ZERO_ERROR;
    UBiDi* icu = ubidi_openSized(int32_t(text.size()), 0, &error);
    ubidi_setPara(icu, text.data(), int32_t(text.size()), rtlReading ? 1 : 0, nullptr, &error);
    const UBiDiLevel* expected = ubidi_getLevels(icu, &error);
    ASSERT_TRUE(U_SUCCESS(error)) << u_errorName(error);
    const bool mixed = ubidi_getDirection(icu) != UBIDI_RTL && ubidi_getDirection(icu) != UBIDI_LTR;
    for (size_t x = 0; x < text.size(); ++x) {
        if (!FRIBIDI_IS_LETTER(line.bidi.types[x])) continue;
        if (mixed) {
            ASSERT_EQ(line.levels[x], expected[x]) << "at " << x;
        } else {
            ASSERT_EQ(line.levels[x] % 2, expected[x] % 2) << "at " << x;
        }
    }
    ubidi_close(icu);
}

TEST(ExplicitCodes, LinesThatBreakFriBidiTakeTheAlgorithmsLevels) {
    const struct {
        const char* what;
        std::u16string text;
        bool rtlReading;
    } kCases[] = {
        {"an override, an embedding and an isolate opened over and over (crashes the process)",
         Repeat(u"\u202E abc \u202A def \u2067 ghi \u202C", 36), false},
        {"isolates nested beyond the deepest level", Repeat(u"\u2067a", 130) + u" b", false},
        {"isolates opened and closed beyond it", Repeat(u"\u2067", 63) + Repeat(u"\u2066a\u2069 \u05D0 ", 40), true},
        {"an isolate beyond embeddings beyond it", Repeat(u"\u202B", 70) + u"\u2067a\u2069 b\u202C c", false},
        {"first-strong isolates beyond it", Repeat(u"\u2068\u05D0", 70) + u"\u2069a", false},
        {"a paragraph separator inside an isolate", u"\u2067a\u001Cb \u05D0", true},
        {"a paragraph separator ending one", u"\u05D0\u2066\u2029", true},
        {"an unclosed isolate before a separator", u"a\u2068 b\u0085\u05D0 c", false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        ExpectLettersAsIcuReadsThem(c.text, c.rtlReading);
    }
}

// A random line that opens codes until it is this many deep, then goes on
// with every kind of code, letters and spaces.
std::u16string DeepLine(std::mt19937& random, size_t openFirst, size_t length) {
    static const char16_t kOpeners[] = {u'\u202A', u'\u202B', u'\u202D', u'\u202E', u'\u2066', u'\u2067', u'\u2068'};
    static const char16_t kOthers[] = {u'\u202C', u'\u2069', u'a', u'\u05D0', u'\u0628', u' ', u'!', u'\u200B'};
    std::u16string text;
    for (size_t x = 0; x < openFirst; ++x) text += kOpeners[random() % std::size(kOpeners)];
    while (text.size() < length)
        text += random() % 3 == 0 ? kOpeners[random() % std::size(kOpeners)] : kOthers[random() % std::size(kOthers)];
    return text;
}

TEST(ExplicitCodes, LongLinesBeyondTheDeepestLevelTakeTheAlgorithmsLevels) {
    std::mt19937 random(25);
    for (int i = 0; i < 400; ++i) {
        const std::u16string text = DeepLine(random, 60 + random() % 100, 200 + random() % 800);
        SCOPED_TRACE(Utf16ToUtf8(text));
        ExpectLettersAsIcuReadsThem(text, i % 2 == 1);
    }
}

// A random line of explicit codes nested at most `depth` deep, every one
// closed by the code that closes it, with letters, numbers, brackets, marks
// and tabs. An FSI comes before a letter.
std::u16string NestedLine(std::mt19937& random, size_t depth, size_t length) {
    static const std::u16string_view kOpeners[] = {u"\u202A", u"\u202B", u"\u202D",  u"\u202E",
                                                   u"\u2066", u"\u2067", u"\u2068a", u"\u2068\u05D0"};
    static const char16_t kOthers[] = {u'a', u'\u05D0', u'\u0628', u'1',      u'\u0661', u' ',
                                       u'!', u'(',      u')',      u'\u0301', u'\t',     u'+'};
    std::u16string text;
    std::vector<bool> open;  // isolates, true, and embeddings or overrides still open
    while (text.size() < length) {
        const unsigned pick = random() % 4;
        if (pick == 0 && open.size() < depth) {
            const std::u16string_view opener = kOpeners[random() % std::size(kOpeners)];
            open.push_back(opener[0] >= u'\u2066');
            text += opener;
        } else if (pick == 1 && !open.empty()) {
            text += open.back() ? u'\u2069' : u'\u202C';
            open.pop_back();
        } else {
            text += kOthers[random() % std::size(kOthers)];
        }
    }
    return text;
}

TEST(ExplicitCodes, LongLinesWithinTheDeepestLevelKeepFriBidisLevels) {
    std::mt19937 random(26);
    for (int i = 0; i < 200; ++i) {
        const std::u16string text = NestedLine(random, 1 + random() % 50, 300 + random() % 3000);
        SCOPED_TRACE(Utf16ToUtf8(text));
        const bool rtlReading = i % 2 == 1;
        Line line(text, rtlReading);
        line.bidi.brackets.resize(text.size());
        fribidi_get_bracket_types(line.text.data(), FriBidiStrIndex(text.size()), line.bidi.types.data(),
                                  line.bidi.brackets.data());
        std::vector<FriBidiLevel> expected(text.size());
        FriBidiParType direction = rtlReading ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
        ASSERT_GT(fribidi_get_par_embedding_levels_ex(line.bidi.types.data(), line.bidi.brackets.data(),
                                                      FriBidiStrIndex(text.size()), &direction, expected.data()),
                  0);
        ASSERT_GT(fribidi_reorder_line(FRIBIDI_FLAGS_DEFAULT, line.bidi.types.data(), FriBidiStrIndex(text.size()), 0,
                                       direction, expected.data(), nullptr, nullptr),
                  0);
        ASSERT_EQ(line.levels, expected);
    }
}

}  // namespace
}  // namespace textraster::test
