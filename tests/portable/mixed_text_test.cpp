// Everyday mixed text: a line of several scripts is shaped an item at a
// time, each word by its own script's rules, and characters the selected
// face lacks are drawn from a face that has them.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gdi_fixture.h"
#include "platform/portable/font.h"
#include "platform/portable/itemization.h"
#include "platform/portable/line_setting.h"
#include "platform/portable/portable_object.h"
#include "support/font_files.h"
#include "text/utf.h"

namespace textraster::test {
namespace {

// The glyphs a text is drawn with, by face and glyph id, in no order.
std::vector<std::pair<std::string, uint32_t>> Glyphs(portable::FallbackFonts& fonts, const portable::ShapedText& text) {
    std::vector<std::pair<std::string, uint32_t>> glyphs;
    for (const portable::PlacedGlyph& glyph : text.glyphs)
        glyphs.emplace_back(fonts.Font(glyph.font).key.source.path, glyph.glyph);
    std::sort(glyphs.begin(), glyphs.end());
    return glyphs;
}

TEST(MixedText, EachWordIsShapedAsItIsAlone) {
    // Each line is the words of the table in order: set as one line, it must
    // take every word's glyphs as the word takes them alone (Arabic joined,
    // Indic conjuncts and matras in place) and its length must be theirs
    // (a pixel per word boundary for rounding).
    const struct {
        const char* what;
        const char16_t* face;
        bool rtlReading;
        std::vector<std::u16string> words;
    } kLines[] = {
        {"Hebrew, then Arabic", u"DejaVu Sans", true, {u"שלום ", u"سلام عليكم"}},
        {"Latin, then Arabic", u"DejaVu Sans", false, {u"Hello ", u"مرحبا بكم"}},
        {"Arabic, digits, Latin", u"DejaVu Sans", true, {u"العدد 42 ", u"items"}},
        {"Latin, then Devanagari", u"DejaVu Sans", false, {u"Kshatriya ", u"क्षत्रिय ", u"हिन्दी"}},
        {"Latin, then Bengali", u"DejaVu Sans", false, {u"Bangla ", u"বাংলা ভাষা"}},
        {"Latin, then Tamil", u"DejaVu Sans", false, {u"Tamil ", u"தமிழ்"}},
        {"Latin, then Gurmukhi", u"DejaVu Sans", false, {u"Punjabi ", u"ਪੰਜਾਬੀ"}},
        {"Latin, then Thai", u"DejaVu Sans", false, {u"Thai ", u"ภาษาไทย"}},
        {"Cyrillic, then pointed Hebrew", u"DejaVu Sans", false, {u"Привет ", u"שָׁלוֹם"}},
        {"Chinese, then Latin", u"WenQuanYi Micro Hei", false, {u"中文 ", u"Latin"}},
        {"Japanese, then Latin", u"IPAGothic", false, {u"日本語のテキスト ", u"text"}},
        {"Latin, then Japanese in DejaVu Sans", u"DejaVu Sans", false, {u"Save ", u"保存する"}},
    };
    for (const auto& line : kLines) {
        SCOPED_TRACE(line.what);
        FontObject font(Describe(line.face, 32));
        std::u16string text;
        int sum = 0;
        std::vector<std::pair<std::string, uint32_t>> wordGlyphs;
        for (const std::u16string& word : line.words) {
            text += word;
            const portable::ShapedText alone = portable::ShapeText(font.fonts(), word, line.rtlReading);
            sum += alone.advance;
            const auto glyphs = Glyphs(font.fonts(), alone);
            wordGlyphs.insert(wordGlyphs.end(), glyphs.begin(), glyphs.end());
        }
        std::sort(wordGlyphs.begin(), wordGlyphs.end());
        const portable::ShapedText whole = portable::ShapeText(font.fonts(), text, line.rtlReading);
        EXPECT_NEAR(whole.advance, sum, int(line.words.size()) - 1) << Utf16ToUtf8(text);
        EXPECT_EQ(Glyphs(font.fonts(), whole), wordGlyphs) << Utf16ToUtf8(text);
        for (const portable::PlacedGlyph& glyph : whole.glyphs) EXPECT_NE(glyph.glyph, 0u) << "a missing glyph";
    }
}

// Marks stacked on one base: a real stack is shaped as one item, whatever
// its length up to the cut, and a pile past it is cut into items, so that
// shaping it costs its length, not its square, and the HarfBuzz of Debian 12
// never sees a mark 32,767 glyphs from its base (an assertion that ends
// the host).
TEST(Itemization, PilesOfMarksAreCutIntoItems) {
    const struct {
        const char* what;
        std::u16string text;
        bool rtlReading;
        size_t items;
    } kCases[] = {
        {"Vietnamese, two marks", u"ệ", false, 1},
        {"pointed Hebrew", u"שָׁלוֹם", true, 1},
        {"a stack of exactly the cut", u"a" + std::u16string(portable::kMaxPile, u'\u0301'), false, 1},
        {"one mark past it", u"a" + std::u16string(portable::kMaxPile + 1, u'\u0301'), false, 2},
        {"joiners count with marks", u"a" + std::u16string(portable::kMaxPile, u'\u200D') + u"\u0301", false, 2},
        {"a base starts the count again", u"a" + std::u16string(portable::kMaxPile, u'\u0301') + u"b\u0301", false, 1},
        {"Arabic, 65,536 fathas on beh", u"\u0628" + std::u16string(65536, u'\u064E'), true,
         1 + (65536 - 1) / portable::kMaxPile},
        {"beh, 32,800 fathas, 40,000 behs",
         u"\u0628" + std::u16string(32800, u'\u064E') + std::u16string(40000, u'\u0628'), true,
         1 + (32800 - 1) / portable::kMaxPile},
    };
    FontObject font(Describe(u"DejaVu Sans", 20));
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        portable::BidiScratch bidi;
        portable::ItemizedLine line;
        portable::ItemizeLine(font.fonts(), c.text, c.rtlReading, bidi, line);
        EXPECT_EQ(line.items.size(), c.items);
        for (const portable::Item& item : line.items) {
            size_t pile = 0;
            for (size_t x = item.start; x < item.end; ++x) {
                const FriBidiChar cp = line.codePoints[x];
                pile = (cp == 0x200D || (cp >= 0x300 && cp < 0x370) || cp == 0x64E) ? pile + 1 : 0;
                EXPECT_LE(pile, portable::kMaxPile);
            }
        }
        // Shaped whole without ending the process: the base's width at least.
        const portable::ShapedText shaped = portable::ShapeText(font.fonts(), c.text, c.rtlReading);
        EXPECT_GT(shaped.advance, 0);
        EXPECT_FALSE(shaped.glyphs.empty());
    }
}

// The face fontconfig names for a character, as `fc-match "DejaVu Sans:charset=…"` does.
std::string FontconfigChoice(char32_t c) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("DejaVu Sans"));
    FcCharSet* charset = FcCharSetCreate();
    FcCharSetAddChar(charset, c);
    FcPatternAddCharSet(pattern, FC_CHARSET, charset);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* file = nullptr;
    std::string path;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) path = reinterpret_cast<char*>(file);
    if (match) FcPatternDestroy(match);
    FcCharSetDestroy(charset);
    FcPatternDestroy(pattern);
    return path;
}

