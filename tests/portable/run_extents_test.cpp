// Extents of prefixes answered from one shaping of a longer run must equal a
// fresh measurement of each prefix: on the corpus of real UI text in every
// language and font the benchmarks use, and on random texts full of what
// makes shaping and bidi reordering depend on context.
#include "platform/portable/run_extents.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "bench/corpus.h"
#include "gdi_fixture.h"
#include "platform/portable/font.h"
#include "platform/portable/line_setting.h"
#include "platform/portable/portable_object.h"
#include "support/tricky_text.h"
#include "text/utf.h"

namespace textraster::test {
namespace {

using portable::RunExtents;

// What GetTextExtentPoint32W measured before any prefix was read off a longer run.
int Fresh(portable::FallbackFonts& fonts, std::u16string_view text) {
    return portable::ShapeText(fonts, text, false).advance;
}

// Measures `text` whole, then every prefix from the shortest up, as line
// layout does; returns the number of prefixes whose extent differs from a
// fresh measurement (reporting the first few).
int CountMismatches(portable::FallbackFonts& font, RunExtents& extents, const std::u16string& text) {
    int mismatches = 0;
    EXPECT_EQ(extents.Extent(font, text.data(), text.size()), Fresh(font, text));
    for (size_t k = 1; k <= text.size(); ++k) {
        const int expected = Fresh(font, std::u16string_view(text).substr(0, k));
        const int got = extents.Extent(font, text.data(), k);
        if (got != expected && ++mismatches <= 3)
            ADD_FAILURE() << "prefix of " << k << " units of \"" << Utf16ToUtf8(text) << "\": " << got << " instead of "
                          << expected;
    }
    return mismatches;
}

struct Face {
    const char* language;
    std::u16string_view family;
    LONG weight;
    bool vertical;
};

TEST(RunExtents, PrefixesOfCorpusLinesMeasureAsFreshRuns) {
    const Face kFaces[] = {
        {"de", u"DejaVu Sans", FW_NORMAL, false},
        {"ru", u"DejaVu Sans", FW_NORMAL, false},
        {"el", u"DejaVu Sans", FW_NORMAL, false},
        {"he", u"DejaVu Sans", FW_NORMAL, false},
        {"ar", u"DejaVu Sans", FW_NORMAL, false},
        {"ar", u"DejaVu Sans", FW_BOLD, false},
        {"ja", u"IPAGothic", FW_NORMAL, false},
        {"ja", u"IPAGothic", FW_NORMAL, true},
        {"zh_CN", u"WenQuanYi Micro Hei", FW_NORMAL, false},
        {"zh_CN", u"WenQuanYi Micro Hei", FW_BOLD, false},
    };
    for (const Face& face : kFaces) {
        SCOPED_TRACE(face.language);
        const std::vector<std::u16string> lines = bench::Corpus(face.language);
        ASSERT_EQ(lines.size(), 200u) << "corpus in " << TEXTRASTER_CORPUS_DIR;
        FontObject font(Describe(face.family, 32, face.weight, false, face.vertical));
        // The second time the lines are laid out, the sized font knows
        // the words that lines end inside.
        for (const int pass : {1, 2}) {
            SCOPED_TRACE(pass);
            RunExtents extents;
            int mismatches = 0;
            for (const std::u16string& line : lines) mismatches += CountMismatches(font.fonts(), extents, line);
            EXPECT_EQ(mismatches, 0);
            // The point of it all: nearly every prefix is read off the line's one
            // shaping, or shaped again only from its last word on.
            const RunExtents::Counts& counts = extents.counts();
            EXPECT_EQ(counts.measuredRuns, lines.size());
            const size_t prefixes = counts.fromShaping + counts.reshapedParts + counts.freshPrefixes;
            EXPECT_LT(counts.freshPrefixes * 50, prefixes) << "prefixes measured afresh";
            if (pass == 2 && std::string_view(face.language) == "ar") {
                EXPECT_GT(counts.rememberedStretches, 500u);
            }
        }
    }
}

// A random text of the tricky pieces.
std::u16string RandomText(std::mt19937& random, size_t length) {
    std::u16string text;
    while (text.size() < length) text += kTrickyPieces[random() % std::size(kTrickyPieces)];
    return text;
}

TEST(RunExtents, PrefixesOfRandomMixedTextsMeasureAsFreshRuns) {
    const Face kFaces[] = {
        {"", u"DejaVu Sans", FW_NORMAL, false},      {"", u"DejaVu Sans", FW_BOLD, false},
        {"", u"IPAGothic", FW_NORMAL, true},         {"", u"WenQuanYi Micro Hei", FW_BOLD, false},
        {"", u"Liberation Serif", FW_NORMAL, false},
    };
    std::mt19937 random(20240611);
    for (const Face& face : kFaces) {
        SCOPED_TRACE(Utf16ToUtf8(face.family));
        FontObject font(Describe(face.family, 24, face.weight, false, face.vertical));
        RunExtents extents;
        int mismatches = 0;
        for (int i = 0; i < 300; ++i) {
            const std::u16string text = RandomText(random, 1 + random() % 48);
            mismatches += CountMismatches(font.fonts(), extents, text);
            // Measured again through shorter and longer runs of the same text.
            const std::u16string longer = text + RandomText(random, 8);
            extents.Extent(font.fonts(), longer.data(), longer.size());
            mismatches += CountMismatches(font.fonts(), extents, text);
        }
        EXPECT_EQ(mismatches, 0);
    }
}

// The same without brackets, so that explicit codes closed before a strong
// letter settle the levels before it.
TEST(RunExtents, PrefixesOfRandomTextsWithoutBracketsMeasureAsFreshRuns) {
    std::mt19937 random(20261208);
    FontObject font(Describe(u"DejaVu Sans", 20));
    RunExtents extents;
    int mismatches = 0;
    for (int i = 0; i < 300; ++i) {
        std::u16string text;
        const size_t length = 1 + random() % 120;
        while (text.size() < length) {
            const std::u16string_view piece = kTrickyPieces[random() % std::size(kTrickyPieces)];
            if (piece.find_first_of(u"()[]") == std::u16string_view::npos) text += piece;
        }
        mismatches += CountMismatches(font.fonts(), extents, text);
    }
    EXPECT_EQ(mismatches, 0);
}

// Words of both directions inside brackets that only the whole line closes:
// a prefix then sets the bracket's neighbourhood at other levels than the
// line, and joins level runs the line keeps apart.
TEST(RunExtents, PrefixesOfBracketedPhrasesMeasureAsFreshRuns) {
    // clang-format off
    static const std::u16string kPieces[] = {
        u"\u0643\u0644\u0645\u0629", u"\u0628\u064A\u0646", u"\u0644\u0627 \u0639\u0644\u0649",
        u"\u05E9\u05DC\u05D5\u05DD", u"file", u"Ctrl+Q", u"12", u"\u0661\u0662",
        u" ", u" ", u" ", u"(", u")", u"[", u"]", u".", u":", u"\u064B", u"\u0640"};
    // clang-format on
    std::mt19937 random(77);
    for (const LONG weight : {FW_NORMAL, FW_BOLD}) {
        FontObject font(Describe(u"DejaVu Sans", 20, weight));
        RunExtents extents;
        int mismatches = 0;
        for (int i = 0; i < 400; ++i) {
            std::u16string text;
            const size_t length = 10 + random() % 70;
            while (text.size() < length) text += kPieces[random() % std::size(kPieces)];
            mismatches += CountMismatches(font.fonts(), extents, text);
        }
        EXPECT_EQ(mismatches, 0);
    }
}

// Texts whose prefixes were once read off the whole wrongly: a bracket that
// FriBidi joins to the neutral before it (so that it pairs with a later
// one), a run that starts with a mark, whose advance HarfBuzz sets by
// letters anywhere in the run, a part shaped in a script it lacks, and a
// tail shaped again after a place where the whole may be cut but not joined
// to another text (FreeSans, falling back for Devanagari, adjusts र before
// क but not before the conjunct क्ष).
TEST(RunExtents, PrefixesOfOnceMismeasuredTextsMeasureAsFreshRuns) {
    struct Case {
        std::u16string_view family;
        bool vertical;
        std::u16string text;
        LONG height = 20;
    };
    const Case kCases[] = {
        {u"DejaVu Sans", false,
         u"\u0644\u0627 \u0639\u0644\u0649:.\u0628\u064A\u0646\u0661\u0662[\u0628\u064A\u0646\u0628\u064A\u0646]"
         u"[\u064B]\u0640\u05E9\u05DC\u05D5\u05DD \u0643\u0644\u0645\u0629file \u0640(\u0640)\u0661\u0662] []file"},
        {u"DejaVu Sans", false, u"\u0628\u0628 (\u064B) \u0643\u0644\u0645\u0629 \u0643\u0644\u0645\u0629 e)"},
        {u"IPAGothic", true, u"\u05B0\u06F1\u06F1eA"},
        {u"IPAGothic", true, u"\u05B0\u200E2(\u05DC"},
        {u"IPAGothic", false, u"abc \u05B0\u05D0\u05D0 e"},
        // A part with no script of its own, that the line joins to a later
        // letter with one.
        {u"WenQuanYi Micro Hei", false, u"\u05D0\t\u064B\u05D2"},
        {u"Liberation Serif", false, u"\u0930\u0915\u094D\u0937", 24},
        {u"Liberation Serif", true, u"\u05D0 fi\u0930\u0915\u094D\u0937", 24},
        // A pile of marks longer than an item may hold, among right-to-left
        // letters and brackets.
        {u"IPAGothic", false,
         u"(\"[]\u110B,.\u05D0\".,\u0627\u0628/\u2044()[.\u0644\u0627\"/]" + std::u16string(71, u'\u0301') + u"\u0628"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(Utf16ToUtf8(c.text));
        FontObject font(Describe(c.family, c.height, FW_NORMAL, false, c.vertical));
        RunExtents extents;
        EXPECT_EQ(CountMismatches(font.fonts(), extents, c.text), 0);
    }
}

// A prefix whose text changed since it was measured is measured anew.
TEST(RunExtents, AnswersForTheTextAsItIsNow) {
    FontObject font(Describe(u"DejaVu Sans", 24));
    RunExtents extents;
    std::u16string text = u"iiii WWWW";
    const int narrow = extents.Extent(font.fonts(), text.data(), text.size());
    text[0] = u'W';
    EXPECT_EQ(extents.Extent(font.fonts(), text.data(), 3), Fresh(font.fonts(), u"Wii"));
    EXPECT_EQ(extents.Extent(font.fonts(), text.data(), text.size()), Fresh(font.fonts(), text));
    EXPECT_GT(Fresh(font.fonts(), text), narrow);
    EXPECT_EQ(extents.Extent(font.fonts(), text.data(), 0), 0);
}

// Every prefix in one call, from the shortest up to the first longer than
// the limit, each as measured alone.
TEST(RunExtents, AnswerEveryPrefixInOneCall) {
    FontObject font(Describe(u"DejaVu Sans", 24));
    portable::FallbackFonts& fonts = font.fonts();
    const std::u16string line = u"\u05E9\u05DC\u05D5\u05DD (abc) \u05E9\u05DC \u2060\u2060 x";
    const int whole = Fresh(fonts, line);
    for (const int limit : {INT32_MAX, whole - 1, 0}) {
        SCOPED_TRACE(limit);
        RunExtents extents;
        std::vector<int> prefixes(line.size(), -1);
        const size_t measured = extents.PrefixExtents(fonts, line.data(), line.size(), limit, prefixes.data());
        ASSERT_GE(measured, 1u);
        for (size_t k = 1; k <= measured; ++k) EXPECT_EQ(prefixes[k - 1], Fresh(fonts, line.substr(0, k))) << k;
        // Measuring stops at the first prefix that does not fit, and only there.
        for (size_t k = 1; k < measured; ++k) EXPECT_LE(prefixes[k - 1], limit) << k;
        if (measured < line.size()) {
            EXPECT_GT(prefixes[measured - 1], limit);
        }
    }
}

// Through the platform's function, on a context: a long line measured whole
// and then prefix by prefix costs one shaping.
TEST(RunExtents, ServeTheContextsMeasurements) {
    const LOGFONTW lf = Describe(u"DejaVu Sans", 20);
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ previous = SelectObject(dc, font);
    const std::u16string line = bench::Corpus("de").at(3);
    SIZE whole{};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, line.data(), int(line.size()), &whole));
    for (size_t k = 1; k <= line.size(); ++k) {
        SIZE size{};
        ASSERT_TRUE(GetTextExtentPoint32W(dc, line.data(), int(k), &size));
        EXPECT_EQ(size.cx, Fresh(portable::Find<PortableFont>(font)->fonts, std::u16string_view(line).substr(0, k)));
    }
    EXPECT_EQ(portable::Find<PortableFont>(font)->extents.counts().measuredRuns, 1u);
    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
}

}  // namespace
}  // namespace textraster::test

