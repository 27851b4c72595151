// A cue's markup: what applies to the whole cue, what is dropped, what is decoded.
#include "cue_markup.h"

#include <gtest/gtest.h>

namespace textraster::tool {
namespace {

constexpr uint32_t kNone = 1;  // no colour (no record colour is 1: that would be an opacity of 0)

TEST(ReadMarkup, TagsCoveringTheWholeCueApplyPartialOnesAreDropped) {
    const struct {
        const char* markup;
        const char* text;
        bool italic, bold;
        uint32_t color;
    } cases[] = {
        {"<i>All of it</i>", "All of it", true, false, kNone},
        {"<I>Capitals</I>", "Capitals", true, false, kNone},
        {"<i>Unclosed to the end", "Unclosed to the end", true, false, kNone},
        {"<i>One</i>\n<i>line each</i>", "One\nline each", true, false, kNone},
        {" <b><i>Both</i></b> ", " Both ", true, true, kNone},
        {"Only <i>part</i>", "Only part", false, false, kNone},
        {"<b>Bold</b> then not", "Bold then not", false, false, kNone},
        {"<u>Underlined</u> <s>struck</s>", "Underlined struck", false, false, kNone},
        {"<font color=\"#FF0000\">Red</font>", "Red", false, false, 0xFF0000FFu},
        {"<font color='yellow' face=\"Arial\">Named</font>", "Named", false, false, 0xFF00FFFFu},
        {"<font face=\"Arial\" color=#00F>Blue</font>", "Blue", false, false, 0xFFFF0000u},
        {"<font color=\"#FF0000\">Red</font> and not", "Red and not", false, false, kNone},
        {"<font color=\"#FF0000\">R</font><font color=\"#00FF00\">G</font>", "RG", false, false, kNone},
        {"<font color=\"#FF0000\">R<font color=\"#00FF00\">G</font></font>", "RG", false, false, kNone},
        {"<font color=\"bogus\">Kept</font>", "Kept", false, false, kNone},
        {"{\\an8}On top", "On top", false, false, kNone},
        {"{\\i1}In{\\i0} braces {not an override}", "In braces {not an override}", false, false, kNone},
        {"{\\an8", "{\\an8", false, false, kNone},
        {"Tom &amp; Jerry &lt;3 &gt; &quot;q&quot; &apos;", "Tom & Jerry <3 > \"q\" '", false, false, kNone},
        {"&#65;&#x42;&#X43;&#x1F600;", "ABC\xF0\x9F\x98\x80", false, false, kNone},
        {"One&#13;two&#x0d;three&#10;four", "One\ntwo\nthree\nfour", false, false, kNone},
        {"&amp &#; &#xD800; &#1114112; &bogus; & alone", "&amp &#; &#xD800; &#1114112; &bogus; & alone", false, false,
         kNone},
        {"&lt;i&gt;not a tag&lt;/i&gt;", "<i>not a tag</i>", false, false, kNone},
        {"<br> <3 a<b <bogus>", "<br> <3 a<b <bogus>", false, false, kNone},
        {"<i></i>", "", false, false, kNone},
        // A reference ends at its ';': without one it is text, and so is what follows the digits.
        {"&#65 x &#x42x &#67", "&#65 x &#x42x &#67", false, false, kNone},
        {"&lrm;a&rlm;",
         "\xE2\x80\x8E"
         "a\xE2\x80\x8F",
         false, false, kNone},
        // WebVTT: classes, voices, languages, ruby and timestamps.
        {"<c.yellow.big>Yellow</c>", "Yellow", false, false, 0xFF00FFFFu},
        {"<v.loud Bob><i>Hi</i></v>", "Hi", true, false, kNone},
        {"<c.x>A</c> <lang en>B</lang> <ruby>C<rt>c</rt></ruby> <00:01.500>D", "A B Cc D", false, false, kNone},
        {"<font color=\"red\"><c.loud>Red</c></font>", "Red", false, false, 0xFF0000FFu},
        {"<v>A voice <c.yellow unclosed</c>", "A voice <c.yellow unclosed", false, false, kNone},
    };
    for (const auto& c : cases) {
        const CueText read = ReadMarkup(Utf8ToUtf16(c.markup).text);
        EXPECT_EQ(Utf16ToUtf8(read.text.c_str()), c.text) << c.markup;
        EXPECT_EQ(read.style.italic, c.italic) << c.markup;
        EXPECT_EQ(read.style.bold, c.bold) << c.markup;
        EXPECT_EQ(read.style.color.value_or(kNone), c.color) << c.markup;
    }
}

TEST(ReadMarkup, PositionCodesPlaceTheCueAndEscapesBreakItsLines) {
    const struct {
        const char* markup;
        const char* text;
        int anchor;
    } cases[] = {
        {"{\\an8}Top", "Top", 8},
        {"{\\i1\\an7}Left{\\an3}", "Left", 7},
        {"{\\a6}Legacy top centre", "Legacy top centre", 8},
        {"{\\a10}Legacy middle", "Legacy middle", 5},
        {"{\\an0}{\\an10}{\\a4}{\\alpha&H80&}None", "None", 0},
        {"One\\NTwo\\nThree", "One\nTwo\nThree", 0},
        {"Hard\\hspace, a\\path", "Hard\xC2\xA0space, a\\path", 0},
    };
    for (const auto& c : cases) {
        const CueText read = ReadMarkup(Utf8ToUtf16(c.markup).text);
        EXPECT_EQ(Utf16ToUtf8(read.text.c_str()), c.text) << c.markup;
        EXPECT_EQ(read.anchor, c.anchor) << c.markup;
    }
}

// Pango markup, as subtitle streams in video pipelines carry it: every tag is
// markup, <span> carries colours, weights and styles.
TEST(ReadMarkup, PangoSpansApplyWhenTheyCoverTheWholeCue) {
    const struct {
        const char* markup;
        const char* text;
        bool italic, bold;
        uint32_t color;
    } cases[] = {
        {"<span foreground=\"#FF0000\">Red</span>", "Red", false, false, 0xFF0000FFu},
        {"<span fgcolor='yellow' weight=\"bold\">Both</span>", "Both", false, true, 0xFF00FFFFu},
        {"<span weight=\"700\"><span color=\"blue\" style=\"italic\">Deep</span></span>", "Deep", true, true,
         0xFFFF0000u},
        {"<span weight=\"400\" style=\"normal\">Plain</span>", "Plain", false, false, kNone},
        {"<i>Part</i> of it", "Part of it", false, false, kNone},
        {"<big>Big</big> <tt>mono</tt><sub>2</sub>", "Big mono2", false, false, kNone},
        {"{\\an8}<i>On top</i>", "On top", true, false, kNone},
        {"<font color=\"red\">Not Pango</font>", "Not Pango", false, false, kNone},
        {"a &lt; b &amp;amp; c", "a < b &amp; c", false, false, kNone},
        {"a < b, never closed", "a < b, never closed", false, false, kNone},
    };
    for (const auto& c : cases) {
        const CueText read = ReadMarkup(Utf8ToUtf16(c.markup).text, Markup::Pango);
        EXPECT_EQ(Utf16ToUtf8(read.text.c_str()), c.text) << c.markup;
        EXPECT_EQ(read.style.italic, c.italic) << c.markup;
        EXPECT_EQ(read.style.bold, c.bold) << c.markup;
        EXPECT_EQ(read.style.color.value_or(kNone), c.color) << c.markup;
    }
    EXPECT_EQ(Utf16ToUtf8(ReadMarkup(Utf8ToUtf16("<span color=\"red\">x</span>").text).text.c_str()),
              "<span color=\"red\">x</span>")
        << "SubRip knows no <span>";
}

TEST(ApplyCueStyle, AddsTheCuesStyleToTheRecordsOwn) {
    const struct {
        int32_t recordStyle;
        bool italic, bold;
        int32_t style;
    } cases[] = {{0, false, false, 0}, {0, true, false, 2},  {0, false, true, 1}, {1, true, false, 3},
                 {4, false, true, 3},  {5, false, false, 5}, {2, true, false, 2}};
    for (const auto& c : cases) {
        TextLayoutParams record{};
        record.fontStyle = c.recordStyle, record.textColor = 0xFFFFFFFFu;
        ApplyCueStyle({c.italic, c.bold, std::nullopt}, record);
        EXPECT_EQ(record.fontStyle, c.style) << c.recordStyle << c.italic << c.bold;
        EXPECT_EQ(record.textColor, 0xFFFFFFFFu);
    }
    TextLayoutParams record{};
    ApplyCueStyle({false, false, 0xFF0000FFu}, record);
    EXPECT_EQ(record.textColor, 0xFF0000FFu);
}

}  // namespace
}  // namespace textraster::tool