std::u16string Utf16(char32_t c) {
    if (c < 0x10000) return std::u16string(1, char16_t(c));
    return {char16_t(0xD800 + ((c - 0x10000) >> 10)), char16_t(0xDC00 + ((c - 0x10000) & 0x3FF))};
}

// One character a script or a symbol set has that DejaVu Sans lacks; none
// an emoji, which comes from the emoji face instead.
const struct {
    const char* what;
    char32_t c;
} kLacking[] = {
    {"Chinese", U'中'}, {"Japanese", U'あ'}, {"Korean", U'한'},  {"Devanagari", U'क'},
    {"Bengali", U'ক'},  {"Tamil", U'க'},     {"Gurmukhi", U'ਪ'}, {"Thai", U'ก'},
    {"Ethiopic", U'ሰ'}, {"Khmer", U'ក'},     {"a clef", U'𝄞'},   {"a small star", U'\u2B51'},
};

TEST(FontFallback, ACharacterTheFaceLacksComesFromTheFaceFontconfigNames) {
    FontObject font(Describe(u"DejaVu Sans", 32));
    for (const auto& k : kLacking) {
        SCOPED_TRACE(k.what);
        const std::u16string text = Utf16(k.c);
        const portable::ShapedText shaped = portable::ShapeText(font.fonts(), text, false);
        ASSERT_EQ(shaped.glyphs.size(), 1u);
        EXPECT_NE(shaped.glyphs[0].glyph, 0u) << "drawn as the missing glyph";
        EXPECT_NE(shaped.glyphs[0].font, 0) << "drawn from the selected face";
        EXPECT_EQ(font.fonts().Font(shaped.glyphs[0].font).key.source.path, FontconfigChoice(k.c));
    }
}