namespace textraster::test {
namespace {

// Words of Arabic letters that all join, far longer than any real word,
// after a letter that joins nothing or from inside (a line that starts in
// the middle of a word): every prefix ends where the whole's glyphs cannot
// be cut. Each must measure as alone, and the work for one must not grow
// with the word: no prefix measured afresh, each one's end shaped in a
// window once the word outgrows the parts shaped together.
TEST(RunExtents, PrefixesOfLongJoinedWordsMeasureAsFreshRuns) {
    struct Case {
        std::u16string_view family;
        LONG height;
        std::u16string_view lead;
        std::u16string_view piece;
    };
    const Case kCases[] = {
        {u"DejaVu Sans", 12, u"\u0631", u"\u0628"},
        {u"DejaVu Sans", 12, u"\u0631", u"\u0628\u064E"},
        {u"DejaVu Sans", 12, u"", u"\u0628\u064E"},
        {u"DejaVu Sans", 20, u"\u0631", u"\u0644\u0645\u0628\u064A"},
        {u"DejaVu Sans", 20, u"", u"\u0644\u0645\u0628\u064A\u0651"},
        {u"Liberation Serif", 24, u"\u0631", u"\u0628"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(Utf16ToUtf8(std::u16string(c.lead) + std::u16string(c.piece)));
        FontObject font(Describe(c.family, c.height));
        std::u16string text(c.lead);
        while (text.size() < 400) text += c.piece;
        RunExtents extents;
        EXPECT_EQ(CountMismatches(font.fonts(), extents, text), 0);
        const RunExtents::Counts& counts = extents.counts();
        EXPECT_EQ(counts.freshPrefixes, 0u);
        EXPECT_GT(counts.windows, 250u);
    }
}

// Lines of paragraphs, each closing what it opened, and of explicit codes
// closed (or closing nothing) before a strong letter: a prefix's levels
// before the last such place are the whole's, so no prefix is measured
// afresh (once each of them, at the cost of the whole prefix).
TEST(RunExtents, PrefixesAfterClosedPlacesAreNotMeasuredAfresh) {
    const std::u16string_view kPieces[] = {
        u"\u200C \u200Fffi\u001C-",
        u"\u202B\u05D0 (\u05D1\u2029",
        u"\u2067\u0628\u0628 1\u001C\u2069)",
        u"a\u2069",
        u"\u202B\u202Ca\u2067\u05D0 1\u2069 \u05D1",
        u"\u2068\u202E\u05D0b\u2069\u202D\u0628 \u202C\u202Cc",
    };
    for (const std::u16string_view piece : kPieces) {
        SCOPED_TRACE(Utf16ToUtf8(std::u16string(piece)));
        FontObject font(Describe(u"DejaVu Sans", 20));
        std::u16string text;
        while (text.size() < 300) text += piece;
        RunExtents extents;
        EXPECT_EQ(CountMismatches(font.fonts(), extents, text), 0);
        EXPECT_LT(extents.counts().freshPrefixes, 2 * piece.size());
    }
}

}  // namespace
}  // namespace textraster::test
