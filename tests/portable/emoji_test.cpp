// Emoji: drawn from the colour face in their own colours at the text's
// opacity, upright in vertical lines; characters drawn as text stay in the
// text face.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/portable/emoji_sequences.h"
#include "platform/portable/line_setting.h"
#include "portable/gdi_fixture.h"
#include "support/font_files.h"
#include "support/request.h"

namespace textraster::test {
namespace {

// How a text is set: its glyphs and the font of the first.
struct Set {
    size_t glyphs = 0;
    int advance = 0;
    uint32_t firstGlyph = 0;
    bool colourFace = false;
    bool privateFace = false;
};

Set SetText(std::u16string_view text) {
    FontObject font(Describe(u"DejaVu Sans", 32));
    const portable::ShapedText shaped = portable::ShapeText(font.fonts(), text, false);
    Set set;
    set.glyphs = shaped.glyphs.size();
    set.advance = shaped.advance;
    if (set.glyphs == 0) return set;
    const portable::SizedFont& first = font.fonts().Font(shaped.glyphs[0].font);
    set.firstGlyph = shaped.glyphs[0].glyph;
    set.colourFace = first.colour;
    set.privateFace = first.key.source.image != nullptr;
    return set;
}

// RenderText's pixels (0xAARRGGBB, top-down) of a region of 160 x 80.
constexpr uint16_t kWidth = 160, kHeight = 80;
std::vector<uint32_t> Draw(std::u16string_view text, uint32_t textColor = 0xFFFFFFFF, int32_t writingMode = 1) {
    TextLayoutParams p = ValidRequest(u"DejaVu Sans", 40, kWidth, kHeight);
    p.textColor = textColor;
    p.writingMode = writingMode;
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
    const std::u16string terminated(text);
    EXPECT_EQ(RenderText(terminated.c_str(), &p, pixels.data(), nullptr, nullptr, nullptr), TR_OK);
    return pixels;
}

// Pixels of a hue: channels far apart, where white text has none.
size_t Coloured(const std::vector<uint32_t>& pixels) {
    return size_t(std::count_if(pixels.begin(), pixels.end(), [](uint32_t p) {
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return (p >> 24) > 0 && std::max({r, g, b}) - std::min({r, g, b}) > 64;
    }));
}

const struct {
    const char* what;
    std::u16string_view text;
    bool emoji;
} kCharacters[] = {
    {"a party popper, which no text face has", u"\U0001F389", true},
    {"a grinning face, which DejaVu Sans has in outline", u"\U0001F600", true},
    {"thumbs up", u"\U0001F44D", true},
    {"fire", u"\U0001F525", true},
    {"a globe", u"\U0001F30D", true},
    {"a star, which FreeSerif has in outline", u"\u2B50", true},
    {"a heart, text unless asked otherwise", u"\u2764", false},
    {"the copyright sign", u"\u00A9", false},
    {"a digit", u"7", false},
    {"a couple joined by a heart", u"\U0001F469\u200D\u2764\uFE0F\u200D\U0001F468", true},
    {"a woman running", u"\U0001F3C3\u200D\u2640\uFE0F", true},
    {"a thumb with a skin tone", u"\U0001F44D\U0001F3FD", true},
    {"a flag", u"\U0001F1E9\U0001F1EA", true},
    {"a flag of tags", u"\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F", true},
};

// Each one picture as wide as any emoji, in colour; or one glyph of text.
TEST(Emoji, EmojiComeFromTheColourFaceInColourAndTextStaysText) {
    const int emojiWidth = SetText(u"\U0001F389").advance;
    for (const auto& c : kCharacters) {
        SCOPED_TRACE(c.what);
        const Set set = SetText(c.text);
        ASSERT_EQ(set.glyphs, 1u);
        if (c.emoji) {
            EXPECT_EQ(set.advance, emojiWidth);
        }
        EXPECT_NE(set.firstGlyph, 0u) << "the missing glyph";
        EXPECT_EQ(set.colourFace, c.emoji);
        EXPECT_EQ(Coloured(Draw(c.text)) > 100, c.emoji);
    }
}

// Inside right-to-left lines an emoji sequence is still one picture in
// colour, between the words it stands between.
TEST(Emoji, InsideArabicAndHebrewLines) {
    const std::u16string_view lines[] = {
        u"\u05E9\u05DC\u05D5\u05DD \U0001F44D\U0001F3FD \u05E2\u05D5\u05DC\u05DD",
        u"\u0645\u0631\u062D\u0628\u0627 \U0001F469\u200D\u2764\uFE0F\u200D\U0001F468 \u0628\u0643",
    };
    for (const std::u16string_view line : lines) {
        FontObject font(Describe(u"DejaVu Sans", 32));
        const portable::ShapedText shaped = portable::ShapeText(font.fonts(), line, true);
        size_t pictures = 0;
        for (const portable::PlacedGlyph& glyph : shaped.glyphs) pictures += font.fonts().Font(glyph.font).colour;
        EXPECT_EQ(pictures, 1u);
        EXPECT_GT(Coloured(Draw(line)), 100u);
    }
}

// What each code point is: t text, e the start of an emoji, c a part of it.
TEST(Emoji, SequencesAreFoundWhole) {
    const struct {
        const char* what;
        std::u32string_view text;
        const char* expected;
    } cases[] = {
        {"letters and digits", U"a1#\u00A9", "tttt"},
        {"emoji by default", U"\U0001F389\u2B50", "ee"},
        {"a skin tone after a base, then one alone", U"\U0001F44D\U0001F3FD\U0001F3FF", "ece"},
        {"a family joined", U"\U0001F468\u200D\U0001F469\u200D\U0001F467", "ecccc"},
        {"a woman running, the sign joined", U"\U0001F3C3\u200D\u2640\uFE0F", "eccc"},
        {"a joiner after text joins nothing", U"a\u200D\u2640", "ttt"},
        {"three flags' letters, then one alone", U"\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7\U0001F1EC", "ecece"},
        {"a flag of tags", U"\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F", "ecccccc"},
    };
    const char kCode[] = {'t', 'e', 'c'};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<portable::Presentation> presentation;
        const std::vector<uint32_t> text(c.text.begin(), c.text.end());
        portable::ResolvePresentation(text.data(), text.size(), presentation);
        std::string got;
        for (const portable::Presentation p : presentation) got += kCode[int(p)];
        EXPECT_EQ(got, c.expected);
    }
}

// The colour surface carries the emoji's colours whatever the text's
// opacity, and the alpha surface the text's opacity by the same coverage.
TEST(Emoji, TheTextsOpacityScalesTheEmojisOwn) {
    const std::vector<uint32_t> opaque = Draw(u"\U0001F389"), half = Draw(u"\U0001F389", 0x80FFFFFF);
    size_t covered = 0;
    for (size_t i = 0; i < opaque.size(); ++i) {
        const uint32_t full = opaque[i] >> 24;
        covered += full == 255;
        EXPECT_EQ(opaque[i] & 0xFFFFFF, half[i] & 0xFFFFFF) << "pixel " << i;
        EXPECT_NEAR(double(half[i] >> 24), full * 128 / 255.0, 1.0) << "pixel " << i;
    }
    EXPECT_GT(covered, 200u);
}

// In a vertical line an emoji stands upright: the same picture as in a
// horizontal one, not turned.
TEST(Emoji, StandUprightInVerticalLines) {
    auto crop = [](const std::vector<uint32_t>& pixels) {
        const Box box = InkBox(pixels, kWidth);
        std::vector<uint32_t> part;
        for (int y = box.top; y <= box.bottom; ++y)
            part.insert(part.end(), pixels.begin() + y * kWidth + box.left,
                        pixels.begin() + y * kWidth + box.right + 1);
        return std::make_pair(box.width(), part);
    };
    const auto horizontal = crop(Draw(u"\U0001F389")), vertical = crop(Draw(u"\U0001F389", 0xFFFFFFFF, 3));
    EXPECT_GT(horizontal.second.size(), 400u);
    EXPECT_EQ(horizontal, vertical);
}

// A colour font the process registered draws emoji before the installed one.
TEST(Emoji, APrivateColourFontComesFirst) {
    std::vector<unsigned char> image = ReadFileBytes(FontFile("Noto Color Emoji"));
    ASSERT_FALSE(image.empty());
    EXPECT_FALSE(SetText(u"\U0001F389").privateFace);
    DWORD count = 0;
    HANDLE handle = AddFontMemResourceEx(image.data(), DWORD(image.size()), nullptr, &count);
    ASSERT_NE(handle, nullptr);
    const Set set = SetText(u"\U0001F389");
    EXPECT_TRUE(set.privateFace);
    EXPECT_TRUE(set.colourFace);
    EXPECT_TRUE(RemoveFontMemResourceEx(handle));
}

}  // namespace
}  // namespace textraster::test