// A private font comes before every installed one: FreeSerif registered
// from memory draws the Devanagari that the installed FreeSans draws
// otherwise, and once removed no longer does.
TEST(FontFallback, APrivateFontComesFirst) {
    const std::vector<unsigned char> image = ReadFileBytes(FontFile("FreeSerif"));
    ASSERT_FALSE(image.empty());
    const std::u16string text = u"Save क्षत्रिय";
    auto fallbackOf = [&text]() {
        FontObject font(Describe(u"DejaVu Sans", 32));
        const portable::ShapedText shaped = portable::ShapeText(font.fonts(), text, false);
        const portable::SizedFont& last = font.fonts().Font(shaped.glyphs.back().font);
        return std::make_pair(last.key.source.image != nullptr, last.key.source.path);
    };
    const auto before = fallbackOf();
    EXPECT_FALSE(before.first);
    DWORD count = 0;
    HANDLE handle =
        AddFontMemResourceEx(const_cast<unsigned char*>(image.data()), DWORD(image.size()), nullptr, &count);
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(fallbackOf().first) << "an installed face instead of the private one";
    EXPECT_TRUE(RemoveFontMemResourceEx(handle));
    EXPECT_EQ(fallbackOf(), before);
}

// Private faces of the style asked for come first, then those one step
// from it, each in the order they were registered. FreeSerif's faces all
// draw Thai, which DejaVu Sans lacks; registered bold, italic, regular.
TEST(FontFallback, PrivateFacesOfTheStyleAskedForComeFirst) {
    std::vector<std::vector<unsigned char>> images;
    std::vector<HANDLE> handles;
    for (const char* face : {"FreeSerif:bold", "FreeSerif:italic", "FreeSerif"}) {
        images.push_back(ReadFileBytes(FontFile(face)));
        DWORD count = 0;
        handles.push_back(AddFontMemResourceEx(images.back().data(), DWORD(images.back().size()), nullptr, &count));
        ASSERT_NE(handles.back(), nullptr) << face;
    }
    const struct {
        LONG weight;
        bool italic;
        long style;  // of the face that draws the Thai
    } kCases[] = {
        {FW_NORMAL, false, 0},  // registered last
        {FW_BOLD, false, FT_STYLE_FLAG_BOLD},
        {FW_NORMAL, true, FT_STYLE_FLAG_ITALIC},
        {FW_BOLD, true, FT_STYLE_FLAG_BOLD},  // bold and italic both one step away: the first registered
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.weight << (c.italic ? " italic" : ""));
        FontObject font(Describe(u"DejaVu Sans", 32, c.weight, c.italic));
        const portable::ShapedText shaped = portable::ShapeText(font.fonts(), u"Thai \u0E01", false);
        const portable::SizedFont& thai = font.fonts().Font(shaped.glyphs.back().font);
        EXPECT_NE(thai.key.source.image, nullptr) << "an installed face";
        EXPECT_EQ(thai.face->style_flags & (FT_STYLE_FLAG_BOLD | FT_STYLE_FLAG_ITALIC), c.style);
    }
    for (HANDLE handle : handles) EXPECT_TRUE(RemoveFontMemResourceEx(handle));
}

}  // namespace
}  // namespace textraster::test
